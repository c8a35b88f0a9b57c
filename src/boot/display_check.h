// Whether the game has a display to open its window on. Without one SDL would
// fall back to an invisible off-screen driver and the game would run unseen,
// so start-up stops first with a message that says what to do.
#pragma once

#include <string>

// The message for stderr when there is no display, or "" when the game can go
// on: DISPLAY or WAYLAND_DISPLAY is set, or SDL_VIDEODRIVER names a driver.
// Arguments are the environment's values (null when unset).
std::string missingDisplayMessage(const char* display, const char* waylandDisplay, const char* videoDriver);

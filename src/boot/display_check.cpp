// The no-display check of start-up.
#include "boot/display_check.h"

namespace {

bool isSet(const char* value) { return value != nullptr && value[0] != '\0'; }

}  // namespace

std::string missingDisplayMessage(const char* display, const char* waylandDisplay, const char* videoDriver) {
    if (isSet(display) || isSet(waylandDisplay) || isSet(videoDriver)) return "";
    return "kvr2013: no display to open the game's window on: neither DISPLAY nor WAYLAND_DISPLAY is set\n"
           "  (as in a plain SSH session). Start the game from a desktop session, or set SDL_VIDEODRIVER\n"
           "  to the video driver to use. Checking a replay needs no display:\n"
           "  kvr2013 --headless --stage S --replay FILE\n";
}

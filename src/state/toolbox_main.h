// The developer's toolbox screen: a playground for the menu widgets, a small
// tile map and the mouse recorder, reached with the --toolbox option.
#pragma once

#include <memory>

#include "scene/game_state.h"

// Builds the toolbox scene; the caller owns it.
std::unique_ptr<GameState> makeToolboxMain();

// Reading what the game shows: an F12 screenshot taken through a real key
// press, loaded once the game has written it whole, and its pixels.
#pragma once

#include <SDL.h>

#include <string>

#include "e2e_support.h"

namespace e2e {

struct Rgb {
    int r, g, b;
};

// Presses F12 in the game's window and loads the "kilnshot.bmp" it writes
// into dir; null when none appeared in time. The caller frees the surface.
SDL_Surface* takeScreenshot(const WorkDir& dir, const std::string& window);

Rgb pixelAt(SDL_Surface* surface, int x, int y);

}  // namespace e2e

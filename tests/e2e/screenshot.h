// Reading what the game shows: an F12 screenshot taken through a real key
// press, loaded once the game has written it whole, and its pixels.
#pragma once

#include <SDL.h>

#include <filesystem>
#include <string>

#include "e2e_support.h"

namespace e2e {

struct Rgb {
    int r, g, b;
};

// Presses F12 in the game's window and loads the new numbered PNG that
// appears in screenshots (the screenshots/ folder of the player's data
// directory); null when none appeared in time. The caller frees the surface.
SDL_Surface* takeScreenshot(const std::filesystem::path& screenshots, const std::string& window);
// The same for a game whose player's files are its working directory.
SDL_Surface* takeScreenshot(const WorkDir& dir, const std::string& window);

Rgb pixelAt(SDL_Surface* surface, int x, int y);

}  // namespace e2e

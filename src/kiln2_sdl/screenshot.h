// Writing the window's picture as a PNG file, open to the tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// rgb holds width*height RGB pixels with the bottom row first (as read back
// from GL); it is turned top row first and saved as a 24-bit PNG through
// SDL_image. False if nothing was written.
bool kilnSaveScreenshot(std::vector<uint8_t>& rgb, int width, int height, const std::string& file);

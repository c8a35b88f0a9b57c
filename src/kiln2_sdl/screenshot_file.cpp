// Writing the picture read back from GL as a PNG file, right way up.
#include "kiln2_sdl/screenshot.h"

#include <SDL.h>
#include <SDL_image.h>

#include <utility>

bool kilnSaveScreenshot(std::vector<uint8_t>& rgb, int width, int height, const std::string& file) {
    const size_t rowBytes = static_cast<size_t>(width) * 3;
    if (width <= 0 || height <= 0 || rgb.size() < rowBytes * static_cast<size_t>(height)) return false;
    for (int y = 0; y < height / 2; ++y) {
        uint8_t* top = rgb.data() + static_cast<size_t>(y) * rowBytes;
        uint8_t* bottom = rgb.data() + static_cast<size_t>(height - 1 - y) * rowBytes;
        for (size_t i = 0; i < rowBytes; ++i) std::swap(top[i], bottom[i]);
    }
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(rgb.data(), width, height, 24, width * 3,
                                                              SDL_PIXELFORMAT_RGB24);
    if (!surface) return false;
    const bool saved = IMG_SavePNG(surface, file.c_str()) == 0;
    SDL_FreeSurface(surface);
    return saved;
}

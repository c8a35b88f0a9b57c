// Screenshots of the running game for the end-to-end tests.
#include "screenshot.h"

#include <cstring>
#include <filesystem>

namespace e2e {

SDL_Surface* takeScreenshot(const WorkDir& dir, const std::string& window) {
    std::filesystem::remove(dir / "kilnshot.bmp");
    pressKey(window, "F12");
    SDL_Surface* picture = nullptr;
    // A file that exists may still be half written: wait until it loads.
    waitUntil([&] {
        if (!dir.exists("kilnshot.bmp")) return false;
        picture = SDL_LoadBMP((dir / "kilnshot.bmp").c_str());
        return picture != nullptr;
    });
    return picture;
}

Rgb pixelAt(SDL_Surface* surface, int x, int y) {
    Uint32 pixel = 0;
    const Uint8* p = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch + x * surface->format->BytesPerPixel;
    std::memcpy(&pixel, p, surface->format->BytesPerPixel);
    Uint8 r, g, b;
    SDL_GetRGB(pixel, surface->format, &r, &g, &b);
    return {r, g, b};
}

}  // namespace e2e

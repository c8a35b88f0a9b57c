// Screenshots of the running game for the end-to-end tests.
#include "screenshot.h"

#include <SDL_image.h>

#include <cstring>
#include <set>

namespace e2e {

namespace {

std::set<std::filesystem::path> picturesIn(const std::filesystem::path& folder) {
    std::set<std::filesystem::path> pictures;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ignored)) {
        if (entry.path().extension() == ".png") pictures.insert(entry.path());
    }
    return pictures;
}

}  // namespace

SDL_Surface* takeScreenshot(const std::filesystem::path& screenshots, const std::string& window) {
    const std::set<std::filesystem::path> before = picturesIn(screenshots);
    pressKey(window, "F12");
    SDL_Surface* picture = nullptr;
    // The game renames a whole file into place, but wait until it loads all the same.
    waitUntil([&] {
        for (const auto& file : picturesIn(screenshots)) {
            if (before.count(file)) continue;
            SDL_Surface* loaded = IMG_Load(file.c_str());
            if (!loaded) continue;
            picture = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGB24, 0);
            SDL_FreeSurface(loaded);
            return picture != nullptr;
        }
        return false;
    });
    return picture;
}

SDL_Surface* takeScreenshot(const WorkDir& dir, const std::string& window) {
    return takeScreenshot(dir / "screenshots", window);
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

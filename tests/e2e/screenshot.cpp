// Screenshots of the running game for the end-to-end tests.
#include "screenshot.h"

#include <SDL_image.h>

#include <cstdlib>
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

int countPixels(SDL_Surface* surface, int x0, int y0, int x1, int y1, const std::function<bool(Rgb)>& accept) {
    int count = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) count += accept(pixelAt(surface, x, y));
    }
    return count;
}

namespace {

// The glyphs in the order of the font image's 8x8 cells, 16 to a row.
constexpr char kGlyphOrder[] =
    "0123456789ABCDEF"
    "GHIJKLMNOPQRSTUV"
    "WXYZabcdefghijkl"
    "mnopqrstuvwxyz.("
    ")[]#$%&'\"!?^+-*/"
    "=;:";

bool isWhite(Rgb c) { return c.r > 240 && c.g > 240 && c.b > 240; }

}  // namespace

bool showsWhiteText(SDL_Surface* surface, const std::string& text, int x, int y, int scale) {
    SDL_Surface* font = SDL_LoadBMP((repoResourceDir() / "font" / "font.bmp").c_str());
    if (font == nullptr) return false;
    bool shown = true;
    for (size_t k = 0; k < text.size() && shown; ++k) {
        const char* found = std::strchr(kGlyphOrder, text[k]);
        if (text[k] == ' ' || found == nullptr) continue;  // a space draws nothing
        const int cell = static_cast<int>(found - kGlyphOrder);
        for (int py = 0; py < 8 && shown; ++py) {
            for (int px = 0; px < 8 && shown; ++px) {
                const bool lit = isWhite(pixelAt(font, cell % 16 * 8 + px, cell / 16 * 8 + py));
                const int sx = x + static_cast<int>(k) * 8 * scale + px * scale + scale / 2;
                const int sy = y + py * scale + scale / 2;
                shown = isWhite(pixelAt(surface, sx, sy)) == lit;
            }
        }
    }
    SDL_FreeSurface(font);
    return shown;
}

void keepScreenshot(const WorkDir& dir, const std::string& name) {
    const char* keep = std::getenv("KVR_E2E_SHOTS");
    const std::set<std::filesystem::path> pictures = picturesIn(dir / "screenshots");
    if (keep == nullptr || pictures.empty()) return;
    std::error_code ignored;
    std::filesystem::create_directories(keep, ignored);
    // Numbered files sort in the order they were taken.
    std::filesystem::copy_file(*pictures.rbegin(), std::filesystem::path(keep) / name,
                               std::filesystem::copy_options::overwrite_existing, ignored);
}

}  // namespace e2e

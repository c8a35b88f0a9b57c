// Screenshots of the running game for the end-to-end tests.
#include "screenshot.h"

#include <SDL_image.h>

#include <algorithm>
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

SDL_Surface* captureWindow(const WorkDir& dir, const std::string& window) {
    const std::string file = (dir / "window.bmp").string();
    std::filesystem::remove(file);
    // BMP3: a plain 24-bit file that SDL_LoadBMP reads.
    runCommand("import -window " + window + " BMP3:" + file + " 2>&1");
    return SDL_LoadBMP(file.c_str());
}

PictureRect expectedPicture(int windowWidth, int windowHeight, bool integer) {
    const int multiple = std::min(windowWidth / 640, windowHeight / 480);
    int width = 0, height = 0;
    if (integer && multiple >= 1) {
        width = 640 * multiple;
        height = 480 * multiple;
    } else if (windowWidth * 3 <= windowHeight * 4) {
        width = windowWidth;
        height = windowWidth * 3 / 4;
    } else {
        height = windowHeight;
        width = windowHeight * 4 / 3;
    }
    return {(windowWidth - width) / 2, (windowHeight - height) / 2, width, height};
}

Box brightBox(SDL_Surface* surface) {
    Box box{-1, -1, -1, -1};
    for (int y = 0; y < surface->h; ++y) {
        for (int x = 0; x < surface->w; ++x) {
            const Rgb c = pixelAt(surface, x, y);
            if (c.r + c.g + c.b < 96) continue;
            if (box.x0 < 0 || x < box.x0) box.x0 = x;
            if (box.y0 < 0) box.y0 = y;
            if (x + 1 > box.x1) box.x1 = x + 1;
            box.y1 = y + 1;
        }
    }
    return box;
}

int litPixels(SDL_Surface* surface, int x0, int y0, int x1, int y1) {
    int lit = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            const Rgb c = pixelAt(surface, x, y);
            lit += c.r + c.g + c.b > 0 ? 1 : 0;
        }
    }
    return lit;
}

bool showsPauseMenu(SDL_Surface* surface, int x, int y, double scale) {
    // The panel behind "RESUME" and "EXIT": picture (260, 180) to (440, 340).
    int navy = 0, total = 0;
    for (int py = 180; py < 340; py += 2) {
        for (int px = 260; px < 440; px += 2) {
            const int sx = x + static_cast<int>(px * scale);
            const int sy = y + static_cast<int>(py * scale);
            if (sx >= surface->w || sy >= surface->h) continue;
            const Rgb c = pixelAt(surface, sx, sy);
            navy += c.r < 90 && c.g < 90 && c.b >= 40 && c.b > c.r + 20 ? 1 : 0;
            ++total;
        }
    }
    return total > 0 && navy * 2 > total;
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

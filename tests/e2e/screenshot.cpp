// Screenshots of the running game for the end-to-end tests.
#include "screenshot.h"

#include <algorithm>
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

}  // namespace e2e

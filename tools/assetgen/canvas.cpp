// Drawing helpers over an RGB picture; all integer maths so the output is the
// same on every machine.
#include "canvas.h"

#include "font_glyphs.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

namespace assetgen {

Canvas::Canvas(int width, int height, Rgb fill)
    : width_(width), height_(height),
      pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill) {
    if (width <= 0 || height <= 0) {
        throw std::runtime_error("Canvas: size must be positive");
    }
}

void Canvas::set(int x, int y, Rgb c) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return;
    }
    pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)] = c;
}

Rgb Canvas::get(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        throw std::runtime_error("Canvas::get: outside the picture");
    }
    return pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)];
}

void Canvas::fillRect(int x, int y, int w, int h, Rgb c) {
    for (int j = y; j < y + h; ++j) {
        for (int i = x; i < x + w; ++i) {
            set(i, j, c);
        }
    }
}

void Canvas::frameRect(int x, int y, int w, int h, int thickness, Rgb c) {
    fillRect(x, y, w, thickness, c);
    fillRect(x, y + h - thickness, w, thickness, c);
    fillRect(x, y, thickness, h, c);
    fillRect(x + w - thickness, y, thickness, h, c);
}

void Canvas::bevelRect(int x, int y, int w, int h, Rgb light, Rgb dark) {
    fillRect(x, y, w, 1, light);
    fillRect(x, y, 1, h, light);
    fillRect(x, y + h - 1, w, 1, dark);
    fillRect(x + w - 1, y + 1, 1, h - 1, dark);
}

void Canvas::fillChamferRect(int x, int y, int w, int h, int cut, Rgb c) {
    for (int j = 0; j < h; ++j) {
        int fromTop = j;
        int fromBottom = h - 1 - j;
        int edge = std::min(fromTop, fromBottom);
        int inset = edge < cut ? cut - edge : 0;
        fillRect(x + inset, y + j, w - 2 * inset, 1, c);
    }
}

void Canvas::line(int x0, int y0, int x1, int y1, Rgb c) {
    // Bresenham: exact and symmetric enough for pixel art.
    int dx = std::abs(x1 - x0);
    int dy = -std::abs(y1 - y0);
    int sx = x0 < x1 ? 1 : -1;
    int sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        set(x0, y0, c);
        if (x0 == x1 && y0 == y1) {
            break;
        }
        int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

void Canvas::text(const std::string& s, int x, int y, int scale, Rgb c) {
    int penX = x;
    for (char ch : s) {
        const Glyph* glyph = findGlyph(ch);
        if (glyph != nullptr) {
            for (int row = 0; row < kGlyphSize; ++row) {
                for (int col = 0; col < kGlyphSize; ++col) {
                    if (glyphPixel(*glyph, col, row)) {
                        fillRect(penX + col * scale, y + row * scale, scale, scale, c);
                    }
                }
            }
        }
        penX += kCellSize * scale;
    }
}

void Canvas::shadowText(const std::string& s, int x, int y, int scale, Rgb c, Rgb shadow) {
    text(s, x + scale, y + scale, scale, shadow);
    text(s, x, y, scale, c);
}

int Canvas::textWidth(const std::string& s, int scale) {
    return static_cast<int>(s.size()) * kCellSize * scale;
}

Rgb mix(Rgb a, Rgb b, int t) {
    auto blend = [t](int p, int q) { return static_cast<std::uint8_t>((p * (256 - t) + q * t) / 256); };
    return Rgb{blend(a.r, b.r), blend(a.g, b.g), blend(a.b, b.b)};
}

Canvas scaleNearest(const Canvas& source, int width, int height) {
    Canvas scaled(width, height, Rgb{});
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            scaled.set(x, y, source.get(x * source.width() / width, y * source.height() / height));
        }
    }
    return scaled;
}

} // namespace assetgen

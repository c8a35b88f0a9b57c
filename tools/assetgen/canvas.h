// An RGB picture in memory that the art makers paint into before it is saved
// as a BMP; also the few drawing helpers they share (rectangles, frames, text).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace assetgen {

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    bool operator==(const Rgb&) const = default;
};

// The colour every loader of ours treats as transparent.
inline constexpr Rgb kKeyGreen{0, 255, 0};

class Canvas {
public:
    Canvas(int width, int height, Rgb fill);

    int width() const { return width_; }
    int height() const { return height_; }

    // Out-of-range writes are dropped, so shapes may hang over the edge.
    void set(int x, int y, Rgb c);
    Rgb get(int x, int y) const;

    void fillRect(int x, int y, int w, int h, Rgb c);
    // A border of the given thickness inside the rectangle.
    void frameRect(int x, int y, int w, int h, int thickness, Rgb c);
    // Raised look: light top and left edges, dark bottom and right edges.
    void bevelRect(int x, int y, int w, int h, Rgb light, Rgb dark);
    // A filled rectangle with its corners cut by `cut` pixels diagonally.
    void fillChamferRect(int x, int y, int w, int h, int cut, Rgb c);
    void line(int x0, int y0, int x1, int y1, Rgb c);

    // Text in our own 8x8 font, each font pixel drawn as scale x scale.
    void text(const std::string& s, int x, int y, int scale, Rgb c);
    // Text with a one-step drop shadow to the lower right.
    void shadowText(const std::string& s, int x, int y, int scale, Rgb c, Rgb shadow);
    // Width in pixels that text() advances for s at the given scale.
    static int textWidth(const std::string& s, int scale);

    const std::vector<Rgb>& pixels() const { return pixels_; }

private:
    int width_;
    int height_;
    std::vector<Rgb> pixels_;
};

// The picture enlarged or shrunk to width x height, each new pixel taking
// the colour of the source pixel it falls on (pixel art keeps hard edges).
Canvas scaleNearest(const Canvas& source, int width, int height);

// Linear blend a -> b with t in 0..256.
Rgb mix(Rgb a, Rgb b, int t);

} // namespace assetgen

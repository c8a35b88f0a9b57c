// The bitmap font: 8x8 cells, 16 to a row, and the layout of one text line.
#include <cstring>

#include <algorithm>

#include "kiln2/kiln_state.h"

namespace {

// The glyphs in the order of the cells of "resource/font/font.bmp".
constexpr char kGlyphOrder[] =
    "0123456789ABCDEF"
    "GHIJKLMNOPQRSTUV"
    "WXYZabcdefghijkl"
    "mnopqrstuvwxyz.("
    ")[]#$%&'\"!?^+-*/"
    "=;:";
constexpr int kGlyphCount = sizeof(kGlyphOrder) - 1;
constexpr int kCellsPerRow = 16;
constexpr int kCellPixels = 8;

// Cell index of every byte below 128, -1 when it has no glyph of its own.
struct GlyphCells {
    int cell[128];
    GlyphCells() {
        for (int& c : cell) c = -1;
        for (int i = kGlyphCount - 1; i >= 0; --i) cell[static_cast<unsigned char>(kGlyphOrder[i])] = i;
    }
};

const GlyphCells& glyphCells() {
    static const GlyphCells cells;
    return cells;
}

}  // namespace

void Kiln_loadFont() {
    KilnState& state = kilnState();
    state.font.reset();
    KilnVideo& video = *kilnBackend().video;
    auto font = std::make_unique<Texture>(video);
    font->mask = {0, 255, 0};
    const std::string file = "resource/font/font.bmp";
    if (video.readsResourceFiles()) {
        std::unique_ptr<KilnImage> image = font->loadBmp(file);
        font->applyColorKey((0u << 16) | (255u << 8) | 0u, *image);
        font->fileName = file;
        font->makeTexture(std::move(image));
    } else {
        font->fileName = file;
        font->makeTexture(nullptr);
    }
    state.font = std::move(font);
}

void Kiln_drawText(const std::string& text, int x, int y, float scale, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    if (kilnDrawingDiscarded) return;
    KilnState& state = kilnState();
    KilnVideo& video = *kilnBackend().video;
    x += state.drawOffsetX;
    y += state.drawOffsetY;
    const int firstX = x;
    const Texture* font = state.font.get();
    if (!font) throw KilnError("Kiln_drawText: no font loaded");
    const KilnColour colour{r, g, b, a};
    video.beginGlyphs(font->id, colour);
    const float du = font->width > 0 ? static_cast<float>(kCellPixels) / static_cast<float>(font->width) : 0.0f;
    const float dv = font->height > 0 ? static_cast<float>(kCellPixels) / static_cast<float>(font->height) : 0.0f;
    const float size = scale * static_cast<float>(kCellPixels);
    const int advance = static_cast<int>(size);
    const int* cells = glyphCells().cell;
    KilnGlyphQuad glyph;
    glyph.y = static_cast<float>(y);
    glyph.size = size;
    glyph.du = du;
    glyph.dv = dv;
    glyph.colour = colour;
    glyph.blendMode = state.blendMode;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 128) continue;
        const int cell = cells[byte];
        if (cell >= 0) {
            const int column = cell % kCellsPerRow;
            const int row = cell / kCellsPerRow;
            glyph.x = static_cast<float>(x);
            glyph.cellX = column * kCellPixels;
            glyph.cellY = row * kCellPixels;
            glyph.u = static_cast<float>(column) * du;
            glyph.v = static_cast<float>(row) * dv;
            glyph.glyph = c;
            video.drawGlyph(glyph);
        }
        x += advance;
    }
    video.endGlyphs();
    // The whole line at once: from its first cell to past its last one.
    const auto left = static_cast<float>(std::min(firstX, x)), right = static_cast<float>(std::max(firstX, x));
    const float top = std::min(static_cast<float>(y), static_cast<float>(y) + size);
    const float bottom = std::max(static_cast<float>(y), static_cast<float>(y) + size);
    state.drawnCells.mark(left - 1, top - 1, right + 1, bottom + 1);
}

// The game's 8x8 bitmap font: the order of the glyphs in the font sheet and
// each glyph's pixel art.
#pragma once

#include <array>
#include <string_view>

namespace assetgen {

inline constexpr int kCellSize = 8;   // one glyph cell in the sheet
inline constexpr int kGlyphSize = 7;  // drawable part; the 8th row and column stay empty
inline constexpr int kCellsPerRow = 16;

// Cell order of the sheet, left to right and top to bottom.
std::string_view glyphOrder();

// Seven rows of '#' (ink) and '.' (paper); rows may be shorter than seven.
struct Glyph {
    char ch;
    std::array<std::string_view, kGlyphSize> rows;
};

// Null when the character has no glyph (space included).
const Glyph* findGlyph(char c);
bool glyphPixel(const Glyph& glyph, int col, int row);

} // namespace assetgen

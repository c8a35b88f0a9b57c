// Large hand-drawn lettering for the logo, built from bevelled square blocks
// like the wall blocks of the course.
#pragma once

#include "canvas.h"

#include <string_view>

namespace assetgen {

struct BlockStyle {
    int block;    // side of one block in pixels
    int gap;      // empty columns of blocks between letters
    Rgb top;      // base colour of the top row of blocks
    Rgb bottom;   // base colour of the bottom row, blended row by row
    Rgb shadow;   // drop shadow behind each block
};

inline constexpr int kBlockLetterWidth = 5;
inline constexpr int kBlockLetterHeight = 7;

// Width in pixels of a word drawn with drawBlockWord.
int blockWordWidth(std::string_view word, const BlockStyle& style);
// Draws a word of the letters K, V, R and the digits 0-3 with its top-left at (x, y).
void drawBlockWord(Canvas& canvas, std::string_view word, int x, int y, const BlockStyle& style);

} // namespace assetgen

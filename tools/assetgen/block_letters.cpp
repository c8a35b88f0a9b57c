// Pixel plans of the logo's big letters (5x7 blocks each) and their drawing.
#include "block_letters.h"

#include <array>
#include <stdexcept>
#include <string>

namespace assetgen {
namespace {

struct BlockLetter {
    char ch;
    std::array<std::string_view, kBlockLetterHeight> rows;
};

// clang-format off
constexpr BlockLetter kLetters[] = {
    {'K', {"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"}},
    {'V', {"#...#", "#...#", "#...#", "#...#", ".#.#.", ".#.#.", "..#.."}},
    {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
    {'0', {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."}},
    {'1', {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'2', {".###.", "#...#", "....#", "..##.", ".#...", "#....", "#####"}},
    {'3', {"####.", "....#", "....#", ".###.", "....#", "....#", "####."}},
};
// clang-format on

const BlockLetter& letterFor(char c) {
    for (const BlockLetter& letter : kLetters) {
        if (letter.ch == c) {
            return letter;
        }
    }
    throw std::runtime_error(std::string("block lettering has no letter '") + c + "'");
}

void drawBlock(Canvas& canvas, int x, int y, int side, Rgb base) {
    const int edge = side >= 8 ? 2 : 1;
    Rgb light = mix(base, Rgb{255, 255, 255}, 140);
    Rgb dark = mix(base, Rgb{0, 0, 0}, 110);
    canvas.fillRect(x, y, side, side, base);
    canvas.fillRect(x, y, side, edge, light);
    canvas.fillRect(x, y, edge, side, light);
    canvas.fillRect(x, y + side - edge, side, edge, dark);
    canvas.fillRect(x + side - edge, y + edge, edge, side - edge, dark);
}

} // namespace

int blockWordWidth(std::string_view word, const BlockStyle& style) {
    if (word.empty()) {
        return 0;
    }
    const int n = static_cast<int>(word.size());
    return (n * kBlockLetterWidth + (n - 1) * style.gap) * style.block;
}

void drawBlockWord(Canvas& canvas, std::string_view word, int x, int y, const BlockStyle& style) {
    const int shadowStep = style.block / 3 + 1;
    // Shadows first so that no letter's shadow falls over a neighbour's face.
    for (int pass = 0; pass < 2; ++pass) {
        int letterX = x;
        for (char c : word) {
            const BlockLetter& letter = letterFor(c);
            for (int row = 0; row < kBlockLetterHeight; ++row) {
                Rgb base = mix(style.top, style.bottom, row * 256 / (kBlockLetterHeight - 1));
                for (int col = 0; col < kBlockLetterWidth; ++col) {
                    if (letter.rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)] != '#') {
                        continue;
                    }
                    int bx = letterX + col * style.block;
                    int by = y + row * style.block;
                    if (pass == 0) {
                        canvas.fillRect(bx + shadowStep, by + shadowStep, style.block, style.block, style.shadow);
                    } else {
                        drawBlock(canvas, bx, by, style.block, base);
                    }
                }
            }
            letterX += (kBlockLetterWidth + style.gap) * style.block;
        }
    }
}

} // namespace assetgen

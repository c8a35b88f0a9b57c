// The font sheet: every glyph of the game's text present, in its cell, white
// on pure green, and no two glyphs alike.
#include "asset_test_support.h"

#include <set>
#include <string>
#include <vector>

namespace {

using namespace assettest;

constexpr int kGlyphCount = 83;
constexpr int kCell = 8;

class FontSheet : public ::testing::Test {
protected:
    void SetUp() override {
        font = loadBmpRgb(resourcePath("font/font.bmp"));
        ASSERT_NE(font, nullptr);
    }

    // The cell as a string of '#' and '.', for comparing and for messages.
    std::string cellPattern(int index) const {
        std::string pattern;
        int x0 = index % 16 * kCell;
        int y0 = index / 16 * kCell;
        for (int y = 0; y < kCell; ++y) {
            for (int x = 0; x < kCell; ++x) {
                pattern += pixelAt(font.get(), x0 + x, y0 + y) == kWhite ? '#' : '.';
            }
            pattern += '\n';
        }
        return pattern;
    }

    SurfacePtr font;
};

TEST_F(FontSheet, IsA128By64SheetOfWhiteInkOnPureGreen) {
    EXPECT_EQ(font->w, 128);
    EXPECT_EQ(font->h, 64);
    for (int y = 0; y < font->h; ++y) {
        for (int x = 0; x < font->w; ++x) {
            Pixel p = pixelAt(font.get(), x, y);
            ASSERT_TRUE(p == kWhite || p == kGreen)
                << "pixel (" << x << "," << y << ") is " << p.r << "," << p.g << "," << p.b;
        }
    }
}

TEST_F(FontSheet, EveryGlyphCellHasInkAndCellsAfterTheLastAreEmpty) {
    for (int index = 0; index < 16 * 8; ++index) {
        const std::string pattern = cellPattern(index);
        const auto ink = std::count(pattern.begin(), pattern.end(), '#');
        if (index < kGlyphCount) {
            EXPECT_GE(ink, 3) << "glyph cell " << index << " is (nearly) empty";
        } else {
            EXPECT_EQ(ink, 0) << "cell " << index << " past the last glyph has ink";
        }
    }
}

TEST_F(FontSheet, NoTwoGlyphsLookTheSame) {
    const std::string order =
        "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz.()[]#$%&'\"!?^+-*/=;:";
    ASSERT_EQ(order.size(), static_cast<std::size_t>(kGlyphCount));
    std::vector<std::string> seen;
    for (int index = 0; index < kGlyphCount; ++index) {
        std::string pattern = cellPattern(index);
        for (std::size_t other = 0; other < seen.size(); ++other) {
            EXPECT_NE(pattern, seen[other]) << "'" << order[static_cast<std::size_t>(index)] << "' looks like '"
                                            << order[other] << "':\n" << pattern;
        }
        seen.push_back(pattern);
    }
}

TEST_F(FontSheet, LastRowAndColumnOfEveryCellStayEmptySoGlyphsNeverTouch) {
    for (int index = 0; index < kGlyphCount; ++index) {
        std::string pattern = cellPattern(index);
        for (int k = 0; k < kCell; ++k) {
            EXPECT_EQ(pattern[static_cast<std::size_t>(7 * 9 + k)], '.') << "cell " << index << " bottom row\n" << pattern;
            EXPECT_EQ(pattern[static_cast<std::size_t>(k * 9 + 7)], '.') << "cell " << index << " right column\n" << pattern;
        }
    }
}

TEST_F(FontSheet, CapitalsAndDigitsShareOneBaseline) {
    // Row 5 of a cell is the baseline of capitals and digits; row 6 is only
    // for descenders, so text in capitals lines up.
    const std::string order = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    for (std::size_t index = 0; index < order.size(); ++index) {
        std::string pattern = cellPattern(static_cast<int>(index));
        std::string baseline = pattern.substr(5 * 9, 8);
        std::string below = pattern.substr(6 * 9, 8);
        EXPECT_NE(baseline.find('#'), std::string::npos) << "'" << order[index] << "' does not reach the baseline";
        EXPECT_EQ(below.find('#'), std::string::npos) << "'" << order[index] << "' hangs below the baseline";
    }
}

} // namespace

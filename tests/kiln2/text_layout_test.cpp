// Text layout from the recorded glyphs: which 8x8 cell each character uses,
// how far the pen moves, and the bytes that take no room or an empty cell.
#include "kiln_test_support.h"

using namespace kiln_test;

namespace {

class TextLayout : public HeadlessTest {
protected:
    void SetUp() override {
        start(noFiles());
        kiln_headless::clearDrawCalls();
    }

    static std::vector<KilnDrawCall> glyphs() { return callsOfKind(KilnDrawCall::GLYPH); }
};

TEST_F(TextLayout, SpaceMovesThePenOneCell) {
    Kiln_drawText("A B", 100, 50, 1.0f, 255, 255, 255, 255);
    const auto drawn = glyphs();
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_EQ(drawn[0].glyph, 'A');
    EXPECT_EQ(drawn[1].glyph, 'B');
    EXPECT_FLOAT_EQ(drawn[0].x, 100.0f);
    EXPECT_FLOAT_EQ(drawn[1].x, 116.0f);
    EXPECT_FLOAT_EQ(drawn[1].y, 50.0f);
}

TEST_F(TextLayout, EachCharacterUsesItsOwnCell) {
    struct Expected {
        char c;
        int cellX, cellY;
    };
    const Expected table[] = {
        {'0', 0, 0},   {'F', 120, 0}, {'G', 0, 8},    {'W', 0, 16},  {'a', 32, 16}, {'l', 120, 16},
        {'m', 0, 24},  {'(', 120, 24}, {')', 0, 32},  {'"', 64, 32}, {'/', 120, 32}, {'=', 0, 40},
        {';', 8, 40},  {':', 16, 40},
    };
    for (const Expected& e : table) {
        kiln_headless::clearDrawCalls();
        Kiln_drawText(std::string(1, e.c), 0, 0, 1.0f, 0, 0, 0, 0);
        const auto drawn = glyphs();
        ASSERT_EQ(drawn.size(), 1u) << e.c;
        EXPECT_EQ(drawn[0].srcX, e.cellX) << e.c;
        EXPECT_EQ(drawn[0].srcY, e.cellY) << e.c;
        EXPECT_EQ(drawn[0].srcW, 8);
        EXPECT_EQ(drawn[0].srcH, 8);
        EXPECT_EQ(drawn[0].key, "font");
    }
}

TEST_F(TextLayout, LowerCaseIsNotFoldedToUpperCase) {
    Kiln_drawText("aA", 0, 0, 1.0f, 0, 0, 0, 0);
    const auto drawn = glyphs();
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_NE(drawn[0].srcY, drawn[1].srcY);
}

TEST_F(TextLayout, ScaleSetsGlyphSizeAndTruncatedAdvance) {
    Kiln_drawText("11", 0, 0, 1.5f, 0, 0, 0, 0);
    auto drawn = glyphs();
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_FLOAT_EQ(drawn[0].w, 12.0f);
    EXPECT_FLOAT_EQ(drawn[0].h, 12.0f);
    EXPECT_FLOAT_EQ(drawn[1].x, 12.0f);

    kiln_headless::clearDrawCalls();
    Kiln_drawText("111", 0, 0, 1.9f, 0, 0, 0, 0);
    drawn = glyphs();
    ASSERT_EQ(drawn.size(), 3u);
    EXPECT_FLOAT_EQ(drawn[0].w, 1.9f * 8.0f);
    EXPECT_FLOAT_EQ(drawn[1].x, 15.0f);
    EXPECT_FLOAT_EQ(drawn[2].x, 30.0f) << "glyphs of 15.2 pixels overlap slightly";
}

TEST_F(TextLayout, BytesOutsideAsciiTakeNoRoom) {
    Kiln_drawText("A\xE9\x80" "B", 0, 0, 1.0f, 0, 0, 0, 0);
    const auto drawn = glyphs();
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_FLOAT_EQ(drawn[1].x, 8.0f);
}

TEST_F(TextLayout, AsciiWithoutAGlyphTakesAnEmptyCell) {
    Kiln_drawText("A_~\nB", 0, 0, 1.0f, 0, 0, 0, 0);
    const auto drawn = glyphs();
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_FLOAT_EQ(drawn[1].x, 32.0f);
}

TEST_F(TextLayout, EmptyTextDrawsNothing) {
    Kiln_drawText("", 0, 0, 1.0f, 0, 0, 0, 0);
    EXPECT_TRUE(kiln_headless::drawCalls().empty());
}

TEST_F(TextLayout, ColourIsCarriedByEveryGlyph) {
    Kiln_drawText("OK", 0, 0, 1.0f, 10, 20, 30, 40);
    for (const auto& glyph : glyphs()) {
        EXPECT_EQ(glyph.r, 10);
        EXPECT_EQ(glyph.g, 20);
        EXPECT_EQ(glyph.b, 30);
        EXPECT_EQ(glyph.a, 40);
    }
}

TEST_F(TextLayout, FpsOverlayDefaultsToTheBottomLeft) {
    Kiln_drawFps(-1, 0);
    const auto drawn = glyphs();
    ASSERT_EQ(drawn.size(), 10u) << "FPS:0 and CPU:0";
    EXPECT_EQ(drawn[0].glyph, 'F');
    EXPECT_FLOAT_EQ(drawn[0].x, 10.0f);
    EXPECT_FLOAT_EQ(drawn[0].y, 480.0f - 24.0f);
    EXPECT_EQ(drawn[5].glyph, 'C');
    EXPECT_FLOAT_EQ(drawn[5].y, 480.0f - 16.0f);
    EXPECT_EQ(drawn[4].glyph, '0');
    EXPECT_EQ(drawn[0].r, 255);
    EXPECT_EQ(drawn[0].a, 255);
}

}  // namespace

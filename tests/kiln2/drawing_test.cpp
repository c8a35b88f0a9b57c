// What the drawing calls hand to the screen: the source rectangle rules,
// the draw offset on every kind of draw, the blend mode in force, and the
// zero-size and zero-radius rules.
#include "kiln_test_support.h"

using namespace kiln_test;

namespace {

class Drawing : public HeadlessTest {
protected:
    void SetUp() override {
        start(withFiles(), 800, 600);
        writeSolidBmp("sheet.bmp", 64, 32, {255, 0, 0});
        Kiln_loadTexture("sheet", "sheet.bmp", {-1, 0, 0});
        kiln_headless::clearDrawCalls();
    }
};

TEST_F(Drawing, ZeroSourceSizeMeansTheWholeTextureTimesTheScale) {
    Kiln_drawTexture("sheet", 10, 20, 5, 6, 0, 9, 2.0f, 0.5f, 0, 1, 2, 3, 4);
    const auto quads = callsOfKind(KilnDrawCall::TEXTURE);
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_EQ(quads[0].key, "sheet");
    EXPECT_EQ(quads[0].srcX, 5);
    EXPECT_EQ(quads[0].srcY, 6);
    EXPECT_EQ(quads[0].srcW, 64);
    EXPECT_EQ(quads[0].srcH, 32);
    EXPECT_FLOAT_EQ(quads[0].w, 128.0f);
    EXPECT_FLOAT_EQ(quads[0].h, 16.0f);
    EXPECT_EQ(quads[0].r, 1);
    EXPECT_EQ(quads[0].a, 4);
}

TEST_F(Drawing, SourceRectangleIsKeptWhenBothSidesAreGiven) {
    Kiln_drawTexture("sheet", 0, 0, 16, 8, 8, 4, 1.5f, 1.5f, 30.0f, 255, 255, 255, 255);
    const auto quads = callsOfKind(KilnDrawCall::TEXTURE);
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_EQ(quads[0].srcW, 8);
    EXPECT_EQ(quads[0].srcH, 4);
    EXPECT_FLOAT_EQ(quads[0].w, 12.0f);
    EXPECT_FLOAT_EQ(quads[0].h, 6.0f);
    EXPECT_FLOAT_EQ(quads[0].angle, 30.0f);
}

TEST_F(Drawing, DrawOffsetMovesEveryKindOfDraw) {
    Kiln_setDrawOffset(3, -4);
    Kiln_drawTexture("sheet", 10.5f, 20, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0);
    Kiln_drawRect(100, 200, 10, 10, 0, 0, 0, 0, 0, 0);
    Kiln_drawCircle(50, 60, 5, 1, 0, 0, 0, 0);
    Kiln_drawText("A", 7, 8, 1.0f, 0, 0, 0, 0);
    const auto& calls = kiln_headless::drawCalls();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_FLOAT_EQ(calls[0].x, 13.5f);
    EXPECT_FLOAT_EQ(calls[0].y, 16.0f);
    EXPECT_FLOAT_EQ(calls[1].x, 103.0f);
    EXPECT_FLOAT_EQ(calls[1].y, 196.0f);
    EXPECT_FLOAT_EQ(calls[2].x, 53.0f);
    EXPECT_FLOAT_EQ(calls[2].y, 56.0f);
    EXPECT_FLOAT_EQ(calls[3].x, 10.0f);
    EXPECT_FLOAT_EQ(calls[3].y, 4.0f);
    Kiln_setDrawOffset(0, 0);
    Kiln_drawRect(100, 200, 10, 10, 0, 0, 0, 0, 0, 0);
    EXPECT_FLOAT_EQ(kiln_headless::drawCalls().back().x, 100.0f);
}

TEST_F(Drawing, BlendModeInForceIsRecordedWithEachDraw) {
    Kiln_setBlendMode(BLEND_ADD);
    Kiln_drawRect(0, 0, 1, 1, 0, 0, 0, 0, 0, 0);
    Kiln_setBlendMode(BLEND_MULTIPLY);
    Kiln_drawTexture("sheet", 0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0);
    Kiln_drawCircle(0, 0, 1, 0, 0, 0, 0, 0);
    Kiln_setBlendMode(7);
    Kiln_drawText("1", 0, 0, 1.0f, 0, 0, 0, 0);
    const auto& calls = kiln_headless::drawCalls();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0].blendMode, BLEND_ADD);
    EXPECT_EQ(calls[1].blendMode, BLEND_MULTIPLY);
    EXPECT_EQ(calls[2].blendMode, BLEND_MULTIPLY);
    EXPECT_EQ(calls[3].blendMode, 7) << "an unknown mode is still stored";
    EXPECT_EQ(Kiln_getBlendMode(), 7);
}

TEST_F(Drawing, BlendModeStartsAtNone) { EXPECT_EQ(Kiln_getBlendMode(), BLEND_NONE); }

TEST_F(Drawing, ZeroSizedRectFillsTheWindowSizeFromItsCorner) {
    Kiln_drawRect(5, 6, 0, 40, 2, 0, 0, 0, 0, 0);
    Kiln_drawRect(5, 6, 40, 0, 0, 0, 0, 0, 0, 0);
    const auto rects = callsOfKind(KilnDrawCall::RECT);
    ASSERT_EQ(rects.size(), 2u);
    for (const auto& rect : rects) {
        EXPECT_FLOAT_EQ(rect.x, 5.0f);
        EXPECT_FLOAT_EQ(rect.y, 6.0f);
        EXPECT_FLOAT_EQ(rect.w, 800.0f);
        EXPECT_FLOAT_EQ(rect.h, 600.0f);
    }
    EXPECT_EQ(rects[0].lineWidth, 2);
}

TEST_F(Drawing, CenteredRectSpansTwiceItsHalves) {
    Kiln_drawRectCentered(100, 50, 8, 3, 0, 45.0f, 0, 0, 0, 0);
    const auto rects = callsOfKind(KilnDrawCall::RECT);
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_FLOAT_EQ(rects[0].x, 92.0f);
    EXPECT_FLOAT_EQ(rects[0].y, 47.0f);
    EXPECT_FLOAT_EQ(rects[0].w, 16.0f);
    EXPECT_FLOAT_EQ(rects[0].h, 6.0f);
    EXPECT_FLOAT_EQ(rects[0].angle, 45.0f);
}

TEST_F(Drawing, CircleWithoutPositiveRadiusDrawsNothing) {
    Kiln_drawCircle(10, 10, 0.0f, 0, 0, 0, 0, 0);
    Kiln_drawCircle(10, 10, -3.0f, 0, 0, 0, 0, 0);
    EXPECT_TRUE(kiln_headless::drawCalls().empty());
    Kiln_drawCircle(10, 10, 0.5f, 0, 0, 0, 0, 0);
    const auto circles = callsOfKind(KilnDrawCall::CIRCLE);
    ASSERT_EQ(circles.size(), 1u);
    EXPECT_FLOAT_EQ(circles[0].w, 0.5f);
}

TEST_F(Drawing, ClearIsRecorded) {
    Kiln_clear();
    ASSERT_EQ(kiln_headless::drawCalls().size(), 1u);
    EXPECT_EQ(kiln_headless::drawCalls()[0].kind, KilnDrawCall::CLEAR);
}

TEST_F(Drawing, NothingIsRecordedWhenRecordingIsOff) {
    KilnHeadlessOptions options = noFiles();
    options.recordDrawCalls = false;
    start(options);
    Kiln_loadTexture("t", "t.bmp", {-1, 0, 0});
    Kiln_clear();
    Kiln_drawTexture("t", 0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0);
    Kiln_drawRect(0, 0, 1, 1, 0, 0, 0, 0, 0, 0);
    Kiln_drawText("HELLO", 0, 0, 1, 0, 0, 0, 0);
    EXPECT_TRUE(kiln_headless::drawCalls().empty());
}

}  // namespace

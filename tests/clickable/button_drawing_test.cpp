// What the widgets draw: source rectangles cut from the "menu" texture and
// their tints for every combination of selected and hovered, and the colours
// of text labels.
#include <memory>

#include "clickable/clickable_pool.h"
#include "menu_fixture.h"

namespace {

std::shared_ptr<Vec3> at(float x, float y) { return std::make_shared<Vec3>(x, y, 0.0f); }

void expectPiece(const KilnDrawCall& call, int srcX, int srcY, int srcW, int srcH, uint8_t shade, uint8_t alpha) {
    EXPECT_EQ(call.key, "menu");
    EXPECT_EQ(call.srcX, srcX);
    EXPECT_EQ(call.srcY, srcY);
    EXPECT_EQ(call.srcW, srcW);
    EXPECT_EQ(call.srcH, srcH);
    EXPECT_EQ(call.r, shade);
    EXPECT_EQ(call.g, shade);
    EXPECT_EQ(call.b, shade);
    EXPECT_EQ(call.a, alpha);
}

}  // namespace

using ButtonDrawingTest = MenuTest;

TEST_F(ButtonDrawingTest, SizesFollowTheType) {
    for (int type : {ImageButton::LARGE_0, ImageButton::LARGE_5}) {
        EXPECT_EQ(ImageButton(type).getWidth(), 80);
        EXPECT_EQ(ImageButton(type).getHeight(), 32);
    }
    for (int type : {ImageButton::MEDIUM_0, ImageButton::MEDIUM_1}) {
        EXPECT_EQ(ImageButton(type).getWidth(), 64);
        EXPECT_EQ(ImageButton(type).getHeight(), 16);
    }
    for (int type : {ImageButton::SMALL_0, ImageButton::SMALL_3}) {
        EXPECT_EQ(ImageButton(type).getWidth(), 32);
        EXPECT_EQ(ImageButton(type).getHeight(), 16);
    }
}

TEST_F(ButtonDrawingTest, FramedButtonPicksItsFrameBySelectionThenHover) {
    ImageButton button(ImageButton::LARGE_2);
    button.setPosition(at(10.9f, 20.7f));
    const struct {
        bool selected, hover;
        int frameU;
        uint8_t labelShade;
    } cases[] = {
        {true, true, 160, 255},
        {true, false, 160, 255},
        {false, true, 80, 64},
        {false, false, 0, 64},
    };
    for (const auto& c : cases) {
        kiln_headless::clearDrawCalls();
        button.draw(c.selected, c.hover);
        auto pieces = drawn(KilnDrawCall::TEXTURE);
        ASSERT_EQ(pieces.size(), 2u);
        expectPiece(pieces[0], c.frameU, 0, 80, 32, 255, 255);
        expectPiece(pieces[1], 0, 96, 80, 32, c.labelShade, 255);
        for (const auto& piece : pieces) {
            EXPECT_EQ(piece.x, 10.0f) << "positions are truncated to whole pixels";
            EXPECT_EQ(piece.y, 20.0f);
            EXPECT_EQ(piece.w, static_cast<float>(piece.srcW)) << "drawn at scale 1";
            EXPECT_EQ(piece.angle, 0.0f);
        }
    }
}

TEST_F(ButtonDrawingTest, EachLargeButtonHasItsOwnLabelRow) {
    for (int type = ImageButton::LARGE_0; type <= ImageButton::LARGE_5; ++type) {
        ImageButton button(type);
        button.setPosition(at(0, 0));
        kiln_headless::clearDrawCalls();
        button.draw(false, false);
        auto pieces = drawn(KilnDrawCall::TEXTURE);
        ASSERT_EQ(pieces.size(), 2u);
        EXPECT_EQ(pieces[1].srcY, 32 * (type + 1)) << "type " << type;
    }
}

TEST_F(ButtonDrawingTest, PlainButtonsAreOnePieceDimmedAndFadedWhenIdle) {
    const struct {
        int type, srcX, srcY, srcW;
    } rows[] = {
        {ImageButton::MEDIUM_0, 242, 0, 64}, {ImageButton::MEDIUM_1, 242, 16, 64},
        {ImageButton::SMALL_0, 306, 0, 32},  {ImageButton::SMALL_1, 306, 16, 32},
        {ImageButton::SMALL_2, 306, 32, 32}, {ImageButton::SMALL_3, 306, 48, 32},
    };
    const struct {
        bool selected, hover;
        uint8_t shade, alpha;
    } looks[] = {
        {true, true, 255, 255},
        {true, false, 255, 255},
        {false, true, 128, 255},
        {false, false, 128, 128},
    };
    for (const auto& row : rows) {
        ImageButton button(row.type);
        button.setPosition(at(300, 400));
        for (const auto& look : looks) {
            kiln_headless::clearDrawCalls();
            button.draw(look.selected, look.hover);
            auto pieces = drawn(KilnDrawCall::TEXTURE);
            ASSERT_EQ(pieces.size(), 1u);
            SCOPED_TRACE(testing::Message() << "type " << row.type << " selected " << look.selected << " hover "
                                            << look.hover);
            expectPiece(pieces[0], row.srcX, row.srcY, row.srcW, 16, look.shade, look.alpha);
            EXPECT_EQ(pieces[0].x, 300.0f);
            EXPECT_EQ(pieces[0].y, 400.0f);
        }
    }
}

TEST_F(ButtonDrawingTest, PoolDrawMarksOnlyTheSelectedWidgetAndPassesHover) {
    ClickablePool pool;
    pool.addImageButton("PLAY", at(100, 100), ImageButton::LARGE_0);
    pool.addImageButton("QUIT", at(100, 200), ImageButton::LARGE_1);
    moveMouse(120, 210);  // over QUIT
    kiln_headless::clearDrawCalls();
    pool.draw();
    auto pieces = drawn(KilnDrawCall::TEXTURE);
    ASSERT_EQ(pieces.size(), 4u);
    EXPECT_EQ(pieces[0].srcX, 160);  // PLAY: selected
    EXPECT_EQ(pieces[1].r, 255);
    EXPECT_EQ(pieces[2].srcX, 80);   // QUIT: hovered only
    EXPECT_EQ(pieces[3].r, 64);

    clickAt(120, 210);
    pool.update();
    kiln_headless::clearDrawCalls();
    pool.draw();
    pieces = drawn(KilnDrawCall::TEXTURE);
    ASSERT_EQ(pieces.size(), 4u);
    EXPECT_EQ(pieces[0].srcX, 0);
    EXPECT_EQ(pieces[1].r, 64);
    EXPECT_EQ(pieces[2].srcX, 160) << "selected and hovered shows the selected frame";
    EXPECT_EQ(pieces[3].r, 255);
}

TEST_F(ButtonDrawingTest, TextLabelsLightUpUnderTheMouse) {
    ClickablePool pool;
    pool.addText("GO", at(50.8f, 60.2f), at(32, 16));
    moveMouse(0, 0);
    kiln_headless::clearDrawCalls();
    pool.draw();
    auto glyphs = drawn(KilnDrawCall::GLYPH);
    ASSERT_FALSE(glyphs.empty());
    EXPECT_EQ(glyphs[0].x, 50.0f);
    EXPECT_EQ(glyphs[0].y, 60.0f);
    for (const auto& glyph : glyphs) {
        EXPECT_EQ(glyph.r, 64);
        EXPECT_EQ(glyph.g, 64);
        EXPECT_EQ(glyph.b, 64);
        EXPECT_EQ(glyph.a, 255);
    }

    moveMouse(60, 70);
    kiln_headless::clearDrawCalls();
    pool.draw();
    glyphs = drawn(KilnDrawCall::GLYPH);
    ASSERT_FALSE(glyphs.empty());
    EXPECT_EQ(glyphs[0].r, 255);
    EXPECT_EQ(glyphs[0].g, 128);
    EXPECT_EQ(glyphs[0].b, 32);
    EXPECT_EQ(glyphs[0].a, 255);
}

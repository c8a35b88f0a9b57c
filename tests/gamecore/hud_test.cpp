// The heads-up display, read back from the recorded draw calls: the distance
// ruler, the energy gauge, the score and the hi-score.
#include "scene_test_support.h"

using namespace scene_test;

namespace {

class Hud : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        newGame();
        playFrame(*game, {});
    }

    void drawHudOnly() {
        kiln_headless::clearDrawCalls();
        game->drawHud();
    }

    // Every ruler label as (x, text).
    std::vector<std::pair<int, std::string>> rulerLabels() {
        std::vector<std::pair<int, std::string>> labels;
        for (const KilnDrawCall& call : kiln_headless::drawCalls()) {
            if (call.kind != KilnDrawCall::GLYPH || call.y != 460.0f) continue;
            const int x = static_cast<int>(call.x);
            bool startsLabel = true;
            for (const KilnDrawCall& other : kiln_headless::drawCalls()) {
                if (other.kind == KilnDrawCall::GLYPH && other.y == 460.0f && other.x == call.x - 16.0f) {
                    startsLabel = false;
                }
            }
            if (startsLabel) labels.emplace_back(x, textAt(x, 460, 2.0f));
        }
        return labels;
    }

    std::vector<KilnDrawCall> rects() {
        std::vector<KilnDrawCall> found;
        for (const KilnDrawCall& call : kiln_headless::drawCalls()) {
            if (call.kind == KilnDrawCall::RECT) found.push_back(call);
        }
        return found;
    }
};

TEST_F(Hud, AtTheStartZeroMetresStandsUnderTheCraftAndTenMetresAHundredPixelsOn) {
    game->stageGoal = 100;
    game->scrollPos = 0;
    drawHudOnly();
    const auto labels = rulerLabels();
    ASSERT_FALSE(labels.empty());
    EXPECT_EQ(labels.front(), std::make_pair(100, std::string("00m")));
    const std::vector<std::pair<int, std::string>> expected = {
        {100, "00m"}, {200, "10m"}, {300, "20m"}, {400, "30m"}, {500, "40m"}, {600, "50m"}, {700, "60m"}};
    EXPECT_EQ(labels, expected);
}

TEST_F(Hud, TheRulerScrollsWithTheCourse) {
    game->scrollPos = 425 * 100;  // 425 px flown
    drawHudOnly();
    const auto labels = rulerLabels();
    ASSERT_GE(labels.size(), 2u);
    // Course pixel 400 lies at view x 400 - (425 - 100) = 75.
    EXPECT_EQ(labels[0], std::make_pair(-25, std::string("30m")));
    EXPECT_EQ(labels[1], std::make_pair(75, std::string("40m")));
}

TEST_F(Hud, NoLabelBeyondTheStagesLength) {
    game->stageGoal = 100;
    game->scrollPos = 9700 * 100;
    drawHudOnly();
    const auto labels = rulerLabels();
    ASSERT_FALSE(labels.empty());
    EXPECT_EQ(labels.back(), std::make_pair(400, std::string("1000m")));

    game->stageGoal = 0;  // endless
    drawHudOnly();
    const auto endless = rulerLabels();
    EXPECT_EQ(endless.back(), std::make_pair(700, std::string("1030m")));
}

TEST_F(Hud, EnergyGaugeFillsInProportion) {
    const struct {
        int energy;
        int filled;  // 0: no filled part drawn
    } cases[] = {{0, 0}, {5000, 150}, {10000, 300}, {33, 0}, {34, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.energy);
        game->player.energy = c.energy;
        drawHudOnly();
        const auto drawn = rects();
        ASSERT_EQ(drawn.size(), c.filled > 0 ? 3u : 2u);
        EXPECT_EQ(drawn[0].x, 168.0f);  // the white frame first
        EXPECT_EQ(drawn[0].y, 18.0f);
        EXPECT_EQ(drawn[0].w, 304.0f);
        EXPECT_EQ(drawn[0].h, 14.0f);
        EXPECT_EQ(drawn[0].b, 255);
        EXPECT_EQ(drawn[1].x, 170.0f);  // then the empty, red gauge
        EXPECT_EQ(drawn[1].w, 300.0f);
        EXPECT_EQ(drawn[1].h, 10.0f);
        EXPECT_EQ(drawn[1].r, 255);
        EXPECT_EQ(drawn[1].g, 0);
        if (c.filled > 0) {
            EXPECT_EQ(drawn[2].x, 170.0f);
            EXPECT_EQ(drawn[2].y, 20.0f);
            EXPECT_EQ(drawn[2].w, static_cast<float>(c.filled));
            EXPECT_EQ(drawn[2].r, 251);
            EXPECT_EQ(drawn[2].g, 231);
            EXPECT_EQ(drawn[2].b, 49);
        }
    }
    EXPECT_EQ(textAt(70, 18, 2.0f), "ENELGY");
}

TEST_F(Hud, ScoreAndTheStagesHiScore) {
    game->score = 1234;
    game->hiScores = {1, 2, 3, 4};
    game->stage = 2;
    drawHudOnly();
    EXPECT_EQ(textAt(2, 2, 2.0f), "SCORE:1234");
    EXPECT_EQ(textAt(300, 2, 2.0f), "HI:3");
}

TEST_F(Hud, ShakesWithThePicture) {
    Kiln_setDrawOffset(8, 4);
    drawHudOnly();
    Kiln_setDrawOffset(0, 0);
    EXPECT_EQ(textAt(10, 6, 2.0f), "SCORE:0");
}

}  // namespace

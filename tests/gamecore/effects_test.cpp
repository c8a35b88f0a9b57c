// Effects and the screen timers: how sparks, debris, flashes and score popups
// move, when they go, how they are drawn, and the shake, slow motion and
// hit-stop counts.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "headless_game.h"

namespace {

constexpr int PX = 100;

class EffectsTest : public HeadlessGame {
protected:
    // The text drawn by the last batch of glyphs.
    static std::string glyphsDrawn() {
        std::string text;
        for (const KilnDrawCall& call : kiln_headless::drawCalls()) {
            if (call.kind == KilnDrawCall::GLYPH) {
                text += call.glyph;
            }
        }
        return text;
    }

    void updateTimes(int frames) {
        for (int i = 0; i < frames; ++i) {
            game->updateEffects();
        }
    }
};

TEST_F(EffectsTest, SpawnSetsSizeAndVelocityByKind) {
    game->spawnEffect(GameMain::DEBRIS, 100, 200, 256, 1000);
    game->spawnEffect(GameMain::SPARK, 100, 200, 0, 1500);
    game->spawnEffect(GameMain::FLASH, 100, 200, 0, 0);
    game->spawnEffect(GameMain::SCORE_POPUP, 100, 200, 512, 200, 1000);
    const PlayObject* e = game->effects;
    EXPECT_EQ(e[0].size, 4 * PX);
    EXPECT_EQ(e[0].vx, 1000);
    EXPECT_EQ(e[0].vy, 0);
    EXPECT_EQ(e[0].launchAngle, 256);
    EXPECT_EQ(e[0].launchSpeed, 1000);
    EXPECT_EQ(e[1].size, 2 * PX);
    EXPECT_EQ(e[1].vy, 1500);
    EXPECT_EQ(e[2].size, 8 * PX);
    EXPECT_EQ(e[2].vx, 0);
    EXPECT_EQ(e[2].vy, 0);
    EXPECT_EQ(e[3].vy, -200);
    EXPECT_EQ(e[3].effectValue, 1000);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(e[i].life, 1);
        EXPECT_EQ(e[i].age, 0);
        EXPECT_EQ(e[i].x, 100);
        EXPECT_EQ(e[i].y, 200);
    }
}

TEST_F(EffectsTest, ReusedSlotRestartsItsAgeButAPopupKeepsTheOldSize) {
    game->effects[0].life = -3;  // below zero is free too
    game->effects[0].age = 40;
    game->effects[0].size = 777;
    game->effects[1].life = 1;
    game->spawnEffect(GameMain::SCORE_POPUP, 0, 0, 512, 200, 100);
    EXPECT_EQ(game->effects[0].age, 0);
    EXPECT_EQ(game->effects[0].size, 777);
    game->effects[2].effectValue = 55;
    game->spawnEffect(GameMain::SPARK, 0, 0, 0, 0, 999);
    EXPECT_EQ(game->effects[2].effectValue, 55) << "only popups carry a value";
}

TEST_F(EffectsTest, FullPoolDropsEffectsButTheirDrawsStillHappen) {
    for (int i = 0; i < GameMain::EFFECT_CAPACITY; ++i) {
        game->spawnEffect(GameMain::FLASH, 30000, 20000, 0, 0);
    }
    EXPECT_EQ(game->liveEffects(), 200);
    game->spawnEffect(GameMain::SCORE_POPUP, 1, 1, 512, 200, 100);
    for (const PlayObject& effect : game->effects) {
        EXPECT_EQ(effect.kind, GameMain::FLASH);
    }
    const uint32_t before = Kiln_getRandIndex();
    game->initPlayer(0, 10000, 24000);
    game->crashPlayer();
    EXPECT_EQ(Kiln_getRandIndex(), before + 200);
    EXPECT_EQ(game->liveEffects(), 200);
}

TEST_F(EffectsTest, PopupRisesTwoPixelsPerFrameAndScrollsWithTheCourse) {
    game->spawnEffect(GameMain::SCORE_POPUP, 30000, 30000, 512, 200, 100);
    game->updateEffects();
    EXPECT_EQ(game->effects[0].x, 30000 - 100);
    EXPECT_EQ(game->effects[0].y, 30000 - 200);
    game->updateEffects();
    EXPECT_EQ(game->effects[0].y, 30000 - 400);
    EXPECT_EQ(game->effects[0].age, 2);
}

TEST_F(EffectsTest, PopupGoesOnceOlderThanSixtyFrames) {
    game->spawnEffect(GameMain::SCORE_POPUP, 30000, 30000, 512, 200, 100);
    updateTimes(61);
    EXPECT_EQ(game->effects[0].life, 1);
    EXPECT_EQ(game->effects[0].age, 61);
    updateTimes(1);
    EXPECT_EQ(game->effects[0].life, 0);
}

TEST_F(EffectsTest, FlashGoesOnceOlderThanTwoFrames) {
    game->spawnEffect(GameMain::FLASH, 30000, 30000, 0, 0);
    updateTimes(3);
    EXPECT_EQ(game->liveEffects(), 1);
    EXPECT_EQ(game->effects[0].x, 30000 - 300) << "it travels with the course";
    updateTimes(1);
    EXPECT_EQ(game->liveEffects(), 0);
}

TEST_F(EffectsTest, ParticlesFallUnderGravity) {
    game->spawnEffect(GameMain::SPARK, 30000, 10000, 256, 1000);
    game->spawnEffect(GameMain::DEBRIS, 30000, 10000, 512, 1000);
    game->updateEffects();
    EXPECT_EQ(game->effects[0].vy, 49);
    EXPECT_EQ(game->effects[0].x, 30000 - 100 + 1000);
    EXPECT_EQ(game->effects[0].y, 10000 + 49);
    EXPECT_EQ(game->effects[1].vy, -1000 + 49);
    EXPECT_EQ(game->effects[1].y, 10000 - 951);
    game->updateEffects();
    EXPECT_EQ(game->effects[0].y, 10000 + 49 + 98);
}

TEST_F(EffectsTest, EffectsLeavingTheMarginAroundTheViewAreRemoved) {
    game->scrollSpeed = 0;
    // Flashes do not move: each is tested where it was spawned.
    const int inside[][2] = {{-5000, 100}, {69000, 100}, {100, -5000}, {100, 53000}};
    const int outside[][2] = {{-5001, 100}, {69001, 100}, {100, -5001}, {100, 53001}};
    for (const auto& at : inside) {
        game->spawnEffect(GameMain::FLASH, at[0], at[1], 0, 0);
    }
    for (const auto& at : outside) {
        game->spawnEffect(GameMain::FLASH, at[0], at[1], 0, 0);
    }
    game->updateEffects();
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(game->effects[i].life, 1) << "inside " << i;
        EXPECT_EQ(game->effects[4 + i].life, 0) << "outside " << i;
    }
}

TEST_F(EffectsTest, DrawsSquaresInTheirColoursAndPopupsAsPointText) {
    game->spawnEffect(GameMain::DEBRIS, 10000, 20000, 0, 0);
    game->spawnEffect(GameMain::SPARK, 10000, 20000, 0, 0);
    game->spawnEffect(GameMain::FLASH, 10000, 20000, 0, 0);
    kiln_headless::clearDrawCalls();
    game->drawEffects(0);
    const auto& squares = kiln_headless::drawCalls();
    ASSERT_EQ(squares.size(), 3u);
    EXPECT_EQ(squares[0].w, 4);
    EXPECT_EQ(squares[0].x, 98);
    EXPECT_EQ(squares[0].r, 243);
    EXPECT_EQ(squares[0].g, 0);
    EXPECT_EQ(squares[1].w, 2);
    EXPECT_EQ(squares[1].r, 128);
    EXPECT_EQ(squares[1].b, 255);
    EXPECT_EQ(squares[2].w, 8);
    EXPECT_EQ(squares[2].y, 196);
    EXPECT_EQ(squares[2].g, 255);
    for (const KilnDrawCall& call : squares) {
        EXPECT_EQ(call.kind, KilnDrawCall::RECT);
        EXPECT_EQ(call.lineWidth, 0);
        EXPECT_EQ(call.blendMode, BLEND_ALPHA);
    }

    for (PlayObject& effect : game->effects) {
        effect.life = 0;
    }
    game->spawnEffect(GameMain::SCORE_POPUP, 30000, 15000, 512, 200, 1000);
    kiln_headless::clearDrawCalls();
    game->drawEffects(1);
    EXPECT_EQ(glyphsDrawn(), "1000pt");
    ASSERT_FALSE(kiln_headless::drawCalls().empty());
    const KilnDrawCall& first = kiln_headless::drawCalls().front();
    EXPECT_EQ(first.x, 300);
    EXPECT_EQ(first.y, 150);
    EXPECT_EQ(first.r, 255);
}

TEST_F(EffectsTest, BothLayersDrawTheSameEffects) {
    game->spawnEffect(GameMain::FLASH, 10000, 20000, 0, 0);
    game->spawnEffect(GameMain::SCORE_POPUP, 30000, 15000, 512, 200, 100);
    kiln_headless::clearDrawCalls();
    game->drawEffects(0);
    const size_t lower = kiln_headless::drawCalls().size();
    EXPECT_GT(lower, 1u);
    kiln_headless::clearDrawCalls();
    game->drawEffects(1);
    EXPECT_EQ(kiln_headless::drawCalls().size(), lower);
}

class ScreenTimerTest : public HeadlessGame {
protected:
    // Where a rectangle drawn at the origin ends up: the draw offset in force.
    static std::pair<float, float> drawOffset() {
        kiln_headless::clearDrawCalls();
        Kiln_drawRect(0, 0, 1, 1, 0, 0.0f, 0, 0, 0, 255);
        const KilnDrawCall& call = kiln_headless::drawCalls().back();
        return {call.x, call.y};
    }
};

TEST_F(ScreenTimerTest, ShakeStepsByFourPixelsWithinTheFramesLeftThenComesToRest) {
    game->startShake(6);
    for (int left = 5; left >= 1; --left) {
        const uint32_t index = Kiln_getRandIndex();
        const int expectedX = Kiln_rand(0, left) * 4;
        const int expectedY = Kiln_rand(0, left) * 4;
        Kiln_srand(733, index);
        game->updateShake();
        SCOPED_TRACE(left);
        EXPECT_EQ(game->shakeFrames, left);
        EXPECT_EQ(game->shakeOffsetX, expectedX);
        EXPECT_EQ(game->shakeOffsetY, expectedY);
        EXPECT_EQ(game->shakeOffsetX % 4, 0);
        EXPECT_LE(game->shakeOffsetX, 4 * (left - 1));
        EXPECT_EQ(Kiln_getRandIndex(), index + 2) << "a range of one value still draws";
        EXPECT_EQ(drawOffset(), std::make_pair(static_cast<float>(expectedX), static_cast<float>(expectedY)));
    }
    const uint32_t index = Kiln_getRandIndex();
    game->updateShake();  // the last frame
    EXPECT_EQ(game->shakeFrames, 0);
    EXPECT_EQ(game->shakeOffsetX, 0);
    EXPECT_EQ(game->shakeOffsetY, 0);
    EXPECT_EQ(drawOffset(), std::make_pair(0.0f, 0.0f));
    for (int i = 0; i < 3; ++i) {
        game->updateShake();
        EXPECT_EQ(game->shakeFrames, 0);
        EXPECT_EQ(drawOffset(), std::make_pair(0.0f, 0.0f));
    }
    EXPECT_EQ(Kiln_getRandIndex(), index);
}

TEST_F(ScreenTimerTest, ShakeOfZeroClampsWithoutDrawingNewOffsets) {
    game->shakeOffsetX = 8;
    game->shakeOffsetY = 12;
    game->startShake(0);
    const uint32_t index = Kiln_getRandIndex();
    game->updateShake();
    EXPECT_EQ(game->shakeFrames, 0);
    EXPECT_EQ(game->shakeOffsetX, 8);
    EXPECT_EQ(game->shakeOffsetY, 12);
    EXPECT_EQ(Kiln_getRandIndex(), index);
    EXPECT_EQ(drawOffset(), std::make_pair(8.0f, 12.0f));
}

TEST_F(ScreenTimerTest, ASecondShakeRestartsAtItsOwnLengthEvenIfShorter) {
    game->startShake(30);
    game->updateShake();
    game->startShake(3);
    EXPECT_EQ(game->shakeFrames, 3);
    game->updateShake();
    game->updateShake();
    game->updateShake();
    EXPECT_EQ(game->shakeFrames, 0);
    EXPECT_EQ(game->shakeOffsetX, 0);
}

TEST_F(ScreenTimerTest, SlowMotionAndHitStopCountDownEveryFrameToZero) {
    game->startSlowMotion(30);
    game->startHitStop(2);
    for (int i = 0; i < 29; ++i) {
        game->updateSlowMotion();
        game->updateHitStop();
    }
    EXPECT_EQ(game->slowMotionFrames, 1);
    EXPECT_EQ(game->hitStopFrames, 0);
    game->updateSlowMotion();
    game->updateSlowMotion();
    EXPECT_EQ(game->slowMotionFrames, 0);
    game->startSlowMotion(5);
    game->startSlowMotion(2);
    EXPECT_EQ(game->slowMotionFrames, 2) << "set, not added";
}

}  // namespace

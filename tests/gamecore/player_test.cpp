// The craft: thrust and fall, energy and the barrier, the edges of the play
// area, the trail, the item-get ring and how it is drawn.
#include <gtest/gtest.h>

#include "headless_game.h"

namespace {

constexpr int PX = 100;  // sub-pixels per pixel

class PlayerTest : public HeadlessGame {
protected:
    void SetUp() override {
        HeadlessGame::SetUp();
        game->initPlayer(0, 100 * PX, 240 * PX);
        game->player.vy = 0;
    }

    // One frame of the craft: the devices are sampled, the keypad advances
    // and the craft reads it, as in a play step.
    void flyOneFrame(bool up, bool a = false) {
        kiln_headless::setKey(KEY_UP, up);
        kiln_headless::setKey(KEY_z, a);
        Kiln_waitFrame(16);
        game->keypad->update();
        game->clearColliders();
        game->updatePlayer();
    }
};

TEST_F(PlayerTest, StartsFullOfEnergyWithItsTrailOffScreen) {
    EXPECT_EQ(game->player.life, 1);
    EXPECT_EQ(game->player.x, 10000);
    EXPECT_EQ(game->player.y, 24000);
    EXPECT_EQ(game->player.energy, 10000);
    EXPECT_EQ(game->player.size, 800);
    EXPECT_EQ(game->player.barrierSize, 8000);
    EXPECT_EQ(game->player.barrierFrames, 0);
    EXPECT_EQ(game->player.invincibleFrames, 0);
    for (const TrailPoint& point : game->player.trail) {
        EXPECT_EQ(point.x, -20000);
        EXPECT_EQ(point.y, -20000);
    }
}

TEST_F(PlayerTest, HoldingUpFromRestGains102PerFrameUntilTheTopEdgeDestroysIt) {
    int expectedVy = 0;
    int expectedY = 24000;
    int frames = 0;
    while (game->player.life > 0 && frames < 200) {
        flyOneFrame(true);
        ++frames;
        expectedVy += 200 - 98;
        expectedY -= expectedVy / 10;
        if (expectedY >= 0) {
            ASSERT_EQ(game->player.vy, expectedVy) << "frame " << frames;
            ASSERT_EQ(game->player.y, expectedY) << "frame " << frames;
        }
    }
    EXPECT_LT(expectedY, 0);
    EXPECT_EQ(game->player.life, 0);
    EXPECT_EQ(game->player.y, 0);
    EXPECT_EQ(game->player.vy, 0);
    EXPECT_EQ(game->shakeFrames, 30);
    EXPECT_EQ(game->slowMotionFrames, 30);
}

TEST_F(PlayerTest, ThrustThrowsOneSparkDownwardAndPlaysUpOnlyWhenTheButtonGoesDown) {
    kiln_headless::clearSoundEvents();
    const uint32_t before = Kiln_getRandIndex();
    flyOneFrame(true);
    EXPECT_EQ(Kiln_getRandIndex(), before + 2) << "angle and speed of the spark";
    EXPECT_EQ(game->liveEffects(), 1);
    const PlayObject& spark = game->effects[0];
    EXPECT_EQ(spark.kind, GameMain::SPARK);
    EXPECT_GE(spark.launchAngle, -64);
    EXPECT_LT(spark.launchAngle, 64);
    EXPECT_GE(spark.launchSpeed, 1000);
    EXPECT_LT(spark.launchSpeed, 2000);
    EXPECT_GT(spark.vy, 0) << "exhaust goes down the screen";
    EXPECT_EQ(timesPlayed("up"), 1);

    flyOneFrame(true);
    EXPECT_EQ(game->liveEffects(), 2);
    EXPECT_EQ(timesPlayed("up"), 1) << "held, not pressed again";
}

TEST_F(PlayerTest, WithoutEnergyUpDoesNothingAndTheCraftFalls) {
    game->player.energy = 0;
    kiln_headless::clearSoundEvents();
    const uint32_t before = Kiln_getRandIndex();
    flyOneFrame(true);
    EXPECT_EQ(game->player.vy, -98);
    EXPECT_EQ(game->player.y, 24000 + 9);
    EXPECT_EQ(game->liveEffects(), 0);
    EXPECT_EQ(Kiln_getRandIndex(), before);
    EXPECT_EQ(timesPlayed("up"), 0);
    EXPECT_EQ(game->player.energy, 0) << "energy never goes below 0";
}

TEST_F(PlayerTest, EnergyDrainsThreePerFrame) {
    flyOneFrame(false);
    flyOneFrame(false);
    EXPECT_EQ(game->player.energy, 10000 - 6);
    game->player.energy = 2;
    flyOneFrame(false);
    EXPECT_EQ(game->player.energy, 0);
}

TEST_F(PlayerTest, BarrierNeedsStrictlyMoreEnergyThanItCosts) {
    game->player.energy = 2000;
    flyOneFrame(false, true);
    EXPECT_EQ(game->player.barrierFrames, 0);
    EXPECT_EQ(game->player.energy, 1997);
    ASSERT_EQ(game->colliderCount, 1);

    flyOneFrame(false, false);
    game->player.energy = 2001;
    kiln_headless::clearSoundEvents();
    flyOneFrame(false, true);
    EXPECT_EQ(game->player.barrierFrames, 600);
    EXPECT_EQ(game->player.energy, 0) << "1 left after the cost, then the drain";
    EXPECT_EQ(timesPlayed("bariya"), 1);
    ASSERT_EQ(game->colliderCount, 2);
    EXPECT_EQ(game->colliders[0].type, GameMain::PLAYER);
    EXPECT_EQ(game->colliders[1].type, GameMain::BARRIER);
    EXPECT_EQ(game->colliders[1].width, 8000);
    EXPECT_EQ(game->colliders[1].height, 8000);
    EXPECT_EQ(game->colliders[1].x, game->player.x);
    EXPECT_EQ(game->colliders[1].y, game->player.y);
}

TEST_F(PlayerTest, PressingAWhileTheBarrierIsUpCostsNothing) {
    game->player.barrierFrames = 100;
    flyOneFrame(false, true);
    EXPECT_EQ(game->player.barrierFrames, 99);
    EXPECT_EQ(game->player.energy, 10000 - 3);
}

TEST_F(PlayerTest, BarrierInItsLastFrameCanBeRaisedAgainAtOnce) {
    game->player.barrierFrames = 1;
    flyOneFrame(false, true);
    EXPECT_EQ(game->player.barrierFrames, 600);
    EXPECT_EQ(game->player.energy, 10000 - 2000 - 3);
}

TEST_F(PlayerTest, BarrierGoesDownAfterItsFrames) {
    game->player.barrierFrames = 2;
    flyOneFrame(false);
    EXPECT_EQ(game->colliderCount, 2);
    flyOneFrame(false);
    EXPECT_EQ(game->player.barrierFrames, 0);
    EXPECT_EQ(game->colliderCount, 1);
}

// vy is set so that after this frame's pull of 98 the step is known.
TEST_F(PlayerTest, ExactlyOnTheTopEdgeIsInsideButOneSubPixelAboveIsNot) {
    game->player.y = 0;
    game->player.vy = 98;  // 0 after the pull: no move
    flyOneFrame(false);
    EXPECT_EQ(game->player.life, 1);
    EXPECT_EQ(game->player.y, 0);

    game->player.vy = 108;  // 10 after the pull: up one sub-pixel
    flyOneFrame(false);
    EXPECT_EQ(game->player.life, 0);
    EXPECT_EQ(game->player.y, 0);
    EXPECT_EQ(game->player.vy, 0);
}

TEST_F(PlayerTest, ExactlyOnTheBottomEdgeIsInsideButOneSubPixelBelowIsNot) {
    game->player.y = 48000;
    game->player.vy = 98;
    flyOneFrame(false);
    EXPECT_EQ(game->player.life, 1);
    EXPECT_EQ(game->player.y, 48000);

    game->player.vy = 88;  // -10 after the pull: down one sub-pixel
    flyOneFrame(false);
    EXPECT_EQ(game->player.life, 0);
    EXPECT_EQ(game->player.y, 48000);
}

TEST_F(PlayerTest, TheCrashFrameStillMovesTheTrailRegistersAndScores) {
    game->player.y = 48000;
    game->player.vy = 0;  // falls 9 sub-pixels past the edge
    game->player.barrierFrames = 50;
    game->score = 10;
    const int ageBefore = game->player.age;
    const uint32_t before = Kiln_getRandIndex();
    flyOneFrame(false);

    EXPECT_EQ(game->player.life, 0);
    EXPECT_EQ(Kiln_getRandIndex(), before + 200) << "100 sparks, angle and speed each";
    EXPECT_EQ(game->liveEffects(), 100);
    EXPECT_EQ(game->score, 11);
    EXPECT_EQ(game->player.age, ageBefore + 1);
    EXPECT_EQ(game->player.trail[0].y, 48000);
    ASSERT_EQ(game->colliderCount, 2);
    EXPECT_EQ(game->colliders[0].type, GameMain::PLAYER);
    EXPECT_EQ(game->colliders[1].type, GameMain::BARRIER);

    // From then on the wreck does nothing at all.
    const int y = game->player.y;
    flyOneFrame(true);
    EXPECT_EQ(game->score, 11);
    EXPECT_EQ(game->colliderCount, 0);
    EXPECT_EQ(game->player.y, y);
    EXPECT_EQ(game->liveEffects(), 100);
}

TEST_F(PlayerTest, CrashThrowsSparksInEveryDirectionAndShakesAndSlowsTheGame) {
    game->crashPlayer();
    EXPECT_EQ(game->liveEffects(), 100);
    bool left = false, right = false, up = false, down = false;
    for (int i = 0; i < 100; ++i) {
        const PlayObject& spark = game->effects[i];
        EXPECT_EQ(spark.kind, GameMain::SPARK);
        EXPECT_EQ(spark.x, game->player.x);
        EXPECT_EQ(spark.y, game->player.y);
        EXPECT_EQ(spark.size, 200);
        left |= spark.vx < 0;
        right |= spark.vx > 0;
        up |= spark.vy < 0;
        down |= spark.vy > 0;
    }
    EXPECT_TRUE(left && right && up && down);
    EXPECT_EQ(game->shakeFrames, 30);
    EXPECT_EQ(game->slowMotionFrames, 30);
    EXPECT_EQ(game->player.life, 1);
    EXPECT_EQ(game->player.energy, 10000);
}

TEST_F(PlayerTest, TrailHoldsPastHeightsLaidOutToTheLeft) {
    const int heights[] = {24000, 23000, 22500, 26000};
    for (int height : heights) {
        game->player.y = height;
        game->player.vy = 98;  // hold the height this frame
        flyOneFrame(false);
    }
    // Newest first.
    EXPECT_EQ(game->player.trail[0].y, 26000);
    EXPECT_EQ(game->player.trail[1].y, 22500);
    EXPECT_EQ(game->player.trail[2].y, 23000);
    EXPECT_EQ(game->player.trail[3].y, 24000);
    EXPECT_EQ(game->player.trail[4].y, -20000) << "not yet reached";
    EXPECT_EQ(game->player.trail[119].y, -20000);
    for (int i = 0; i < TRAIL_LENGTH; ++i) {
        EXPECT_EQ(game->player.trail[i].x, 10000 - 100 * i);
    }
}

TEST_F(PlayerTest, WithTheCourseStoppedTheWholeTrailSitsAtTheCraft) {
    game->scrollSpeed = 0;
    flyOneFrame(false);
    for (const TrailPoint& point : game->player.trail) {
        EXPECT_EQ(point.x, 10000);
    }
}

TEST_F(PlayerTest, InvincibilityAndSparkleCountDown) {
    game->player.invincibleFrames = 2;
    flyOneFrame(false);
    EXPECT_EQ(game->player.invincibleFrames, 1);
    flyOneFrame(false);
    flyOneFrame(false);
    EXPECT_EQ(game->player.invincibleFrames, 0);
}

TEST_F(PlayerTest, ItemRingIsFourFlashesAQuarterTurnApart) {
    game->player.sparkleFrames = 21;  // 20 after this frame's count: radius 160 px
    game->frameCounter = 0;
    game->player.vy = 98;
    flyOneFrame(false);
    ASSERT_EQ(game->liveEffects(), 4);
    const int x = game->player.x, y = game->player.y;
    const int radius = 20 * 8 * PX;
    const int expected[4][2] = {{x, y + radius}, {x + radius, y}, {x, y - radius}, {x - radius, y}};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(game->effects[k].kind, GameMain::FLASH);
        EXPECT_EQ(game->effects[k].x, expected[k][0]) << "point " << k;
        EXPECT_EQ(game->effects[k].y, expected[k][1]) << "point " << k;
        EXPECT_EQ(game->effects[k].vx, 0);
        EXPECT_EQ(game->effects[k].vy, 0);
    }
}

TEST_F(PlayerTest, ItemRingTurnsWithTheFrameCounter) {
    game->player.sparkleFrames = 11;
    game->frameCounter = 8;  // 8 x 32 = a quarter turn ahead
    game->player.vy = 98;
    flyOneFrame(false);
    ASSERT_EQ(game->liveEffects(), 4);
    EXPECT_EQ(game->effects[0].x, game->player.x + 10 * 8 * PX);
    EXPECT_EQ(game->effects[0].y, game->player.y);
}

TEST_F(PlayerTest, ItemRingEndsWhenTheSparkleRunsOut) {
    game->player.sparkleFrames = 1;
    flyOneFrame(false);
    EXPECT_EQ(game->player.sparkleFrames, 0);
    EXPECT_EQ(game->liveEffects(), 0);
}

class PlayerDrawTest : public PlayerTest {
protected:
    std::vector<KilnDrawCall> drawn() {
        kiln_headless::clearDrawCalls();
        game->drawPlayer();
        return kiln_headless::drawCalls();
    }
};

TEST_F(PlayerDrawTest, DrawsTheTrailThenTheCraftThenTheBarrier) {
    game->player.barrierFrames = 10;
    const auto calls = drawn();
    ASSERT_EQ(calls.size(), 121u);
    for (int i = 0; i < 119; ++i) {
        const KilnDrawCall& point = calls[i];
        EXPECT_EQ(point.kind, KilnDrawCall::RECT);
        EXPECT_EQ(point.b, 255);
        EXPECT_EQ(point.r, 64);
        EXPECT_EQ(point.w, 8);
    }
    // Oldest point first; before the first frame every point waits off screen.
    EXPECT_EQ(calls[0].x, -200 - 4);
    EXPECT_EQ(calls[0].y, -200 - 4);
    const KilnDrawCall& craft = calls[119];
    EXPECT_EQ(craft.kind, KilnDrawCall::RECT);
    EXPECT_EQ(craft.x, 96);
    EXPECT_EQ(craft.y, 236);
    EXPECT_EQ(craft.w, 8);
    EXPECT_EQ(craft.h, 8);
    EXPECT_EQ(craft.lineWidth, 0);
    EXPECT_EQ(craft.r, 160);
    EXPECT_EQ(craft.a, 255);
    EXPECT_EQ(craft.blendMode, BLEND_ALPHA);
    const KilnDrawCall& barrier = calls[120];
    EXPECT_EQ(barrier.kind, KilnDrawCall::CIRCLE);
    EXPECT_EQ(barrier.x, 100);
    EXPECT_EQ(barrier.y, 240);
    EXPECT_EQ(barrier.w, 40);
    EXPECT_EQ(barrier.a, 128);
}

TEST_F(PlayerDrawTest, BlinksTwoFramesOnTwoOffWhileInvincible) {
    const size_t expected[] = {0, 0, 120, 120};  // invincibleFrames mod 4 = 0, 1, 2, 3
    for (int frames = 4; frames < 12; ++frames) {
        game->player.invincibleFrames = frames;
        EXPECT_EQ(drawn().size(), expected[frames % 4]) << "invincibleFrames " << frames;
    }
}

TEST_F(PlayerDrawTest, AWreckIsNotDrawn) {
    game->player.life = 0;
    EXPECT_TRUE(drawn().empty());
}

}  // namespace

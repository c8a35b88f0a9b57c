// The collision list and what contacts do: misses, pickups and enemies broken
// by the barrier, the order in which a frame's contacts are handled, the
// conversion of angles to vectors and the debug view of the boxes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "headless_game.h"

namespace {

constexpr int PX = 100;

class CollisionTest : public HeadlessGame {
protected:
    void SetUp() override {
        HeadlessGame::SetUp();
        game->initPlayer(0, 100 * PX, 240 * PX);
        kiln_headless::clearSoundEvents();
    }

    void addPlayerBox(int width = 800) {
        game->addCollider(GameMain::PLAYER, 0, game->player.x, game->player.y, width, width);
    }
    void addBarrierBox() {
        game->addCollider(GameMain::BARRIER, 0, game->player.x, game->player.y, 8000, 8000);
    }
    // Puts an object in a pool slot and registers its box, as its update would.
    void addItem(int slot, int x, int y, int size = 2000) {
        game->items[slot].life = 1;
        game->items[slot].x = x;
        game->items[slot].y = y;
        game->addCollider(GameMain::ITEM, slot, x, y, size, size);
    }
    void addWall(int slot, int x, int y) {
        game->walls[slot].life = 1;
        game->walls[slot].x = x;
        game->walls[slot].y = y;
        game->addCollider(GameMain::WALL, slot, x, y, 1600, 1600);
    }
    void addEnemy(int slot, int x, int y) {
        game->enemies[slot].life = 1;
        game->enemies[slot].x = x;
        game->enemies[slot].y = y;
        game->addCollider(GameMain::ENEMY, slot, x, y, 2000, 4000);
    }

    static std::vector<std::string> soundsPlayed() {
        std::vector<std::string> names;
        for (const KilnSoundEvent& event : kiln_headless::soundEvents()) {
            if (event.kind == KilnSoundEvent::PLAY_WAV) {
                names.push_back(event.name);
            }
        }
        return names;
    }

    int effectsOfKind(int kind) const {
        int count = 0;
        for (const PlayObject& effect : game->effects) {
            count += effect.life > 0 && effect.kind == kind;
        }
        return count;
    }
};

TEST_F(CollisionTest, ListFillsInOrderAndDropsBoxesWhenFull) {
    for (int i = 0; i < GameMain::COLLIDER_CAPACITY; ++i) {
        game->addCollider(GameMain::WALL, i, i * 10, 5, 7, 9);
    }
    game->addCollider(GameMain::ITEM, 3, 1, 1, 1, 1);
    EXPECT_EQ(game->colliderCount, 800);
    EXPECT_EQ(game->colliders[0].active, 1);
    EXPECT_EQ(game->colliders[799].type, GameMain::WALL);
    EXPECT_EQ(game->colliders[799].index, 799);
    EXPECT_EQ(game->colliders[799].x, 7990);
    EXPECT_EQ(game->colliders[799].width, 7);
    EXPECT_EQ(game->colliders[799].height, 9);

    game->clearColliders();
    EXPECT_EQ(game->colliderCount, 0);
    for (const Collider& entry : game->colliders) {
        ASSERT_EQ(entry.active, 0);
    }
    game->addCollider(GameMain::ITEM, 3, 1, 1, 1, 1);
    EXPECT_EQ(game->colliders[0].type, GameMain::ITEM);
}

TEST_F(CollisionTest, BoxesReachTheObjectsBehindThem) {
    EXPECT_EQ(game->getPlayObject(GameMain::PLAYER, 7), &game->player);
    EXPECT_EQ(game->getPlayObject(GameMain::ENEMY, 3), &game->enemies[3]);
    EXPECT_EQ(game->getPlayObject(GameMain::WALL, 1199), &game->walls[1199]);
    EXPECT_EQ(game->getPlayObject(GameMain::ITEM, 19), &game->items[19]);
    EXPECT_EQ(game->getPlayObject(GameMain::BARRIER, 0), nullptr);
    EXPECT_EQ(game->getPlayObject(0, 0), nullptr);
    EXPECT_EQ(game->getPlayObject(6, 0), nullptr);
}

TEST_F(CollisionTest, ExactlyTouchingEdgesCollideButOneSubPixelApartDoNot) {
    // Half sizes 4 px and 10 px: centres 14 px apart touch.
    addPlayerBox();
    addItem(0, 10000 + 1400, 24000);
    addItem(1, 10000 + 1401, 24000);
    addItem(2, 10000, 24000 - 1400);
    addItem(3, 10000, 24000 + 1401);
    game->resolveCollisions();
    EXPECT_EQ(game->items[0].life, 0);
    EXPECT_EQ(game->items[1].life, 1);
    EXPECT_EQ(game->items[2].life, 0);
    EXPECT_EQ(game->items[3].life, 1);
}

TEST_F(CollisionTest, HalfOfAnOddSizeIsTruncated) {
    addPlayerBox(801);                  // half 400, not 400.5
    addItem(0, 10000 + 1400, 24000, 2001);  // half 1000
    addItem(1, 10000 + 1401, 24000, 2001);
    addItem(2, 10000, 24000 + 1400, 2001);
    addItem(3, 10000, 24000 - 1401, 2001);
    game->resolveCollisions();
    EXPECT_EQ(game->items[0].life, 0);
    EXPECT_EQ(game->items[1].life, 1);
    EXPECT_EQ(game->items[2].life, 0);
    EXPECT_EQ(game->items[3].life, 1);
}

TEST_F(CollisionTest, MissCostsHalfAFullTankNotBelowZeroAndMakesTheCraftInvincible) {
    game->player.energy = 3000;
    const uint32_t before = Kiln_getRandIndex();
    addPlayerBox();
    addWall(0, 10000, 24000);
    game->resolveCollisions();
    EXPECT_EQ(game->player.energy, 0);
    EXPECT_EQ(game->player.invincibleFrames, 180);
    EXPECT_EQ(game->player.life, 1) << "a miss alone never destroys the craft";
    EXPECT_EQ(effectsOfKind(GameMain::SPARK), 100);
    EXPECT_EQ(Kiln_getRandIndex(), before + 200);
    EXPECT_EQ(game->shakeFrames, 30);
    EXPECT_EQ(game->slowMotionFrames, 30);
    EXPECT_EQ(soundsPlayed(), std::vector<std::string>{"miss"});
    EXPECT_EQ(game->walls[0].life, 1) << "walls are not broken by the craft";
}

TEST_F(CollisionTest, SeveralContactsInOneFrameCostOneMiss) {
    addPlayerBox();
    addWall(0, 10000, 24000 - 1000);
    addWall(1, 10000, 24000 + 1000);
    addEnemy(0, 10500, 24000);
    game->resolveCollisions();
    EXPECT_EQ(game->player.energy, 5000);
    EXPECT_EQ(soundsPlayed().size(), 1u);
    EXPECT_EQ(effectsOfKind(GameMain::SPARK), 100);
    EXPECT_EQ(game->enemies[0].life, 1) << "only the barrier breaks enemies";
}

TEST_F(CollisionTest, WhileInvincibleWallsAndEnemiesPassThroughWithoutAnyEffect) {
    game->player.invincibleFrames = 5;
    game->player.energy = 7000;
    const uint32_t before = Kiln_getRandIndex();
    addPlayerBox();
    addWall(0, 10000, 24000);
    addEnemy(0, 10000, 24000);
    game->resolveCollisions();
    EXPECT_EQ(game->player.energy, 7000);
    EXPECT_EQ(game->player.invincibleFrames, 5);
    EXPECT_EQ(game->liveEffects(), 0);
    EXPECT_EQ(Kiln_getRandIndex(), before);
    EXPECT_EQ(game->shakeFrames, 0);
    EXPECT_TRUE(soundsPlayed().empty());
}

TEST_F(CollisionTest, ItemTakenAt9500LeavesExactly10000AndShowsAPopup) {
    game->player.energy = 9500;
    game->score = 40;
    addItem(4, 10000, 24000);
    addPlayerBox();
    game->resolveCollisions();
    EXPECT_EQ(game->items[4].life, 0);
    EXPECT_EQ(game->player.energy, 10000);
    EXPECT_EQ(game->score, 140);
    EXPECT_EQ(game->player.sparkleFrames, 20);
    EXPECT_EQ(soundsPlayed(), std::vector<std::string>{"itemget"});
    ASSERT_EQ(game->liveEffects(), 1);
    const PlayObject& popup = game->effects[0];
    EXPECT_EQ(popup.kind, GameMain::SCORE_POPUP);
    EXPECT_EQ(popup.effectValue, 100);
    EXPECT_EQ(popup.x, game->player.x);
    EXPECT_EQ(popup.y, game->player.y);
    EXPECT_EQ(popup.vx, 0);
    EXPECT_EQ(popup.vy, -200) << "rises 2 px per frame";
}

TEST_F(CollisionTest, EnergyFromItemsNeverPassesTheFullTank) {
    game->player.energy = 9001;
    addPlayerBox();
    addItem(0, 10000, 24000);
    game->resolveCollisions();
    EXPECT_EQ(game->player.energy, 10000);
}

TEST_F(CollisionTest, ItemsAreStillTakenWhileInvincible) {
    game->player.invincibleFrames = 100;
    game->player.energy = 1000;
    addPlayerBox();
    addItem(0, 10000, 24000);
    game->resolveCollisions();
    EXPECT_EQ(game->items[0].life, 0);
    EXPECT_EQ(game->player.energy, 2000);
}

TEST_F(CollisionTest, BarrierBreaksAnEnemyForPointsDebrisAndAShake) {
    game->score = 5;
    const uint32_t before = Kiln_getRandIndex();
    addPlayerBox();
    addBarrierBox();
    addEnemy(2, 10000 + 4000 + 1000, 24000);  // touching the barrier's right edge
    game->resolveCollisions();
    EXPECT_EQ(game->enemies[2].life, 0);
    EXPECT_EQ(game->score, 1005);
    EXPECT_EQ(game->shakeFrames, 20);
    EXPECT_EQ(soundsPlayed(), std::vector<std::string>{"break"});
    EXPECT_EQ(Kiln_getRandIndex(), before + 200);
    EXPECT_EQ(effectsOfKind(GameMain::DEBRIS), 100);
    ASSERT_EQ(effectsOfKind(GameMain::SCORE_POPUP), 1);
    for (int i = 0; i < 100; ++i) {
        const PlayObject& debris = game->effects[i];
        EXPECT_EQ(debris.kind, GameMain::DEBRIS);
        EXPECT_EQ(debris.x, 15000);
        EXPECT_GE(debris.vx, 0) << "debris fans out to the right";
        EXPECT_GE(debris.launchAngle, 0);
        EXPECT_LT(debris.launchAngle, 512);
    }
    EXPECT_EQ(game->effects[100].kind, GameMain::SCORE_POPUP);
    EXPECT_EQ(game->effects[100].effectValue, 1000);
    EXPECT_EQ(game->effects[100].x, 15000);
    EXPECT_EQ(game->player.energy, 10000) << "the craft itself was not touched";
}

TEST_F(CollisionTest, BarrierLeavesWallsAloneAndItemsAreNotTakenByIt) {
    addPlayerBox();
    addBarrierBox();
    addWall(0, 10000 + 3000, 24000);
    addItem(0, 10000, 24000 - 3000);
    game->resolveCollisions();
    EXPECT_EQ(game->walls[0].life, 1);
    EXPECT_EQ(game->items[0].life, 1);
    EXPECT_EQ(game->player.energy, 10000);
    EXPECT_TRUE(soundsPlayed().empty());
}

TEST_F(CollisionTest, WallsItemsAndEnemiesDoNotTouchOneAnother) {
    addWall(0, 30000, 24000);
    addItem(0, 30000, 24000);
    addEnemy(0, 30000, 24000);
    const uint32_t before = Kiln_getRandIndex();
    game->resolveCollisions();
    EXPECT_EQ(game->walls[0].life, 1);
    EXPECT_EQ(game->items[0].life, 1);
    EXPECT_EQ(game->enemies[0].life, 1);
    EXPECT_EQ(Kiln_getRandIndex(), before);
    EXPECT_EQ(game->score, 0);
}

TEST_F(CollisionTest, MissIsHandledBeforeTheBarrierBreaksTheSameEnemy) {
    addPlayerBox();
    addBarrierBox();
    addEnemy(0, 10000, 24000);
    game->resolveCollisions();
    EXPECT_EQ(soundsPlayed(), (std::vector<std::string>{"miss", "break"}));
    EXPECT_EQ(game->player.energy, 5000);
    EXPECT_EQ(game->enemies[0].life, 0);
    EXPECT_EQ(game->score, 1000);
    EXPECT_EQ(game->shakeFrames, 20) << "the break's shake replaces the crash's";
    // 100 sparks and 100 debris fill the pool: the popup is dropped.
    EXPECT_EQ(effectsOfKind(GameMain::SPARK), 100);
    EXPECT_EQ(effectsOfKind(GameMain::DEBRIS), 100);
    EXPECT_EQ(effectsOfKind(GameMain::SCORE_POPUP), 0);
}

TEST_F(CollisionTest, AFrameRegistersCraftBarrierWallsItemsThenEnemies) {
    game->player.barrierFrames = 10;
    game->columnTimer = 100000;
    game->spawnEnemy(0, 50000, 10000);
    game->spawnItem(0, 50000, 20000);
    game->spawnWall(0, 50000, 30000);
    game->clearColliders();
    game->keypad->update();
    game->updatePlayer();
    game->updateCourse();
    game->updateItems();
    game->updateEnemies();
    ASSERT_EQ(game->colliderCount, 5);
    const int expected[] = {GameMain::PLAYER, GameMain::BARRIER, GameMain::WALL, GameMain::ITEM, GameMain::ENEMY};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(game->colliders[i].type, expected[i]) << i;
    }
}

TEST_F(CollisionTest, PolarVectorsPointDownRightUpAndLeft) {
    int along = -1, across = -1;
    game->polarToVector(256, 1000, along, across);
    EXPECT_EQ(along, 1000);
    EXPECT_EQ(across, 0) << "a cosine that is not exactly 0 truncates to 0";
    game->polarToVector(0, 1500, along, across);
    EXPECT_EQ(along, 0);
    EXPECT_EQ(across, 1500);
    game->polarToVector(512, 200, along, across);
    EXPECT_EQ(along, 0);
    EXPECT_EQ(across, -200);
    game->polarToVector(768, 1000, along, across);
    EXPECT_EQ(along, -1000);
    EXPECT_EQ(across, 0);
}

TEST_F(CollisionTest, PolarVectorsTruncateTowardZero) {
    int along = 0, across = 0;
    // 45 degrees: 1000 x 0.7071... = 707.1
    game->polarToVector(128, 1000, along, across);
    EXPECT_EQ(along, 707);
    EXPECT_EQ(across, 707);
    // -22.5 degrees: 1500 x -0.38268 = -574.02 (floor would give -575); the cosine side is 1385.8
    game->polarToVector(-64, 1500, along, across);
    EXPECT_EQ(along, -574);
    EXPECT_EQ(across, 1385);
    // 135 degrees: sine 0.7071, cosine -0.7071
    game->polarToVector(384, 100, along, across);
    EXPECT_EQ(along, 70);
    EXPECT_EQ(across, -70);
}

// Products that fall just short of a whole number: rounded to single
// precision they reach it, so they truncate to it. Expected values worked out
// with 200-bit arithmetic: 1602 x sin(46.7578125 deg) = 1166.99995349...,
// 1252 x sin(56.25 deg) = 1040.99995460...
TEST_F(CollisionTest, PolarProductsAreRoundedToSinglePrecisionBeforeTruncation) {
    int along = 0, across = 0;
    game->polarToVector(133, 1602, along, across);
    EXPECT_EQ(along, 1167);
    game->polarToVector(160, 1252, along, across);
    EXPECT_EQ(along, 1041);
}

TEST_F(CollisionTest, DebugOutlinesAreDrawnOnlyWhenSwitchedOn) {
    addPlayerBox();
    addBarrierBox();
    addWall(0, 20000, 10000);
    addItem(0, 30000, 10000);
    addEnemy(0, 40000, 10000);
    kiln_headless::clearDrawCalls();
    game->drawColliders();
    EXPECT_TRUE(kiln_headless::drawCalls().empty());

    game->showColliders = 1;
    game->drawColliders();
    const auto& calls = kiln_headless::drawCalls();
    ASSERT_EQ(calls.size(), 5u);
    const uint8_t colours[5][3] = {{255, 0, 0}, {128, 0, 128}, {0, 128, 128}, {0, 255, 0}, {0, 0, 128}};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(calls[i].kind, KilnDrawCall::RECT);
        EXPECT_EQ(calls[i].lineWidth, 2);
        EXPECT_EQ(calls[i].blendMode, BLEND_ALPHA);
        EXPECT_EQ(calls[i].r, colours[i][0]) << i;
        EXPECT_EQ(calls[i].g, colours[i][1]) << i;
        EXPECT_EQ(calls[i].b, colours[i][2]) << i;
        EXPECT_EQ(calls[i].a, 255);
    }
    EXPECT_EQ(calls[1].x, 60);
    EXPECT_EQ(calls[1].w, 80);
    EXPECT_EQ(calls[4].y, 80);
    EXPECT_EQ(calls[4].h, 40);
}

}  // namespace

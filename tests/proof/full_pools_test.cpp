// The play field with every pool at capacity for many frames: 1200 walls,
// 20 items, 20 enemies, 200 effects and the 800-entry collider list. Under
// the sanitizer build this is where an index one past a pool would show.
// Spawns into a full pool must be dropped without touching any slot.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "gamecore/game_main.h"
#include "kiln2/headless.h"
#include "kiln2/kiln2.h"
#include "proof_support.h"

namespace {

constexpr int PX = SUB_PIXELS;

class FullPools : public ::testing::Test {
protected:
    void SetUp() override {
        proof::startHeadlessFramework(false);
        proof::writeFile("config.ini", "HI_SCORE1 = 0\nHI_SCORE2 = 0\nHI_SCORE3 = 0\nHI_SCORE4 = 0\nMODE = 3\n");
        Kiln_setGlobalInt(REPLAY_FLAG_SLOT, 0);
        game = std::make_unique<GameMain>();
        game->update();  // INIT
        game->phase = GameMain::PLAY;
    }
    void TearDown() override {
        game.reset();
        proof::stopHeadlessFramework();
    }

    // Every free slot of every pool filled, right of the craft, the craft kept mid-screen.
    void fillEveryPool(int frame) {
        game->player.y = 240 * PX;
        game->player.vy = 0;
        game->player.energy = game->maxEnergy;
        for (int i = 0; i < GameMain::WALL_CAPACITY; ++i) {
            if (game->walls[i].life <= 0) game->spawnWall(0, (200 + (i / 40) * 15) * PX, (i % 40) * 16 * PX);
        }
        for (int i = 0; i < GameMain::ITEM_CAPACITY; ++i) game->spawnItem(0, (210 + i * 20) * PX, (40 + i * 20) * PX);
        for (int i = 0; i < GameMain::ENEMY_CAPACITY; ++i) {
            game->spawnEnemy(i % 3, (220 + i * 20) * PX, (60 + i * 18) * PX);
        }
        for (int i = 0; i < GameMain::EFFECT_CAPACITY; ++i) {
            game->spawnEffect(i % 4, (150 + i * 2) * PX, (30 + i * 2) * PX, (i * 37 + frame) % 1024, 500, 10);
        }
    }

    std::unique_ptr<GameMain> game;
};

TEST_F(FullPools, TwoThousandFramesAtCapacityStayInsideThePools) {
    int fullFrames = 0;
    for (int frame = 0; frame < 2000; ++frame) {
        fillEveryPool(frame);
        ASSERT_EQ(game->liveWalls(), GameMain::WALL_CAPACITY);
        ASSERT_EQ(game->liveItems(), GameMain::ITEM_CAPACITY);
        ASSERT_EQ(game->liveEnemies(), GameMain::ENEMY_CAPACITY);
        ASSERT_EQ(game->liveEffects(), GameMain::EFFECT_CAPACITY);
        kiln_headless::setKey(KEY_UP, frame % 3 == 0);
        kiln_headless::setKey(KEY_z, frame % 200 == 0);
        Kiln_waitFrame(16);
        game->update();
        game->draw();
        if (game->colliderCount == GameMain::COLLIDER_CAPACITY) ++fullFrames;
        ASSERT_LE(game->colliderCount, GameMain::COLLIDER_CAPACITY);
        if (game->phase != GameMain::PLAY) game->phase = GameMain::PLAY;  // a run that ended goes on
    }
    // More boxes than the list holds: full in every frame whose play step ran
    // (hit-stop and slow motion after the barrier's hits hold some frames back).
    EXPECT_GT(fullFrames, 1500);
}

TEST_F(FullPools, SpawnsIntoFullPoolsChangeNoSlot) {
    fillEveryPool(0);
    GameMain before;
    std::memcpy(static_cast<void*>(before.walls), game->walls, sizeof game->walls);
    std::memcpy(static_cast<void*>(before.items), game->items, sizeof game->items);
    std::memcpy(static_cast<void*>(before.enemies), game->enemies, sizeof game->enemies);
    std::memcpy(static_cast<void*>(before.effects), game->effects, sizeof game->effects);
    game->spawnWall(0, 1 * PX, 2 * PX);
    game->spawnItem(0, 3 * PX, 4 * PX);
    game->spawnEnemy(2, 5 * PX, 6 * PX);
    game->spawnEffect(GameMain::SPARK, 7 * PX, 8 * PX, 100, 900, 0);
    EXPECT_EQ(std::memcmp(before.walls, game->walls, sizeof game->walls), 0);
    EXPECT_EQ(std::memcmp(before.items, game->items, sizeof game->items), 0);
    EXPECT_EQ(std::memcmp(before.enemies, game->enemies, sizeof game->enemies), 0);
    EXPECT_EQ(std::memcmp(before.effects, game->effects, sizeof game->effects), 0);
}

}  // namespace

// The course: columns of walls with openings, the item between columns, the
// enemy in the second opening, the pattern re-roll, pools and culling, and
// how walls, items and enemies are drawn.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "headless_game.h"
#include "scene_test_support.h"

namespace {

constexpr int PX = 100;
constexpr int ROW = 16 * PX;
constexpr int NEW_X = 670 * PX - 100;  // where a new thing is after its first frame's scroll

// What a column should look like, worked out from the random sequence by the
// game's rules: openings mark rows, every unmarked row of 0..39 is a wall.
struct ExpectedColumn {
    int interval = 0;
    std::set<int> wallRows;
    bool enemy = false;
    int enemyKind = 0;
    int enemyY = 0;
    int draws = 0;
};

ExpectedColumn drawColumn(int spacingLevel, int holeLevel, int holeCount) {
    static const int intervals[3][2] = {{140, 200}, {120, 160}, {100, 120}};
    static const int lengths[3][2] = {{8, 12}, {6, 10}, {4, 6}};
    ExpectedColumn column;
    column.interval = Kiln_rand(intervals[spacingLevel][0], intervals[spacingLevel][1]);
    column.draws = 1;
    bool open[40] = {};
    int secondStart = 0, secondLength = 0;
    for (int h = 0; h < holeCount; ++h) {
        const int start = Kiln_rand(1, 28);
        const int length = Kiln_rand(lengths[holeLevel][0], lengths[holeLevel][1]);
        column.draws += 2;
        for (int row = start; row < start + length && row < 40; ++row) {
            open[row] = true;
        }
        if (h == 1) {
            secondStart = start;
            secondLength = length;
            column.draws += 1;
            if (Kiln_rand(0, 2) == 0) {
                column.enemy = true;
                column.enemyKind = Kiln_rand(0, 3);
                column.draws += 1;
                column.enemyY = (secondStart + secondLength / 2) * ROW;
            }
        }
    }
    for (int row = 0; row < 40; ++row) {
        if (!open[row]) {
            column.wallRows.insert(row);
        }
    }
    return column;
}

class CourseTest : public HeadlessGame {
protected:
    void SetUp() override {
        HeadlessGame::SetUp();
        game->resetCourse();
    }

    void step() {
        game->clearColliders();
        game->updateCourse();
        game->updateItems();
        game->updateEnemies();
    }

    std::set<int> newWallRows() const {
        std::set<int> rows;
        for (const PlayObject& wall : game->walls) {
            if (wall.life > 0 && wall.x == NEW_X) {
                EXPECT_EQ(wall.y % ROW, 0);
                rows.insert(wall.y / ROW);
            }
        }
        return rows;
    }

    static void freeAll(PlayObject* pool, int capacity) {
        for (int i = 0; i < capacity; ++i) {
            pool[i].life = 0;
        }
    }
};

TEST_F(CourseTest, ResetStartsWithOneOpeningAndNoTimers) {
    game->patternTimer = 50;
    game->columnTimer = 9;
    game->spacingLevel = 2;
    game->holeLevel = 1;
    game->holeCount = 3;
    game->columnInterval = 77;
    game->resetCourse();
    EXPECT_EQ(game->patternTimer, 0);
    EXPECT_EQ(game->columnTimer, 0);
    EXPECT_EQ(game->spacingLevel, 0);
    EXPECT_EQ(game->holeLevel, 0);
    EXPECT_EQ(game->holeCount, 1);
    EXPECT_EQ(game->columnInterval, 77) << "left as it was";
}

TEST_F(CourseTest, FirstColumnIsBuiltInTheFirstFrameWithoutAnItem) {
    const ExpectedColumn expected = drawColumn(0, 0, 1);
    Kiln_srand(733, 17);
    step();
    EXPECT_EQ(newWallRows(), expected.wallRows);
    EXPECT_EQ(game->liveWalls(), static_cast<int>(expected.wallRows.size()));
    EXPECT_EQ(game->liveItems(), 0);
    EXPECT_EQ(game->liveEnemies(), 0);
    EXPECT_EQ(game->columnTimer, expected.interval);
    EXPECT_EQ(game->columnInterval, expected.interval);
    EXPECT_GE(expected.interval, 140);
    EXPECT_LT(expected.interval, 200);
    EXPECT_EQ(game->patternTimer, 1);
    EXPECT_EQ(Kiln_getRandIndex(), 17u + expected.draws);
    EXPECT_EQ(game->walls[0].age, 1);
}

TEST_F(CourseTest, ColumnsMatchTheirOpeningsAtEveryLevel) {
    int enemyColumnsWithOneOpening = 0;
    int columnsWithTwoOrMore = 0, enemyColumnsWithTwoOrMore = 0;
    for (int i = 0; i < 300; ++i) {
        freeAll(game->walls, GameMain::WALL_CAPACITY);
        freeAll(game->enemies, GameMain::ENEMY_CAPACITY);
        game->spacingLevel = i % 3;
        game->holeLevel = (i / 3) % 3;
        game->holeCount = 1 + (i / 9) % 3;
        game->columnTimer = 1;
        game->columnInterval = 0;
        game->patternTimer = 0;
        Kiln_srand(733, 1000 + 37 * i);
        const ExpectedColumn expected = drawColumn(game->spacingLevel, game->holeLevel, game->holeCount);
        Kiln_srand(733, 1000 + 37 * i);
        step();

        SCOPED_TRACE(testing::Message() << "column " << i);
        EXPECT_EQ(newWallRows(), expected.wallRows);
        EXPECT_TRUE(expected.wallRows.count(0)) << "row 0 is always a wall";
        EXPECT_EQ(game->columnTimer, expected.interval);
        EXPECT_EQ(Kiln_getRandIndex(), 1000u + 37 * i + expected.draws);
        ASSERT_EQ(game->liveEnemies(), expected.enemy ? 1 : 0);
        if (expected.enemy) {
            EXPECT_EQ(game->enemies[0].kind, expected.enemyKind);
            EXPECT_EQ(game->enemies[0].x, NEW_X);
            EXPECT_EQ(game->enemies[0].y, expected.enemyY);
            EXPECT_EQ(game->enemies[0].size, 20 * PX);
        }
        if (game->holeCount == 1) {
            enemyColumnsWithOneOpening += expected.enemy;
        } else {
            ++columnsWithTwoOrMore;
            enemyColumnsWithTwoOrMore += expected.enemy;
        }
    }
    EXPECT_EQ(enemyColumnsWithOneOpening, 0);
    // About half the columns with two or more openings carry an enemy.
    EXPECT_GT(enemyColumnsWithTwoOrMore, columnsWithTwoOrMore / 4);
    EXPECT_LT(enemyColumnsWithTwoOrMore, columnsWithTwoOrMore * 3 / 4);
}

TEST_F(CourseTest, OpeningsRunningPastTheLastRowJustEndThere) {
    // Force an opening from row 27 of length 11 by finding a seed that draws it.
    uint32_t index = 0;
    for (; index < 200000; ++index) {
        Kiln_srand(733, index);
        Kiln_rand(140, 200);
        if (Kiln_rand(1, 28) == 27 && Kiln_rand(8, 12) == 11) {
            break;
        }
    }
    ASSERT_LT(index, 200000u);
    game->columnTimer = 1;
    Kiln_srand(733, index);
    step();
    std::set<int> expected;
    for (int row = 0; row < 27; ++row) {
        expected.insert(row);
    }
    for (int row = 38; row < 40; ++row) {
        expected.insert(row);
    }
    EXPECT_EQ(newWallRows(), expected);
}

TEST_F(CourseTest, NextColumnComesOneIntervalLater) {
    step();
    const int interval = game->columnInterval;
    const int wallsPerColumn = game->liveWalls();
    for (int frame = 1; frame < interval; ++frame) {
        step();
    }
    EXPECT_EQ(game->columnTimer, 1);
    EXPECT_EQ(game->liveItems(), 1) << "the item came halfway";
    // It came in the frame that found the timer at interval / 2 and has
    // scrolled one step per frame since, that frame included.
    const int itemFrames = interval / 2 - 1;
    EXPECT_EQ(game->items[0].x, 67000 - 100 * itemFrames);
    const int before = game->liveWalls();
    EXPECT_EQ(before, wallsPerColumn);
    step();
    EXPECT_GT(game->liveWalls(), before);
    EXPECT_EQ(game->walls[0].x, 67000 - 100 * (interval + 1));
}

TEST_F(CourseTest, ItemComesWhenTheTimerIsHalfTheInterval) {
    game->columnInterval = 151;
    game->columnTimer = 76;
    const uint32_t before = Kiln_getRandIndex();
    step();
    EXPECT_EQ(game->liveItems(), 0);
    EXPECT_EQ(Kiln_getRandIndex(), before);

    step();  // the timer is now 75 = 151 / 2
    ASSERT_EQ(game->liveItems(), 1);
    Kiln_srand(733, before);
    const int row = Kiln_rand(1, 28);
    EXPECT_EQ(game->items[0].y, row * ROW);
    EXPECT_EQ(game->items[0].x, NEW_X);
    EXPECT_EQ(game->items[0].size, 20 * PX);
    EXPECT_EQ(game->items[0].kind, 0);
}

TEST_F(CourseTest, ItemRowIsDrawnBeforeTheColumnThatFollowsInTheSameFrame) {
    game->columnInterval = 2;
    game->columnTimer = 1;
    const int row = Kiln_rand(1, 28);
    const ExpectedColumn expected = drawColumn(0, 0, 1);
    Kiln_srand(733, 17);
    step();
    ASSERT_EQ(game->liveItems(), 1);
    EXPECT_EQ(game->items[0].y, row * ROW);
    EXPECT_EQ(newWallRows(), expected.wallRows);
}

TEST_F(CourseTest, PatternIsReRolledAfter181FramesInOrderSpacingHoleCount) {
    game->columnTimer = 100000;  // no column in the way
    for (int frame = 0; frame < 180; ++frame) {
        step();
    }
    EXPECT_EQ(game->patternTimer, 180);
    EXPECT_EQ(game->holeCount, 1);
    EXPECT_EQ(Kiln_getRandIndex(), 17u);

    const int spacing = Kiln_rand(0, 3);
    const int hole = Kiln_rand(0, 3);
    const int count = Kiln_rand(1, 4);
    Kiln_srand(733, 17);
    step();
    EXPECT_EQ(game->patternTimer, 0);
    EXPECT_EQ(game->spacingLevel, spacing);
    EXPECT_EQ(game->holeLevel, hole);
    EXPECT_EQ(game->holeCount, count);
    EXPECT_EQ(Kiln_getRandIndex(), 20u);
}

TEST_F(CourseTest, NewLevelsApplyFromTheNextColumn) {
    // Column and re-roll in the same frame: the column uses the old levels.
    game->patternTimer = 180;
    game->columnTimer = 1;
    game->spacingLevel = 2;
    game->holeLevel = 2;
    game->holeCount = 1;
    const ExpectedColumn expected = drawColumn(2, 2, 1);
    Kiln_srand(733, 17);
    step();
    EXPECT_EQ(newWallRows(), expected.wallRows);
    EXPECT_EQ(game->columnTimer, expected.interval);
    EXPECT_EQ(Kiln_getRandIndex(), 17u + expected.draws + 3);
}

TEST_F(CourseTest, FullWallPoolDropsBlocksButStillDraws) {
    for (int i = 0; i < GameMain::WALL_CAPACITY; ++i) {
        game->spawnWall(0, 30000, 0);
    }
    game->columnTimer = 1;
    step();
    EXPECT_EQ(game->liveWalls(), GameMain::WALL_CAPACITY);
    EXPECT_EQ(newWallRows().size(), 0u);
    EXPECT_EQ(Kiln_getRandIndex(), 17u + 3);
    EXPECT_EQ(game->colliderCount, GameMain::COLLIDER_CAPACITY) << "the list is full at 800";
}

TEST_F(CourseTest, FullEnemyPoolDropsTheEnemyButStillDrawsItsClass) {
    uint32_t index = 0;
    ExpectedColumn expected;
    for (;; ++index) {
        Kiln_srand(733, index);
        expected = drawColumn(0, 0, 2);
        if (expected.enemy) {
            break;
        }
    }
    for (PlayObject& enemy : game->enemies) {
        enemy.life = 1;
        enemy.x = 30000;
        enemy.kind = 0;
    }
    game->holeCount = 2;
    game->columnTimer = 1;
    Kiln_srand(733, index);
    step();
    EXPECT_EQ(Kiln_getRandIndex(), index + 7u);
    EXPECT_EQ(expected.draws, 7);
    EXPECT_EQ(newWallRows(), expected.wallRows);
    for (const PlayObject& enemy : game->enemies) {
        EXPECT_EQ(enemy.x, 30000 - 100);
    }
}

TEST_F(CourseTest, FullItemPoolDropsTheItemButStillDrawsItsRow) {
    for (PlayObject& item : game->items) {
        item.life = 1;
        item.x = 30000;
    }
    game->columnInterval = 150;
    game->columnTimer = 75;
    step();
    EXPECT_EQ(Kiln_getRandIndex(), 18u);
    for (const PlayObject& item : game->items) {
        EXPECT_EQ(item.x, 30000 - 100);
    }
}

TEST_F(CourseTest, SpawnTakesTheFirstFreeSlotAndKeepsItsStaleFields) {
    for (int i = 0; i < 5; ++i) {
        game->walls[i].life = 1;
    }
    game->walls[2].life = -1;  // below zero is free too
    game->walls[2].age = 55;
    game->walls[2].vx = 7;
    game->walls[2].kind = 9;
    game->walls[3].life = 0;
    game->spawnWall(0, 1234, 5678);
    const PlayObject& wall = game->walls[2];
    EXPECT_EQ(wall.life, 1);
    EXPECT_EQ(wall.x, 1234);
    EXPECT_EQ(wall.y, 5678);
    EXPECT_EQ(wall.size, 16 * PX);
    EXPECT_EQ(wall.kind, 0);
    EXPECT_EQ(wall.age, 55) << "age carries over from the last occupant";
    EXPECT_EQ(wall.vx, 7);
    EXPECT_EQ(game->walls[3].life, 0);

    game->items[0].life = 1;
    game->items[1].age = 12;
    game->spawnItem(0, 1, 2);
    EXPECT_EQ(game->items[1].life, 1);
    EXPECT_EQ(game->items[1].age, 12);
    EXPECT_EQ(game->items[1].size, 20 * PX);

    game->enemies[0].age = 30;
    game->spawnEnemy(2, 3, 4);
    EXPECT_EQ(game->enemies[0].kind, 2);
    EXPECT_EQ(game->enemies[0].age, 30);
    EXPECT_EQ(game->enemies[0].size, 20 * PX);
}

TEST_F(CourseTest, FullItemAndEnemyPoolsDropSpawns) {
    for (int i = 0; i < GameMain::ITEM_CAPACITY; ++i) {
        game->spawnItem(0, i, 0);
    }
    for (int i = 0; i < GameMain::ENEMY_CAPACITY; ++i) {
        game->spawnEnemy(0, i, 0);
    }
    game->spawnItem(0, 999, 0);
    game->spawnEnemy(1, 999, 0);
    EXPECT_EQ(game->liveItems(), 20);
    EXPECT_EQ(game->liveEnemies(), 20);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(game->items[i].x, i);
        EXPECT_EQ(game->enemies[i].kind, 0);
    }
}

TEST_F(CourseTest, ThingsAreFreedOncePast50PixelsLeftButRegisterThatFrame) {
    game->columnTimer = 100000;
    game->spawnWall(0, -4900, 0);
    game->spawnItem(0, -4900, 0);
    game->spawnEnemy(0, -4900, 0);
    step();  // at exactly -50 px: still there
    EXPECT_EQ(game->liveWalls(), 1);
    EXPECT_EQ(game->liveItems(), 1);
    EXPECT_EQ(game->liveEnemies(), 1);
    step();  // at -51 px
    EXPECT_EQ(game->liveWalls(), 0);
    EXPECT_EQ(game->liveItems(), 0);
    EXPECT_EQ(game->liveEnemies(), 0);
    ASSERT_EQ(game->colliderCount, 3);
    EXPECT_EQ(game->colliders[0].type, GameMain::WALL);
    EXPECT_EQ(game->colliders[0].x, -5100);
    EXPECT_EQ(game->colliders[1].type, GameMain::ITEM);
    EXPECT_EQ(game->colliders[2].type, GameMain::ENEMY);
    step();
    EXPECT_EQ(game->colliderCount, 0);
}

TEST_F(CourseTest, BoxesFollowSizeAndEnemyClassInSlotOrder) {
    game->columnTimer = 100000;
    for (int kind = 0; kind < 4; ++kind) {
        game->spawnEnemy(kind, 30000, 20000);
    }
    game->spawnItem(0, 30000, 10000);
    game->spawnWall(0, 30000, 0);
    game->spawnWall(0, 31000, 0);
    step();
    ASSERT_EQ(game->colliderCount, 7);
    const int types[] = {GameMain::WALL, GameMain::WALL, GameMain::ITEM, GameMain::ENEMY,
                         GameMain::ENEMY, GameMain::ENEMY, GameMain::ENEMY};
    const int heights[] = {1600, 1600, 2000, 4000, 6000, 8000, 2000};
    const int indices[] = {0, 1, 0, 0, 1, 2, 3};
    const int xs[] = {29900, 30900, 29900, 29900, 29900, 29900, 29900};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(game->colliders[i].type, types[i]) << i;
        EXPECT_EQ(game->colliders[i].height, heights[i]) << i;
        EXPECT_EQ(game->colliders[i].index, indices[i]) << i;
        EXPECT_EQ(game->colliders[i].x, xs[i]) << i;
    }
    EXPECT_EQ(game->colliders[3].width, 2000);
}

TEST_F(CourseTest, WithTheCourseStoppedNewColumnsPileUpOffScreen) {
    game->scrollSpeed = 0;
    game->columnTimer = 1;
    step();
    const int first = game->liveWalls();
    ASSERT_GT(first, 0);
    game->columnTimer = 1;
    step();
    EXPECT_GT(game->liveWalls(), first);
    for (const PlayObject& wall : game->walls) {
        if (wall.life > 0) {
            EXPECT_EQ(wall.x, 67000);
        }
    }
}

TEST_F(CourseTest, DrawsWallsItemsAndEnemiesAsFilledSquaresInTheirColours) {
    game->spawnWall(0, 10000, 3200);
    game->spawnItem(0, 20050, 5000);
    game->spawnEnemy(2, 30000, 24000);
    game->spawnEnemy(7, 40000, 24000);
    Kiln_setBlendMode(BLEND_NONE);
    kiln_headless::clearDrawCalls();
    game->drawWalls();
    game->drawItems();
    game->drawEnemies();
    const auto& calls = kiln_headless::drawCalls();
    ASSERT_EQ(calls.size(), 4u);
    for (const KilnDrawCall& call : calls) {
        EXPECT_EQ(call.kind, KilnDrawCall::RECT);
        EXPECT_EQ(call.lineWidth, 0);
        EXPECT_EQ(call.angle, 0);
        EXPECT_EQ(call.blendMode, BLEND_ALPHA);
        EXPECT_EQ(call.a, 255);
    }
    EXPECT_EQ(calls[0].x, 92);
    EXPECT_EQ(calls[0].y, 24);
    EXPECT_EQ(calls[0].w, 16);
    EXPECT_EQ(calls[0].g, 255);
    EXPECT_EQ(calls[0].r, 64);
    EXPECT_EQ(calls[1].x, 190) << "200.5 px truncates to 200";
    EXPECT_EQ(calls[1].w, 20);
    EXPECT_EQ(calls[1].r, 243);
    EXPECT_EQ(calls[1].g, 213);
    EXPECT_EQ(calls[1].b, 26);
    EXPECT_EQ(calls[2].w, 20);
    EXPECT_EQ(calls[2].h, 80);
    EXPECT_EQ(calls[2].y, 200);
    EXPECT_EQ(calls[2].r, 243);
    EXPECT_EQ(calls[2].g, 0);
    EXPECT_EQ(calls[3].h, 20) << "an unknown class is drawn square";
}

class CourseInARunTest : public scene_test::SceneTest {};

TEST_F(CourseInARunTest, NothingIsBuiltDuringTheCountdownAndTheFirstColumnComesInTheFirstPlayFrame) {
    newGame();
    for (int i = 0; i < 400 && game->phase != GameMain::PLAY; ++i) {
        scene_test::playFrame(*game, {});
        ASSERT_EQ(game->liveWalls(), 0) << "frame " << i;
    }
    ASSERT_EQ(game->phase, GameMain::PLAY);
    scene_test::playFrame(*game, {});
    ASSERT_GT(game->liveWalls(), 0);
    bool rowZero = false;
    for (const PlayObject& wall : game->walls) {
        if (wall.life > 0) {
            EXPECT_EQ(wall.x, NEW_X);
            rowZero |= wall.y == 0;
        }
    }
    EXPECT_TRUE(rowZero);
    EXPECT_GE(game->columnTimer, 140);
    EXPECT_LT(game->columnTimer, 200);
    EXPECT_EQ(game->columnInterval, game->columnTimer);
}

}  // namespace

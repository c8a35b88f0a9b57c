// The course: the generator that builds a wall column whenever its timer runs
// out (with an item between columns and sometimes an enemy in an opening), and
// the spawning, scrolling, culling, collision boxes and drawing of walls,
// items and enemies.
#include "gamecore/game_main.h"
#include "kiln2/kiln2.h"

namespace {

// A column is 40 rows of 16 px from the top; rows 30 and below lie under the
// play area, so an opening reaching row 30 is open to the bottom edge.
constexpr int COLUMN_ROWS = 40;
constexpr int ROW_HEIGHT_PX = 16;
constexpr int MAX_HOLES = 10;
// Openings and items start on rows 1..27: row 0 is always a wall.
constexpr int FIRST_OPEN_ROW = 1;
constexpr int LAST_OPEN_ROW_END = 28;
// New things appear 30 px beyond the right edge and are dropped 50 px beyond the left.
constexpr int SPAWN_X_PX = 670;
constexpr int CULL_X_PX = -50;
// The look of the course is re-rolled every 181 frames.
constexpr int PATTERN_FRAMES = 180;
constexpr int LEVELS = 3;

constexpr int WALL_SIZE_PX = 16;
constexpr int ITEM_SIZE_PX = 20;
constexpr int ENEMY_WIDTH_PX = 20;

// Frames between columns (also pixels at the normal scroll speed), by spacing level.
constexpr int COLUMN_INTERVAL[LEVELS][2] = {{140, 200}, {120, 160}, {100, 120}};
// Rows per opening, by hole level: the higher the level, the tighter the course.
constexpr int HOLE_LENGTH[LEVELS][2] = {{8, 12}, {6, 10}, {4, 6}};

int clampLevel(int level) {
    return level < 0 ? 0 : (level >= LEVELS ? LEVELS - 1 : level);
}

// Enemies are 2, 3 or 4 times as tall as they are wide, by size class.
int enemyHeightFactor(int kind) {
    switch (kind) {
        case 0: return 2;
        case 1: return 3;
        case 2: return 4;
        default: return 1;
    }
}

// The free-slot rule: the first slot whose life is 0 or less, or -1 when the pool is full.
int firstFreeSlot(const PlayObject* pool, int capacity) {
    for (int i = 0; i < capacity; ++i) {
        if (pool[i].life <= 0) {
            return i;
        }
    }
    return -1;
}

// A spawn writes only these fields; the rest (age included) stay from the slot's last occupant.
void place(PlayObject& object, int kind, int x, int y, int size) {
    object.life = 1;
    object.kind = kind;
    object.x = x;
    object.y = y;
    object.size = size;
}

int countLive(const PlayObject* pool, int capacity) {
    int live = 0;
    for (int i = 0; i < capacity; ++i) {
        if (pool[i].life > 0) {
            ++live;
        }
    }
    return live;
}

}  // namespace

void GameMain::spawnWall(int kind, int x, int y) {
    const int slot = firstFreeSlot(walls, wallCapacity);
    if (slot >= 0) {
        place(walls[slot], kind, x, y, WALL_SIZE_PX * subPixels);
        if (slot >= wallScanEnd) wallScanEnd = slot + 1;
    }
}

void GameMain::spawnItem(int kind, int x, int y) {
    const int slot = firstFreeSlot(items, itemCapacity);
    if (slot >= 0) {
        place(items[slot], kind, x, y, ITEM_SIZE_PX * subPixels);
    }
}

void GameMain::spawnEnemy(int kind, int x, int y) {
    const int slot = firstFreeSlot(enemies, enemyCapacity);
    if (slot >= 0) {
        place(enemies[slot], kind, x, y, ENEMY_WIDTH_PX * subPixels);
    }
}

void GameMain::resetCourse() {
    patternTimer = 0;
    columnTimer = 0;
    spacingLevel = 0;
    holeLevel = 0;
    holeCount = 1;
}

// The random draws below are the one sequence a stage's course and its
// replay depend on: their order never changes, and a draw happens even when
// its spawn is dropped for a full pool.
void GameMain::updateCourse() {
    const int spawnX = SPAWN_X_PX * subPixels;
    const int rowHeight = ROW_HEIGHT_PX * subPixels;

    // An item halfway between the last column and the next.
    if (columnInterval > 0 && columnInterval / 2 == columnTimer) {
        const int row = Kiln_rand(FIRST_OPEN_ROW, LAST_OPEN_ROW_END);
        spawnItem(0, spawnX, row * rowHeight);
    }

    if (--columnTimer <= 0) {
        const int* interval = COLUMN_INTERVAL[clampLevel(spacingLevel)];
        columnTimer = Kiln_rand(interval[0], interval[1]);
        columnInterval = columnTimer;

        int holeStart[MAX_HOLES] = {};
        int holeLength[MAX_HOLES] = {};
        const int* length = HOLE_LENGTH[clampLevel(holeLevel)];
        const int holes = holeCount < MAX_HOLES ? holeCount : MAX_HOLES;
        for (int h = 0; h < holes; ++h) {
            holeStart[h] = Kiln_rand(FIRST_OPEN_ROW, LAST_OPEN_ROW_END);
            holeLength[h] = Kiln_rand(length[0], length[1]);
            // Half the columns with two or more openings guard the second one.
            if (h == 1) {
                const int coin = Kiln_rand(0, 2);
                if (coin == 0) {
                    const int sizeClass = Kiln_rand(0, 3);
                    spawnEnemy(sizeClass, spawnX, (holeLength[1] / 2 + holeStart[1]) * rowHeight);
                }
            }
        }

        for (int r = 0; r < COLUMN_ROWS; ++r) {
            bool open = false;
            for (int h = 0; h < MAX_HOLES && !open; ++h) {
                open = holeStart[h] <= r && r < holeStart[h] + holeLength[h];
            }
            if (!open) {
                spawnWall(0, spawnX, r * rowHeight);
            }
        }
    }

    // New levels apply from the next column.
    if (++patternTimer > PATTERN_FRAMES) {
        patternTimer = 0;
        spacingLevel = Kiln_rand(0, LEVELS);
        holeLevel = Kiln_rand(0, LEVELS);
        holeCount = Kiln_rand(1, 4);
    }

    // Every wall's box joins the collision list exactly as addCollider(WALL,
    // ...) would add it, with the list's counters kept in locals: this loop
    // runs over a couple of hundred walls every frame.
    const int cullX = CULL_X_PX * subPixels;
    const int speed = scrollSpeed;
    const int capacity = colliderCapacity < COLLIDER_CAPACITY ? colliderCapacity : COLLIDER_CAPACITY;
    int count = colliderCount;
    int wallCount = wallBoxes.count;
    for (int i = 0; i < wallScanEnd; ++i) {
        PlayObject& wall = walls[i];
        if (wall.life <= 0) {
            continue;
        }
        wall.x -= speed;
        if (wall.x < cullX) {
            wall.life = 0;
        }
        // Registered even in the frame it is dropped.
        if (count < capacity) {
            colliders[count] = Collider{1, WALL, i, wall.x, wall.y, wall.size, wall.size};
            wallBoxes.entries[wallCount++] = count++;
        }
        wall.age += 1;
    }
    colliderCount = count;
    wallBoxes.count = wallCount;
}

void GameMain::updateItems() {
    const int cullX = CULL_X_PX * subPixels;
    for (int i = 0; i < itemCapacity; ++i) {
        PlayObject& item = items[i];
        if (item.life <= 0) {
            continue;
        }
        item.x -= scrollSpeed;
        if (item.x < cullX) {
            item.life = 0;
        }
        addCollider(ITEM, i, item.x, item.y, item.size, item.size);
        item.age += 1;
    }
}

// Enemies do not move by themselves: they travel with the course.
void GameMain::updateEnemies() {
    const int cullX = CULL_X_PX * subPixels;
    for (int i = 0; i < enemyCapacity; ++i) {
        PlayObject& enemy = enemies[i];
        if (enemy.life <= 0) {
            continue;
        }
        enemy.x -= scrollSpeed;
        if (enemy.x < cullX) {
            enemy.life = 0;
        }
        addCollider(ENEMY, i, enemy.x, enemy.y, enemy.size, enemy.size * enemyHeightFactor(enemy.kind));
        enemy.age += 1;
    }
}

void GameMain::drawWalls() {
    for (int i = 0; i < wallScanEnd; ++i) {
        const PlayObject& wall = walls[i];
        if (wall.life <= 0) {
            continue;
        }
        Kiln_setBlendMode(BLEND_ALPHA);
        const int half = (wall.size / 2) / subPixels;
        Kiln_drawRectCentered(wall.x / subPixels, wall.y / subPixels, half, half, 0, 0.0f, 64, 255, 64, 255);
    }
}

void GameMain::drawItems() {
    for (int i = 0; i < itemCapacity; ++i) {
        const PlayObject& item = items[i];
        if (item.life <= 0) {
            continue;
        }
        Kiln_setBlendMode(BLEND_ALPHA);
        const int half = (item.size / 2) / subPixels;
        Kiln_drawRectCentered(item.x / subPixels, item.y / subPixels, half, half, 0, 0.0f, 243, 213, 26, 255);
    }
}

void GameMain::drawEnemies() {
    for (int i = 0; i < enemyCapacity; ++i) {
        const PlayObject& enemy = enemies[i];
        if (enemy.life <= 0) {
            continue;
        }
        Kiln_setBlendMode(BLEND_ALPHA);
        const int halfWidth = (enemy.size / 2) / subPixels;
        Kiln_drawRectCentered(enemy.x / subPixels, enemy.y / subPixels, halfWidth,
                              halfWidth * enemyHeightFactor(enemy.kind), 0, 0.0f, 243, 0, 0, 255);
    }
}

int GameMain::liveWalls() const { return countLive(walls, wallCapacity); }
int GameMain::liveItems() const { return countLive(items, itemCapacity); }
int GameMain::liveEnemies() const { return countLive(enemies, enemyCapacity); }

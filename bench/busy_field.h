// A play field filled to the brim, for the timing programs: every wall, item,
// enemy and effect slot in use (through the game's own spawn operations),
// spread over the screen right of the craft so that nothing scrolls out or
// touches the craft. restoreField puts everything back after a timed frame.
// Header-only: every .cpp in bench/ is a program of its own.
#pragma once

#include "gamecore/game_main.h"

namespace bench {

inline int wallX(int i) { return (200 + (i / 40) * 15) * SUB_PIXELS; }  // 30 columns of 40 rows, 15 px apart
inline int wallY(int i) { return (i % 40) * 16 * SUB_PIXELS; }
inline int itemX(int i) { return (210 + i * 20) * SUB_PIXELS; }
inline int itemY(int i) { return (40 + i * 20) * SUB_PIXELS; }
inline int enemyX(int i) { return (220 + i * 20) * SUB_PIXELS; }
inline int enemyY(int i) { return (60 + i * 18) * SUB_PIXELS; }

inline void spawnEffectNumber(GameMain& game, int i) {
    game.spawnEffect(i % 4, (150 + (i % 50) * 9) * SUB_PIXELS, (30 + (i / 50) * 100) * SUB_PIXELS, (i * 37) % 1024,
                     300 + (i % 5) * 100, 100);
}

// Back to the full field of fillField, with the craft mid-screen and no timers running.
inline void restoreField(GameMain& game) {
    game.phase = GameMain::PLAY;
    game.scrollSpeed = 100;
    game.hitStopFrames = 0;
    game.slowMotionFrames = 0;
    game.player.life = 1;
    game.player.y = 240 * SUB_PIXELS;
    game.player.vy = 0;
    game.player.energy = game.maxEnergy;
    int respawned = 0;
    for (int i = 0; i < GameMain::WALL_CAPACITY; ++i) {
        if (game.walls[i].life > 0) {
            game.walls[i].x = wallX(i);
            game.walls[i].y = wallY(i);
        } else {
            game.spawnWall(0, wallX(i), wallY(i));
        }
    }
    for (int i = 0; i < GameMain::ITEM_CAPACITY; ++i) {
        if (game.items[i].life > 0) {
            game.items[i].x = itemX(i);
        } else {
            game.spawnItem(0, itemX(i), itemY(i));
        }
    }
    for (int i = 0; i < GameMain::ENEMY_CAPACITY; ++i) {
        if (game.enemies[i].life > 0) {
            game.enemies[i].x = enemyX(i);
        } else {
            game.spawnEnemy(i % 3, enemyX(i), enemyY(i));
        }
    }
    for (int i = 0; i < GameMain::EFFECT_CAPACITY; ++i) {
        if (game.effects[i].life <= 0) spawnEffectNumber(game, respawned++);
    }
}

// Fills every pool through the spawn operations and puts the game in PLAY.
inline void fillField(GameMain& game) {
    for (int i = 0; i < GameMain::WALL_CAPACITY; ++i) game.spawnWall(0, wallX(i), wallY(i));
    for (int i = 0; i < GameMain::ITEM_CAPACITY; ++i) game.spawnItem(0, itemX(i), itemY(i));
    for (int i = 0; i < GameMain::ENEMY_CAPACITY; ++i) game.spawnEnemy(i % 3, enemyX(i), enemyY(i));
    for (int i = 0; i < GameMain::EFFECT_CAPACITY; ++i) spawnEffectNumber(game, i);
    restoreField(game);
}

}  // namespace bench

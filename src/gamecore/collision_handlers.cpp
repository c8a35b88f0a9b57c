// What a contact does: a miss when the craft touches a wall or an enemy, a
// pickup when an item touches the craft, and an enemy's destruction when the
// barrier touches it. These are where energy is lost and won back and where
// the score grows beyond the per-frame tick.
#include "gamecore/game_main.h"
#include "kiln2/kiln2.h"

namespace {

// A miss costs half a full tank and leaves the craft untouchable for three seconds.
constexpr int MISS_INVINCIBLE_FRAMES = 180;
constexpr int ITEM_ENERGY = 1000;
constexpr int ITEM_SCORE = 100;
constexpr int ENEMY_SCORE = 1000;
// The shrinking ring around the craft after a pickup.
constexpr int ITEM_SPARKLE_FRAMES = 20;
constexpr int ENEMY_BREAK_SHAKE_FRAMES = 20;
constexpr int ENEMY_DEBRIS_COUNT = 100;
// Score popups rise straight up at 2 px per frame.
constexpr int POPUP_ANGLE = 512;
constexpr int POPUP_SPEED = 200;

}  // namespace

void GameMain::onPlayerMiss(Collider playerBox, Collider other) {
    (void)other;  // walls and enemies cost the same
    PlayObject* craft = getPlayObject(playerBox.type, playerBox.index);
    if (craft == nullptr || craft->invincibleFrames > 0) {
        return;  // still blinking from the last miss: no cost, no sparks, no sound
    }
    craft->energy -= maxEnergy / 2;
    if (craft->energy < 0) {
        craft->energy = 0;
    }
    craft->invincibleFrames = MISS_INVINCIBLE_FRAMES;
    crashPlayer();
    // A miss never destroys the craft by itself; running dry does, later.
    if (craft->life <= 0) {
        craft->life = 0;
    }
    Kiln_playWAV("miss", 0, -1);
}

void GameMain::onItemGet(Collider itemBox, Collider playerBox) {
    PlayObject* item = getPlayObject(itemBox.type, itemBox.index);
    PlayObject* craft = getPlayObject(playerBox.type, playerBox.index);
    if (item == nullptr || craft == nullptr) {
        return;
    }
    item->life -= 1;
    craft->energy += ITEM_ENERGY;
    if (craft->energy > maxEnergy) {
        craft->energy = maxEnergy;
    }
    Kiln_playWAV("itemget", 0, -1);
    craft->sparkleFrames = ITEM_SPARKLE_FRAMES;
    score += ITEM_SCORE;
    spawnEffect(SCORE_POPUP, craft->x, craft->y, POPUP_ANGLE, POPUP_SPEED, ITEM_SCORE);
}

void GameMain::onEnemyBreak(Collider enemyBox, Collider barrierBox) {
    PlayObject* enemy = getPlayObject(enemyBox.type, enemyBox.index);
    if (enemy == nullptr) {
        return;
    }
    if (barrierBox.type == BARRIER) {
        enemy->life -= 1;
    }
    if (enemy->life > 0) {
        return;
    }
    // Debris fans out through the right half-turn, from straight down to straight up.
    for (int i = 0; i < ENEMY_DEBRIS_COUNT; ++i) {
        const int angle = Kiln_rand(0, 512);
        const int speed = Kiln_rand(1000, 2000);
        spawnEffect(DEBRIS, enemy->x, enemy->y, angle, speed);
    }
    score += ENEMY_SCORE;
    spawnEffect(SCORE_POPUP, enemy->x, enemy->y, POPUP_ANGLE, POPUP_SPEED, ENEMY_SCORE);
    startShake(ENEMY_BREAK_SHAKE_FRAMES);
    Kiln_playWAV("break", 0, -1);
}

// The player's craft: its start state, one frame of flight (thrust, gravity,
// barrier, energy, edges, trail), its explosion and its drawing.
#include <cstring>

#include "gamecore/game_main.h"
#include "kiln2/kiln2.h"

namespace {

// The feel of the craft. vy is its upward speed in tenths of a sub-pixel per
// frame, so holding UP nets +102 per frame against the pull.
constexpr int THRUST = 200;
constexpr int GRAVITY = 98;
constexpr int ENERGY_DRAIN = 3;  // a full tank lasts 3333 frames of doing nothing
constexpr int BARRIER_FRAMES = 600;
constexpr int CRAFT_SIZE_PX = 8;
constexpr int BARRIER_SIZE_PX = 80;
constexpr int PLAY_AREA_HEIGHT_PX = 480;
// Trail points start here, off screen, and take real heights one per frame.
constexpr int TRAIL_START = -20000;

// The exhaust points straight down, give or take 22.5 degrees.
constexpr int EXHAUST_SPREAD = 64;
constexpr int PARTICLE_SPEED_MIN = 1000;
constexpr int PARTICLE_SPEED_MAX = 2000;
constexpr int CRASH_SPARKS = 100;
constexpr int CRASH_SHAKE_FRAMES = 30;
constexpr int CRASH_SLOW_MOTION_FRAMES = 30;

// The item-get ring: four flashes a quarter turn apart, turning 32/1024 of a
// turn per frame and shrinking 8 px per frame.
constexpr int SPARKLE_POINTS = 4;
constexpr int SPARKLE_TURN_PER_FRAME = 32;
constexpr int SPARKLE_SHRINK_PX = 8;

}  // namespace

void GameMain::initPlayer(int kind, int x, int y) {
    player.life = 1;
    player.kind = kind;
    player.x = x;
    player.y = y;
    player.energy = maxEnergy;
    player.size = CRAFT_SIZE_PX * subPixels;
    player.barrierFrames = 0;
    player.barrierSize = BARRIER_SIZE_PX * subPixels;
    player.invincibleFrames = 0;
    for (TrailPoint& point : player.trail) {
        point.x = TRAIL_START;
        point.y = TRAIL_START;
    }
}

void GameMain::updatePlayer() {
    if (player.life == 0) {
        return;  // a destroyed craft neither moves nor scores
    }

    if (keypad->isPressUp(false) && player.energy > 0) {
        player.vy += THRUST;
        const int angle = Kiln_rand(-EXHAUST_SPREAD, EXHAUST_SPREAD);
        const int speed = Kiln_rand(PARTICLE_SPEED_MIN, PARTICLE_SPEED_MAX);
        spawnEffect(SPARK, player.x, player.y, angle, speed);
        if (keypad->isTriggerUp(false)) {
            Kiln_playWAV("up", 0, -1);
        }
    }

    if (--player.barrierFrames < 0) {
        player.barrierFrames = 0;
    }
    // The count above runs first, so a barrier in its last frame can be raised again at once.
    if (keypad->isTriggerA(false) && player.energy > barrierCost && player.barrierFrames == 0) {
        player.energy -= barrierCost;
        player.barrierFrames = BARRIER_FRAMES;
        Kiln_playWAV("bariya", 0, -1);
    }

    player.vy -= GRAVITY;
    player.y -= player.vy / 10;

    player.energy -= ENERGY_DRAIN;
    if (player.energy < 0) {
        player.energy = 0;
    }

    if (--player.sparkleFrames < 0) {
        player.sparkleFrames = 0;
    }
    if (player.sparkleFrames > 0) {
        // The ring's turn follows the run's frame count, not the pickup time.
        const int radius = player.sparkleFrames * SPARKLE_SHRINK_PX * subPixels;
        for (int k = 0; k < SPARKLE_POINTS; ++k) {
            int along = 0, across = 0;
            polarToVector(k * (ANGLE_UNITS / SPARKLE_POINTS) + frameCounter * SPARKLE_TURN_PER_FRAME, radius, along,
                          across);
            spawnEffect(FLASH, player.x + along, player.y + across, 0, 0);
        }
    }

    if (--player.invincibleFrames < 0) {
        player.invincibleFrames = 0;
    }

    // Exactly on an edge is still inside; only beyond it costs the craft.
    if (player.y < 0) {
        player.y = 0;
        player.vy = 0;
        player.life -= 1;
    }
    const int bottom = PLAY_AREA_HEIGHT_PX * subPixels;
    if (player.y > bottom) {
        player.y = bottom;
        player.vy = 0;
        player.life -= 1;
    }
    if (player.life <= 0) {
        crashPlayer();
        player.life = 0;
        // The rest of this frame still runs: the wreck leaves its trail point,
        // its box and its point of score, and the run ends through updateRun.
    }

    // The trail is the craft's past heights laid out to the left, one scroll
    // step apart: the heights move one point along, the spacing is laid anew.
    const int points = trailLength < TRAIL_LENGTH ? trailLength : TRAIL_LENGTH;
    if (points > 1) std::memmove(&player.trail[1], &player.trail[0], sizeof(TrailPoint) * (points - 1));
    const int speed = scrollSpeed;
    for (int i = 1; i < points; ++i) {
        player.trail[i].x = player.x - speed * i;
    }
    player.trail[0].x = player.x;
    player.trail[0].y = player.y;

    addCollider(PLAYER, 0, player.x, player.y, player.size, player.size);
    if (player.barrierFrames > 0) {
        addCollider(BARRIER, 0, player.x, player.y, player.barrierSize, player.barrierSize);
    }

    score += 1;
    player.age += 1;
}

void GameMain::crashPlayer() {
    for (int i = 0; i < CRASH_SPARKS; ++i) {
        const int angle = Kiln_rand(0, ANGLE_UNITS);
        const int speed = Kiln_rand(PARTICLE_SPEED_MIN, PARTICLE_SPEED_MAX);
        spawnEffect(SPARK, player.x, player.y, angle, speed);
    }
    startShake(CRASH_SHAKE_FRAMES);
    startSlowMotion(CRASH_SLOW_MOTION_FRAMES);
}

void GameMain::drawPlayer() {
    Kiln_setBlendMode(BLEND_ALPHA);
    if (player.life <= 0) {
        return;
    }
    // While invincible the craft and its trail blink, two frames on, two off.
    if (player.invincibleFrames > 0 && player.invincibleFrames % 4 <= 1) {
        return;
    }
    const int half = (player.size / 2) / subPixels;
    for (int i = trailLength - 1; i >= 1; --i) {
        Kiln_drawRectCentered(player.trail[i].x / subPixels, player.trail[i].y / subPixels, half, half, 0, 0.0f, 64,
                              64, 255, 255);
    }
    Kiln_drawRectCentered(player.x / subPixels, player.y / subPixels, half, half, 0, 0.0f, 160, 160, 255, 255);
    if (player.barrierFrames > 0) {
        // Drawn round, but it collides as a square.
        const int radius = (player.barrierSize / 2) / subPixels;
        Kiln_drawCircle(static_cast<float>(player.x / subPixels), static_cast<float>(player.y / subPixels),
                        static_cast<float>(radius), 0, 160, 160, 255, 128);
    }
}

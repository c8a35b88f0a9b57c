// The records of the play field: every moving thing is a PlayObject in a
// fixed pool; the player's record also carries its trail. A slot whose life
// is 0 or less is free, and a spawn overwrites only the fields it sets, so a
// reused slot keeps the rest of its previous occupant (its age included).
#pragma once

#include <cstdint>

// Sub-pixels per screen pixel: every position, size and speed of a run is in these.
constexpr int SUB_PIXELS = 100;
// Play-field angles: 1024 to the full turn, 0 pointing down the screen.
constexpr int ANGLE_UNITS = 1024;

struct PlayObject {
    int32_t life = 0;  // > 0: slot in use (an enemy's hit points)
    int32_t age = 0;   // frames since spawn
    int32_t x = 0;     // centre, sub-pixels
    int32_t y = 0;
    int32_t vx = 0;  // sub-pixels per frame; the player's vy is its upward speed in tenths
    int32_t vy = 0;
    int32_t size = 0;  // side of the square (enemies: width)
    int32_t kind = 0;  // enemy size class 0..2, effect kind 0..3
    int32_t invincibleFrames = 0;
    int32_t launchSpeed = 0;
    int32_t launchAngle = 0;
    int32_t barrierFrames = 0;
    int32_t barrierSize = 0;
    int32_t sparkleFrames = 0;
    int32_t effectValue = 0;  // score popups: the number shown
    int32_t energy = 0;
};

struct TrailPoint {
    int32_t x = 0;
    int32_t y = 0;
};

constexpr int TRAIL_LENGTH = 120;

// Only the craft leaves a trail, so only its record carries one.
struct PlayerObject : PlayObject {
    TrailPoint trail[TRAIL_LENGTH];
};

// One box of the per-frame collision list.
struct Collider {
    int32_t active = 0;  // > 0: entry in use
    int32_t type = 0;    // a GameMain::COLLSION_TYPE
    int32_t index = 0;   // slot of the owner in its pool (0 for the player and the barrier)
    int32_t x = 0;       // centre, sub-pixels
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
};

// The speeds a replay can be watched at, slowest first: x1/4, x1/2, x1, x2,
// x4, x8. Faster speeds run more updates per drawn frame; slower ones draw
// the same update for several frames.
#pragma once

#include <optional>
#include <string>

constexpr int THEATRE_SPEED_COUNT = 6;
constexpr int THEATRE_NORMAL_SPEED = 2;  // x1

struct TheatreSpeed {
    int updatesPerFrame;  // 1, 2, 4 or 8
    int framesPerUpdate;  // 1, 2 or 4
    const char* label;    // "x1/4" .. "x8"
};

// The speed of a step 0 .. THEATRE_SPEED_COUNT - 1; steps outside are clamped.
const TheatreSpeed& theatreSpeed(int step);

// The step for a speed written as a number: "0.25", "0.5", "1", "2", "4", "8"
// (or the same values spelt "0.50", "8.0", ...); nothing for any other text.
std::optional<int> theatreSpeedStepFromText(const std::string& text);

// One joystick slot of the input snapshot: the two stick axes and the buttons
// of this frame and the frame before. The device itself stays in the backend.
#pragma once

#include <cstdint>
#include <vector>

#include "kiln2/kiln2.h"

// 80 % of full deflection; a stick resting at exactly this value is not a direction.
constexpr int KILN_STICK_THRESHOLD = 26214;

class Joystick {
public:
    int16_t prevAxisX = 0;
    int16_t prevAxisY = 0;
    int16_t axisX = 0;  // negative is left
    int16_t axisY = 0;  // negative is up
    std::vector<bool> prevButtons;
    std::vector<bool> buttons;
    bool hasDevice = false;  // a device sits in this slot now
    int32_t buttonCount = 0;
    int deviceId = -1;  // the backend's id of that device
};

// True when a stick at (x, y) points in direction dir (a KilnJoyDir).
inline bool kilnStickHolds(int dir, int16_t x, int16_t y) {
    switch (dir) {
        case JOY_UP: return y < -KILN_STICK_THRESHOLD;
        case JOY_DOWN: return y > KILN_STICK_THRESHOLD;
        case JOY_RIGHT: return x > KILN_STICK_THRESHOLD;
        case JOY_LEFT: return x < -KILN_STICK_THRESHOLD;
        default: return false;
    }
}

// One joystick slot of the input snapshot: the two stick axes and the buttons
// of this frame and the frame before. The device itself stays in the backend.
#pragma once

#include <cstdint>
#include <vector>

class Joystick {
public:
    int16_t prevAxisX = 0;
    int16_t prevAxisY = 0;
    int16_t axisX = 0;  // negative is left
    int16_t axisY = 0;  // negative is up
    std::vector<bool> prevButtons;
    std::vector<bool> buttons;
    bool hasDevice = false;  // a device sat in this slot at start-up
    int32_t buttonCount = 0;
};

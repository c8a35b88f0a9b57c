// One frame of the logical game pad: six buttons held, and the same six
// went-down-this-frame. The field order is the order of a replay file record.
#pragma once

struct KeypadState {
    bool pressA = false;
    bool pressB = false;
    bool pressLeft = false;
    bool pressUp = false;
    bool pressRight = false;
    bool pressDown = false;
    bool triggerA = false;
    bool triggerB = false;
    bool triggerLeft = false;
    bool triggerUp = false;
    bool triggerRight = false;
    bool triggerDown = false;
};

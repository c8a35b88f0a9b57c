// Questions the game asks about the input snapshot: held now (pressed) or
// went down this frame (pushed), for keys, mouse buttons and joysticks; and
// the file dropped on the window in the last frame.
#include "kiln2/kiln_state.h"

namespace {

// 80 % of full deflection; a stick resting at exactly this value is not a direction.
constexpr int kStickThreshold = 26214;

bool stickHolds(int dir, int16_t x, int16_t y) {
    switch (dir) {
        case JOY_UP: return y < -kStickThreshold;
        case JOY_DOWN: return y > kStickThreshold;
        case JOY_RIGHT: return x > kStickThreshold;
        case JOY_LEFT: return x < -kStickThreshold;
        default: return false;
    }
}

const Joystick* joystickWithDevice(int joy) {
    if (joy < 0 || joy > 3) return nullptr;
    const Joystick& stick = kilnState().joysticks[static_cast<size_t>(joy)];
    return stick.hasDevice ? &stick : nullptr;
}

bool keyInRange(int key) { return key >= 0 && key < KILN_KEY_COUNT; }

}  // namespace

bool Kiln_isKeyPressed(int key) { return keyInRange(key) && kilnState().keys[static_cast<size_t>(key)]; }

bool Kiln_isKeyPushed(int key) {
    if (!keyInRange(key)) return false;
    const KilnState& state = kilnState();
    return state.keys[static_cast<size_t>(key)] && !state.prevKeys[static_cast<size_t>(key)];
}

int Kiln_getMouseX() { return kilnBackend().input->mouseX(); }

int Kiln_getMouseY() { return kilnBackend().input->mouseY(); }

uint8_t Kiln_getMouseButtons() { return kilnState().mouseButtons; }

uint8_t Kiln_getMouseButtonsPushed() {
    const KilnState& state = kilnState();
    return static_cast<uint8_t>((state.mouseButtons & state.prevMouseButtons) ^ state.mouseButtons);
}

bool Kiln_isJoyDirPressed(int dir, int joy) {
    const Joystick* stick = joystickWithDevice(joy);
    if (!stick || dir < 0 || dir > 4) return false;
    return stickHolds(dir, stick->axisX, stick->axisY);
}

bool Kiln_isJoyDirPushed(int dir, int joy) {
    const Joystick* stick = joystickWithDevice(joy);
    if (!stick || dir < 0 || dir > 4) return false;
    return stickHolds(dir, stick->axisX, stick->axisY) && !stickHolds(dir, stick->prevAxisX, stick->prevAxisY);
}

bool Kiln_isJoyButtonPressed(int button, int joy) {
    const Joystick* stick = joystickWithDevice(joy);
    if (!stick || button < 0 || button >= stick->buttonCount) return false;
    return stick->buttons[static_cast<size_t>(button)];
}

bool Kiln_isJoyButtonPushed(int button, int joy) {
    const Joystick* stick = joystickWithDevice(joy);
    if (!stick || button < 0 || button >= stick->buttonCount) return false;
    return stick->buttons[static_cast<size_t>(button)] && !stick->prevButtons[static_cast<size_t>(button)];
}

std::string Kiln_takeDroppedFile() {
    std::string file = std::move(kilnState().droppedFile);
    kilnState().droppedFile.clear();
    return file;
}

// Questions the game asks about the input snapshot: held now (pressed) or
// went down this frame (pushed), for keys, mouse buttons, joysticks and
// controllers; and the file dropped on the window in the last frame.
#include <cstdint>

#include "kiln2/kiln_state.h"
#include "kiln2/picture_fit.h"

namespace {

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

namespace {

struct PicturePoint {
    int x = -1, y = -1;
};

// The pointer's window position taken through the window's scale (drawable
// pixels per window unit, 2 on many high-DPI displays) into the picture. On
// the black bars it lies outside the picture, so no widget is under it.
PicturePoint mouseInPicture() {
    KilnBackend& backend = kilnBackend();
    const KilnWindowGeometry window = backend.video->geometry();
    if (window.windowWidth <= 0 || window.windowHeight <= 0) return {};
    const int64_t drawableX = static_cast<int64_t>(backend.input->mouseX()) * window.drawableWidth / window.windowWidth;
    const int64_t drawableY =
        static_cast<int64_t>(backend.input->mouseY()) * window.drawableHeight / window.windowHeight;
    const KilnPictureRect picture =
        kilnFitPicture(window.drawableWidth, window.drawableHeight, kilnState().pictureScaling);
    PicturePoint point;
    kilnPicturePoint(picture, static_cast<int>(drawableX), static_cast<int>(drawableY), point.x, point.y);
    return point;
}

}  // namespace

int Kiln_getMouseX() { return mouseInPicture().x; }

int Kiln_getMouseY() { return mouseInPicture().y; }

uint8_t Kiln_getMouseButtons() { return kilnState().mouseButtons; }

uint8_t Kiln_getMouseButtonsPushed() {
    const KilnState& state = kilnState();
    return static_cast<uint8_t>((state.mouseButtons & state.prevMouseButtons) ^ state.mouseButtons);
}

bool Kiln_isJoyDirPressed(int dir, int joy) {
    const Joystick* stick = joystickWithDevice(joy);
    if (!stick || dir < 0 || dir > 4) return false;
    return kilnStickHolds(dir, stick->axisX, stick->axisY);
}

bool Kiln_isJoyDirPushed(int dir, int joy) {
    const Joystick* stick = joystickWithDevice(joy);
    if (!stick || dir < 0 || dir > 4) return false;
    return kilnStickHolds(dir, stick->axisX, stick->axisY) && !kilnStickHolds(dir, stick->prevAxisX, stick->prevAxisY);
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

bool Kiln_isPadPressed(int button) {
    if (button < 0 || button >= PAD_BUTTON_COUNT) return false;
    return (kilnState().padHeld >> button) & 1u;
}

bool Kiln_isPadPushed(int button) {
    if (button < 0 || button >= PAD_BUTTON_COUNT) return false;
    return (kilnState().padPushed >> button) & 1u;
}

int Kiln_getControllerCount() { return static_cast<int>(kilnState().controllers.size()); }

bool Kiln_wasControllerLost() { return kilnState().controllerLost; }

bool Kiln_wasFocusLost() { return kilnState().focusLost; }

void Kiln_setControllerFaceA(KilnFaceButton face) { kilnState().faceA = face; }

KilnFaceButton Kiln_getControllerFaceA() { return kilnState().faceA; }

void Kiln_setControllerMappingFile(const std::string& path) { kilnState().controllerMappingFile = path; }
std::string Kiln_takeDroppedFile() {
    std::string file = std::move(kilnState().droppedFile);
    kilnState().droppedFile.clear();
    return file;
}

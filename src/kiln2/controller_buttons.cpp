// Which button or direction of a device is which logical button: the one
// place that knows, so that choosing the face button for A is one setting.
#include "kiln2/backend.h"
#include "kiln2/controllers.h"
#include "kiln2/joystick.h"

namespace {

constexpr KilnPadBits bit(KilnPadButton button) { return static_cast<KilnPadBits>(1u << button); }

KilnPadBits directions(bool up, bool down, bool left, bool right) {
    KilnPadBits bits = 0;
    if (up) bits |= bit(PAD_UP);
    if (down) bits |= bit(PAD_DOWN);
    if (left) bits |= bit(PAD_LEFT);
    if (right) bits |= bit(PAD_RIGHT);
    return bits;
}

// Held now, or pressed and let go since the last frame: a tap counts once.
bool holds(KilnJoystickDevices& devices, int id, KilnControllerInput input) {
    return devices.controllerInput(id, input) || devices.controllerInputWentDown(id, input);
}

bool holdsButton(KilnJoystickDevices& devices, int id, int button) {
    return devices.button(id, button) || devices.buttonWentDown(id, button);
}

KilnPadBits mappedButtons(KilnJoystickDevices& devices, int id, KilnFaceButton faceA) {
    const bool south = holds(devices, id, CONTROLLER_SOUTH);
    const bool east = holds(devices, id, CONTROLLER_EAST);
    const bool a = faceA == FACE_EAST ? east : south;
    const bool b = faceA == FACE_EAST ? south : east;
    const int16_t x = devices.controllerStick(id, 0);
    const int16_t y = devices.controllerStick(id, 1);
    // The D-pad and the left stick both steer.
    KilnPadBits bits = directions(holds(devices, id, CONTROLLER_DPAD_UP) || kilnStickHolds(JOY_UP, x, y),
                                  holds(devices, id, CONTROLLER_DPAD_DOWN) || kilnStickHolds(JOY_DOWN, x, y),
                                  holds(devices, id, CONTROLLER_DPAD_LEFT) || kilnStickHolds(JOY_LEFT, x, y),
                                  holds(devices, id, CONTROLLER_DPAD_RIGHT) || kilnStickHolds(JOY_RIGHT, x, y));
    if (a) bits |= bit(PAD_A);
    if (b) bits |= bit(PAD_B);
    if (holds(devices, id, CONTROLLER_START)) bits |= bit(PAD_PAUSE);
    if (holds(devices, id, CONTROLLER_BACK)) bits |= bit(PAD_BACK);
    if (holds(devices, id, CONTROLLER_LEFT_SHOULDER)) bits |= bit(PAD_JUMP_BACK);
    if (holds(devices, id, CONTROLLER_RIGHT_SHOULDER)) bits |= bit(PAD_JUMP_FORWARD);
    if (holds(devices, id, CONTROLLER_NORTH)) bits |= bit(PAD_WORLD);
    return bits;
}

// A device without a known layout plays as joysticks always have.
KilnPadBits rawButtons(KilnJoystickDevices& devices, int id) {
    const int16_t x = devices.axis(id, 0);
    const int16_t y = devices.axis(id, 1);
    KilnPadBits bits = directions(kilnStickHolds(JOY_UP, x, y), kilnStickHolds(JOY_DOWN, x, y),
                                  kilnStickHolds(JOY_LEFT, x, y), kilnStickHolds(JOY_RIGHT, x, y));
    if (holdsButton(devices, id, 0)) bits |= bit(PAD_A);
    if (holdsButton(devices, id, 1)) bits |= bit(PAD_B);
    return bits;
}

}  // namespace

KilnPadBits kilnControllerButtons(KilnJoystickDevices& devices, const KilnController& controller,
                                  KilnFaceButton faceA) {
    return controller.mapped ? mappedButtons(devices, controller.id, faceA) : rawButtons(devices, controller.id);
}

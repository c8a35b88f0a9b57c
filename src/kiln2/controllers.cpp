// Connecting and disconnecting joysticks and controllers, the joystick slots
// they fill, and reading them all once per frame into the logical buttons.
#include "kiln2/controllers.h"

#include <algorithm>
#include <exception>

#include "kiln2/kiln_state.h"

namespace {

constexpr int kSlotCount = 4;

int freeSlot(const KilnState& state) {
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (!state.joysticks[static_cast<size_t>(slot)].hasDevice) return slot;
    }
    return -1;
}

bool isConnected(const KilnState& state, int id) {
    return std::any_of(state.controllers.begin(), state.controllers.end(),
                       [id](const KilnController& c) { return c.id == id; });
}

void fillSlot(Joystick& stick, const KilnDeviceInfo& info) {
    stick = Joystick{};
    stick.hasDevice = true;
    stick.deviceId = info.id;
    stick.buttonCount = info.buttonCount < 0 ? 0 : info.buttonCount;
    stick.buttons.assign(static_cast<size_t>(stick.buttonCount), false);
    stick.prevButtons.assign(static_cast<size_t>(stick.buttonCount), false);
}

// Opens device index into slot (or no slot). A device that cannot be opened
// is left out with one log line: the keyboard and the other devices still play.
void connect(KilnState& state, KilnJoystickDevices& devices, int index, int slot) {
    KilnDeviceInfo info;
    try {
        info = devices.open(index);
    } catch (const std::exception& e) {
        Kiln_log("Controller %d could not be opened: %s\n", index, e.what());
        return;
    }
    KilnController controller;
    controller.id = info.id;
    controller.name = info.name.empty() ? "unnamed device" : info.name;
    controller.mapped = info.mapped;
    controller.slot = slot;
    if (slot >= 0) fillSlot(state.joysticks[static_cast<size_t>(slot)], info);
    state.controllers.push_back(controller);
    if (info.mapped) {
        Kiln_log("Controller connected: %s\n", controller.name.c_str());
    } else {
        Kiln_log("Controller connected: %s (no mapping known: button 0 is A, button 1 is B, the first stick moves)\n",
                 controller.name.c_str());
    }
}

}  // namespace

void kilnConnectPresentControllers(KilnState& state, KilnJoystickDevices& devices) {
    for (Joystick& stick : state.joysticks) stick = Joystick{};
    const int present = devices.deviceCount();
    for (int index = 0; index < present; ++index) connect(state, devices, index, index < kSlotCount ? index : -1);
    state.joysticksCreated = true;
}

void kilnConnectController(KilnState& state, KilnJoystickDevices& devices, int index) {
    // Devices present at start-up are announced again by the first events.
    const int id = devices.deviceId(index);
    if (id >= 0 && isConnected(state, id)) return;
    connect(state, devices, index, freeSlot(state));
}

bool kilnDisconnectController(KilnState& state, KilnJoystickDevices& devices, int id) {
    auto found = std::find_if(state.controllers.begin(), state.controllers.end(),
                              [id](const KilnController& c) { return c.id == id; });
    if (found == state.controllers.end()) return false;
    if (found->slot >= 0) state.joysticks[static_cast<size_t>(found->slot)] = Joystick{};
    devices.close(id);
    Kiln_log("Controller disconnected: %s\n", found->name.c_str());
    state.controllers.erase(found);
    return true;
}

void kilnDisconnectAllControllers(KilnState& state, KilnJoystickDevices& devices) {
    for (const KilnController& controller : state.controllers) devices.close(controller.id);
    state.controllers.clear();
    for (Joystick& stick : state.joysticks) stick = Joystick{};
    state.padHeld = 0;
    state.padPushed = 0;
}

void kilnReadControllers(KilnState& state, KilnJoystickDevices& devices) {
    for (Joystick& stick : state.joysticks) {
        for (int b = 0; b < stick.buttonCount; ++b) {
            stick.prevButtons[static_cast<size_t>(b)] = stick.buttons[static_cast<size_t>(b)];
            stick.buttons[static_cast<size_t>(b)] =
                devices.button(stick.deviceId, b) || devices.buttonWentDown(stick.deviceId, b);
        }
        stick.prevAxisX = stick.axisX;
        stick.prevAxisY = stick.axisY;
        stick.axisX = stick.hasDevice ? devices.axis(stick.deviceId, 0) : 0;
        stick.axisY = stick.hasDevice ? devices.axis(stick.deviceId, 1) : 0;
    }
    KilnPadBits held = 0;
    KilnPadBits pushed = 0;
    for (KilnController& controller : state.controllers) {
        controller.prevHeld = controller.held;
        controller.held = kilnControllerButtons(devices, controller, state.faceA);
        held |= controller.held;
        // Each device has its own edge, as each key has.
        pushed |= static_cast<KilnPadBits>(controller.held & ~controller.prevHeld);
    }
    state.padHeld = held;
    state.padPushed = pushed;
}

// The test-facing side of the headless backend: set devices, move the clock,
// read what was drawn and heard, and start over.
#include "kiln2/headless.h"

#include "kiln2/backend_headless.h"
#include "kiln2/kiln_state.h"

namespace {

KilnHeadlessWorld& world() {
    KilnBackend* backend = kilnInstalledBackend();
    KilnHeadlessWorld* headless = backend ? backend->headless.get() : nullptr;
    if (!headless) throw KilnError("kiln_headless: the headless backend is not in use");
    return *headless;
}

KilnHeadlessWorld::Device& deviceWithId(int id) {
    KilnHeadlessWorld::Device* device = world().device(id);
    if (!device) throw KilnError("kiln_headless: no device with id " + std::to_string(id));
    return *device;
}

KilnHeadlessWorld::Device& addDevice(const std::string& name, bool mapped, int buttonCount) {
    KilnHeadlessWorld& w = world();
    KilnHeadlessWorld::Device device;
    device.id = static_cast<int>(w.devices.size());
    device.name = name;
    device.mapped = mapped;
    device.buttonCount = buttonCount < 0 ? 0 : buttonCount;
    device.buttons.assign(static_cast<size_t>(device.buttonCount), false);
    w.devices.push_back(device);
    if (w.devicesStarted) w.announcedAdded.push_back(device.id);
    return w.devices.back();
}

}  // namespace

namespace kiln_headless {

const std::vector<KilnDrawCall>& drawCalls() { return world().drawCalls; }

void clearDrawCalls() { world().drawCalls.clear(); }

const std::vector<KilnSoundEvent>& soundEvents() { return world().soundEvents; }

void clearSoundEvents() { world().soundEvents.clear(); }

void setKey(int key, bool down) {
    if (key < 0 || key >= KILN_KEY_COUNT) throw KilnError("kiln_headless: key out of range: " + std::to_string(key));
    KilnHeadlessWorld& w = world();
    const auto k = static_cast<size_t>(key);
    if (down && !w.keys[k]) w.keyPresses[k] = true;
    w.keys[k] = down;
}

void releaseAllKeys() { world().keys.fill(false); }

void setMouse(int x, int y, uint8_t buttons) {
    KilnHeadlessWorld& w = world();
    w.mouseX = x;
    w.mouseY = y;
    w.mouseButtonPresses |= static_cast<uint8_t>(buttons & ~w.mouseButtons);
    w.mouseButtons = buttons;
}

void attachJoystick(int slot, int buttonCount) {
    if (slot < 0) throw KilnError("kiln_headless: joystick slot out of range: " + std::to_string(slot));
    KilnHeadlessWorld& w = world();
    while (static_cast<int>(w.devices.size()) <= slot) addDevice("Joystick", false, 0);
    KilnHeadlessWorld::Device& device = deviceWithId(slot);
    device.buttonCount = buttonCount < 0 ? 0 : buttonCount;
    device.buttons.assign(static_cast<size_t>(device.buttonCount), false);
}

// A button or stick of a device that was never plugged in goes nowhere, as on a real machine.
void setJoyButton(int id, int button, bool down) {
    KilnHeadlessWorld::Device* device = world().device(id);
    if (!device || button < 0 || button >= static_cast<int>(device->buttons.size())) return;
    const auto b = static_cast<size_t>(button);
    if (down && !device->buttons[b]) {
        device->buttonPresses.resize(device->buttons.size(), false);
        device->buttonPresses[b] = true;
    }
    device->buttons[b] = down;
}

void setJoyAxes(int id, int16_t x, int16_t y) {
    KilnHeadlessWorld::Device* device = world().device(id);
    if (!device) return;
    device->x = x;
    device->y = y;
}

int connectController(const std::string& name, bool mapped, int buttonCount) {
    return addDevice(name, mapped, buttonCount).id;
}

void disconnectController(int id) {
    KilnHeadlessWorld::Device& device = deviceWithId(id);
    if (!device.present) return;
    device.present = false;
    KilnHeadlessWorld& w = world();
    if (w.devicesStarted) w.announcedRemoved.push_back(id);
}

void setControllerInput(int id, KilnControllerInput input, bool down) {
    if (input < 0 || input >= CONTROLLER_INPUT_COUNT) return;
    KilnHeadlessWorld::Device& device = deviceWithId(id);
    const auto i = static_cast<size_t>(input);
    if (down && !device.inputs[i]) device.inputPresses[i] = true;
    device.inputs[i] = down;
}

void setControllerStick(int id, int16_t x, int16_t y) {
    KilnHeadlessWorld::Device& device = deviceWithId(id);
    device.stickX = x;
    device.stickY = y;
}

bool isControllerOpen(int id) { return deviceWithId(id).opened; }

const std::vector<std::string>& controllerMappings() { return world().mappings; }

void refuseControllerMappings(const std::string& reason) { world().mappingRefusal = reason; }

void setEnvironmentMappings(const std::string& text) { world().environmentMappings = text; }

void loseFocus() { world().focusLostPending = true; }

void setWindowGeometry(int windowWidth, int windowHeight, int drawableWidth, int drawableHeight) {
    world().window = {windowWidth, windowHeight, drawableWidth, drawableHeight};
}

KilnPictureScaling pictureScaling() { return world().pictureScaling; }

void requestQuit() { world().quitPending = true; }

void dropFile(const std::string& path) { world().droppedFile = path; }

uint32_t ticks() { return world().ticks; }

void setTicks(uint32_t ms) { world().ticks = ms; }

void advanceTicks(uint32_t ms) { world().ticks += ms; }

void reset() {
    const KilnBackend* backend = kilnInstalledBackend();
    const KilnHeadlessWorld* current = backend ? backend->headless.get() : nullptr;
    const KilnHeadlessOptions options = current ? current->options : KilnHeadlessOptions{};
    kilnResetState();
    Kiln_useHeadlessBackend(options);
}

}  // namespace kiln_headless

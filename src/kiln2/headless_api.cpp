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

KilnHeadlessWorld::Stick& stickAt(int slot) {
    if (slot < 0 || slot > 3) throw KilnError("kiln_headless: joystick slot out of range: " + std::to_string(slot));
    return world().sticks[static_cast<size_t>(slot)];
}

}  // namespace

namespace kiln_headless {

const std::vector<KilnDrawCall>& drawCalls() { return world().drawCalls; }

void clearDrawCalls() { world().drawCalls.clear(); }

const std::vector<KilnSoundEvent>& soundEvents() { return world().soundEvents; }

void clearSoundEvents() { world().soundEvents.clear(); }

void setKey(int key, bool down) {
    if (key < 0 || key >= KILN_KEY_COUNT) throw KilnError("kiln_headless: key out of range: " + std::to_string(key));
    world().keys[static_cast<size_t>(key)] = down;
}

void releaseAllKeys() { world().keys.fill(false); }

void setMouse(int x, int y, uint8_t buttons) {
    KilnHeadlessWorld& w = world();
    w.mouseX = x;
    w.mouseY = y;
    w.mouseButtons = buttons;
}

void attachJoystick(int slot, int buttonCount) {
    KilnHeadlessWorld::Stick& stick = stickAt(slot);
    stick.attached = true;
    stick.buttonCount = buttonCount;
    stick.buttons.assign(static_cast<size_t>(buttonCount < 0 ? 0 : buttonCount), false);
}

void setJoyButton(int slot, int button, bool down) {
    KilnHeadlessWorld::Stick& stick = stickAt(slot);
    if (button < 0 || button >= static_cast<int>(stick.buttons.size())) return;
    stick.buttons[static_cast<size_t>(button)] = down;
}

void setJoyAxes(int slot, int16_t x, int16_t y) {
    KilnHeadlessWorld::Stick& stick = stickAt(slot);
    stick.x = x;
    stick.y = y;
}

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

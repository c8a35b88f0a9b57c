// The once-per-frame call: wait for the frame's slot, take the input
// snapshot (translated through the key bindings), handle window events (focus,
// devices plugged in and out) and the system keys, count fps and load.
#include <array>
#include <cstdio>
#include <cstdlib>

#include "kiln2/kiln_state.h"

namespace {

// Frame lateness for the developer's soak runs: with KVR_FRAME_STATS=1 set,
// how late each frame reached its wait (past its 16 ms slot) is counted and
// summed, and one line goes to stderr when the program exits.
struct FrameLateness {
    bool enabled = false;
    long long frames = 0;
    long long totalLateMs = 0;
    long long framesLateOver2Ms = 0;
    long long worstLateMs = 0;
};

FrameLateness& frameLateness() {
    static FrameLateness lateness = [] {
        FrameLateness made;
        const char* flag = std::getenv("KVR_FRAME_STATS");
        made.enabled = flag != nullptr && flag[0] == '1';
        if (made.enabled) {
            std::atexit([] {
                const FrameLateness& l = frameLateness();
                const double mean = l.frames ? static_cast<double>(l.totalLateMs) / static_cast<double>(l.frames) : 0.0;
                std::fprintf(stderr,
                             "frame-stats frames %lld late-ms-total %lld late-ms-mean %.3f late-over-2ms %lld "
                             "worst-ms %lld\n",
                             l.frames, l.totalLateMs, mean, l.framesLateOver2Ms, l.worstLateMs);
            });
        }
        return made;
    }();
    return lateness;
}

void countLateness(uint32_t lastTick, uint32_t now, int frameMs) {
    FrameLateness& lateness = frameLateness();
    if (!lateness.enabled || lastTick == 0) return;
    const auto late = static_cast<int32_t>(now - (lastTick + static_cast<uint32_t>(frameMs)));
    const long long lateMs = late > 0 ? late : 0;
    lateness.frames += 1;
    lateness.totalLateMs += lateMs;
    if (lateMs > 2) lateness.framesLateOver2Ms += 1;
    if (lateMs > lateness.worstLateMs) lateness.worstLateMs = lateMs;
}

// A remaining wait above this is a frame that is already late (the unsigned
// difference wrapped), so it does not wait at all.
constexpr uint32_t kLongestWaitMs = 9999;

// A key or button that went down and up again since the last snapshot (a
// tap shorter than a frame, or any press while the game stalled) reads as
// held in this one snapshot, so it is pushed once and released in the next.
void snapshotInput(KilnState& state, KilnBackend& backend) {
    KilnInput& input = *backend.input;
    state.prevMouseButtons = state.mouseButtons;
    state.mouseButtons = static_cast<uint8_t>(input.mouseButtons() | input.takeMouseButtonPresses());

    state.prevKeys = state.keys;
    state.prevPhysicalKeys = state.physicalKeys;
    input.readKeys(state.physicalKeys);
    std::array<bool, KILN_KEY_COUNT> pressed{};
    input.takeKeyPresses(pressed);
    for (size_t key = 0; key < pressed.size(); ++key) state.physicalKeys[key] = state.physicalKeys[key] || pressed[key];
    kilnTranslateKeys(state);

    KilnJoystickDevices& devices = *backend.joysticks;
    if (state.joysticksCreated) devices.update();
    kilnReadControllers(state, devices);
}

// Devices that came and went, and the window's focus: what the game may have
// to answer in this frame (a live run pauses), remembered until the next one.
void handleWindowEvents(KilnState& state, KilnBackend& backend, const KilnWindowEvents& events) {
    if (events.quit) state.quitRequested = true;
    state.focusLost = events.focusLost;
    state.controllerLost = false;
    if (!state.joysticksCreated) return;
    for (int id : events.devicesRemoved) {
        if (kilnDisconnectController(state, *backend.joysticks, id)) state.controllerLost = true;
    }
    for (int index : events.devicesAdded) kilnConnectController(state, *backend.joysticks, index);
}

void toggleMute(KilnState& state) {
    Kiln_setMuted(!state.muted);
    if (state.muteToggled) state.muteToggled(state.muted);
}

void handleSystemKeys(KilnState& state, KilnBackend& backend) {
    if (Kiln_isKeyPushed(KEY_F4)) Kiln_reloadTextures();
    if (Kiln_isKeyPushed(KEY_F5)) backend.video->iconify();
    if (Kiln_isKeyPushed(KEY_F9)) Kiln_toggleFullScreen();
    if (Kiln_isKeyPushed(KEY_F10)) Kiln_toggleCursor();
    if (Kiln_isKeyPushed(KEY_F12)) Kiln_screenshot();
    if (Kiln_isKeyPushed(KEY_m) && !state.typingKeptForScene) toggleMute(state);
}

}  // namespace

int Kiln_waitFrame(int frameMs) {
    KilnState& state = kilnState();
    KilnBackend& backend = kilnBackend();
    KilnInput& input = *backend.input;

    state.busyMs += static_cast<int32_t>(input.ticks() - state.lastTick);
    if (state.lastTick == 0) state.lastTick = input.ticks();

    uint32_t now = input.ticks();
    countLateness(state.lastTick, now, frameMs);
    for (;;) {
        const uint32_t remaining = state.lastTick + static_cast<uint32_t>(frameMs) - now;
        if (remaining < 1 || remaining > kLongestWaitMs) break;
        input.delayOneMs();
        now = input.ticks();
    }
    const auto elapsed = static_cast<int>(now - state.lastTick);
    state.lastTick = now;

    // The snapshot comes before the events are pumped, so keys and mouse
    // buttons are as of the previous frame's poll: one frame of latency.
    snapshotInput(state, backend);
    KilnWindowEvents events;
    input.pollEvents(events);
    handleWindowEvents(state, backend, events);
    // A drop is offered for this frame only: a file dropped while no one asks is forgotten.
    state.droppedFile = std::move(events.droppedFile);

    handleSystemKeys(state, backend);
    if (Kiln_isKeyPressed(KEY_ESCAPE) && !state.escapeKeptForScene) state.quitRequested = true;
    if (state.quitRequested) throw KilnQuit();

    state.frameCounter += 1;
    if (static_cast<uint32_t>(state.secondTick) / 1000 != now / 1000) {
        state.fps = state.frameCounter;
        state.cpuPercent = state.busyMs * 100 / (frameMs * state.frameCounter);
        state.busyMs = 0;
        state.frameCounter = 0;
        state.secondTick = static_cast<int32_t>(now);
    }
    return elapsed;
}

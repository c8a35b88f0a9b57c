// Start-up and shut-down of the framework, the window (full screen, cursor,
// caption) and the per-frame buffer calls.
#include <cstdarg>
#include <cstdio>
#include <string>

#include "kiln2/kiln_state.h"
#include "kiln2/run_log.h"

namespace {

void openJoysticks(KilnState& state, KilnJoystickDevices& devices) {
    const int present = devices.deviceCount();
    for (int slot = 0; slot < 4; ++slot) {
        Joystick& stick = state.joysticks[static_cast<size_t>(slot)];
        stick = Joystick{};
        if (slot < present) {
            stick.buttonCount = devices.open(slot);
            stick.hasDevice = true;
            stick.buttons.assign(static_cast<size_t>(stick.buttonCount), false);
            stick.prevButtons.assign(static_cast<size_t>(stick.buttonCount), false);
        }
    }
    state.joysticksCreated = true;
}

}  // namespace

void Kiln_init(const std::string& caption, int width, int height, bool fullScreen, bool showCursor) {
    KilnState& state = kilnState();
    if (state.initialized) return;
    KilnBackend& backend = kilnBackend();
    state.screenWidth = width;
    state.screenHeight = height;
    state.fullScreen = fullScreen;

    backend.video->open(width, height, fullScreen);
    backend.joysticks->start();
    if (fullScreen && !showCursor) Kiln_toggleCursor();
    backend.video->setupView(width, height);
    Kiln_setCaption("%s", caption.c_str());
    backend.video->setIcon(Kiln_resourcePath("resource/ico.bmp"));

    // A machine without sound still plays the game; the log says why it is quiet.
    std::string audioError;
    state.audioOpen = backend.audio->open(audioError);

    openJoysticks(state, *backend.joysticks);
    Kiln_loadFont();
    backend.video->initDrawState();

    state.initialized = true;
    state.globalInts.fill(0);
    kilnDeleteRunLog();
    if (!state.audioOpen) Kiln_log("Kiln_init: no audio device (%s), running silently\n", audioError.c_str());
}

void Kiln_quit() {
    // Nothing was ever started without a backend, so nothing needs releasing.
    if (!kilnInstalledBackend()) return;
    KilnState& state = kilnState();
    KilnBackend& backend = kilnBackend();
    state.font.reset();
    Kiln_disposeTexture("");
    if (state.joysticksCreated) {
        for (int slot = 0; slot < 4; ++slot) {
            if (state.joysticks[static_cast<size_t>(slot)].hasDevice) backend.joysticks->close(slot);
        }
    }
    Kiln_stopWAV(-1);
    if (state.musicLoaded) {
        backend.audio->freeMusic(state.music);
        state.music = nullptr;
        state.musicLoaded = false;
    }
    Kiln_disposeWAV("");
    backend.audio->close();
    backend.joysticks->stop();
    backend.video->close();
}

void Kiln_toggleFullScreen() {
    KilnState& state = kilnState();
    KilnVideo& video = *kilnBackend().video;
    state.fullScreen = !state.fullScreen;
    video.setFullScreen(state.fullScreen);
    video.setupView(state.screenWidth, state.screenHeight);
    // A new video mode used to mean a new GL context; the textures are
    // rebuilt from their files either way.
    Kiln_reloadTextures();
    Kiln_setBlendMode(state.blendMode);
}

void Kiln_toggleCursor() {
    KilnVideo& video = *kilnBackend().video;
    video.showCursor(!video.isCursorShown());
}

void Kiln_setCaption(const char* format, ...) {
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    kilnBackend().video->setCaption(text);
}

void Kiln_clear() {
    if (kilnDrawingDiscarded) return;
    kilnBackend().video->clear();
}

void Kiln_flip() { kilnBackend().video->swap(); }

void Kiln_resetView() {
    if (kilnDrawingDiscarded) return;
    kilnBackend().video->resetView();
}

int Kiln_getScreenWidth() { return kilnState().screenWidth; }

int Kiln_getScreenHeight() { return kilnState().screenHeight; }

// Start-up and shut-down of the framework, the window (full screen, cursor,
// caption, the picture's scaling) and the per-frame buffer calls.
#include <cstdarg>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "kiln2/file_bytes.h"
#include "kiln2/kiln_state.h"
#include "kiln2/run_log.h"

namespace {

// A player's mapping file is a few hundred kilobytes; one far larger is not one.
constexpr size_t kLargestMappingFile = 4 * 1024 * 1024;

// The player's extra mappings: first the environment's, then the file's, so
// the file has the last word on a controller both name.
void addControllerMappings(const KilnState& state, KilnJoystickDevices& devices) {
    const std::string fromEnvironment = devices.environmentMappings();
    if (!fromEnvironment.empty()) kilnAddControllerMappings(devices, fromEnvironment, "SDL_GAMECONTROLLERCONFIG");
    const std::string& file = state.controllerMappingFile;
    if (file.empty() || !std::filesystem::is_regular_file(file)) return;
    std::vector<uint8_t> bytes;
    std::string error;
    std::error_code sizeError;
    if (std::filesystem::file_size(file, sizeError) > kLargestMappingFile) {
        Kiln_log("Controller mappings: %s is too large to be a mapping file; not read\n", file.c_str());
        return;
    }
    if (!kilnReadFileBytes(file, bytes, error)) {
        Kiln_log("Controller mappings: %s could not be read (%s)\n", file.c_str(), error.c_str());
        return;
    }
    kilnAddControllerMappings(devices, std::string(bytes.begin(), bytes.end()), file);
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

    backend.video->setPictureScaling(state.pictureScaling);
    Kiln_loadFont();
    backend.video->initDrawState();

    state.initialized = true;
    state.globalInts.fill(0);
    // The mixer starts at full loudness: only levels chosen before start-up need handing over.
    if (state.muted || state.musicVolume != KILN_VOLUME_MAX || state.effectsVolume != KILN_VOLUME_MAX) {
        kilnApplyVolumes(state);
    }
    kilnDeleteRunLog();
    if (!state.audioOpen) Kiln_log("Kiln_init: no audio device (%s), running silently\n", audioError.c_str());
    // After the run log starts afresh, so that what the devices say stays in it.
    addControllerMappings(state, *backend.joysticks);
    kilnConnectPresentControllers(state, *backend.joysticks);
}

void Kiln_quit() {
    // Nothing was ever started without a backend, so nothing needs releasing.
    if (!kilnInstalledBackend()) return;
    KilnState& state = kilnState();
    KilnBackend& backend = kilnBackend();
    state.font.reset();
    Kiln_disposeTexture("");
    if (state.joysticksCreated) kilnDisconnectAllControllers(state, *backend.joysticks);
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
    // Full screen on the desktop keeps the window and its GL context, so the
    // textures stay as they are; the blend state is set again all the same.
    Kiln_setBlendMode(state.blendMode);
}

bool Kiln_isFullScreen() { return kilnState().fullScreen; }

void Kiln_setPictureScaling(KilnPictureScaling scaling) {
    KilnState& state = kilnState();
    state.pictureScaling = scaling == PICTURE_INTEGER ? PICTURE_INTEGER : PICTURE_SMOOTH;
    if (state.initialized) kilnBackend().video->setPictureScaling(state.pictureScaling);
}

KilnPictureScaling Kiln_getPictureScaling() { return kilnState().pictureScaling; }

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
    kilnState().drawnCells.clear();
    kilnBackend().video->clear();
}

void Kiln_flip() { kilnBackend().video->swap(kilnState().drawnCells); }

void Kiln_resetView() {
    if (kilnDrawingDiscarded) return;
    kilnBackend().video->resetView();
}

int Kiln_getScreenWidth() { return kilnState().screenWidth; }

int Kiln_getScreenHeight() { return kilnState().screenHeight; }

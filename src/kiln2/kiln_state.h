// The framework's one process-wide state: everything the Kiln_ functions
// remember between calls. Only src/kiln2 sees it.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "kiln2/backend.h"
#include "kiln2/controllers.h"
#include "kiln2/joystick.h"
#include "kiln2/kiln2.h"
#include "kiln2/picture_cells.h"
#include "kiln2/texture.h"

// The arrows, Z and X, in KilnPadButton order.
constexpr std::array<int, KILN_BINDABLE_BUTTONS> kilnDefaultKeyBindings() {
    return {KEY_z, KEY_x, KEY_LEFT, KEY_UP, KEY_RIGHT, KEY_DOWN};
}

struct KilnState {
    bool initialized = false;
    bool quitRequested = false;
    int32_t screenWidth = 0;
    int32_t screenHeight = 0;
    bool fullScreen = false;

    // Frame pacing and the load counters.
    uint32_t lastTick = 0;
    int32_t busyMs = 0;
    int32_t frameCounter = 0;
    int32_t fps = 0;
    int32_t cpuPercent = 0;
    int32_t secondTick = 0;

    int32_t blendMode = 0;
    int32_t drawOffsetX = 0;
    int32_t drawOffsetY = 0;
    // Where the picture was drawn on since it was last cleared.
    KilnPictureCells drawnCells;

    // Input snapshot of this frame and the one before.
    std::array<bool, KILN_KEY_COUNT> keys{};
    std::array<bool, KILN_KEY_COUNT> prevKeys{};
    // The keys as the keyboard had them, before the bindings translated them.
    std::array<bool, KILN_KEY_COUNT> physicalKeys{};
    std::array<bool, KILN_KEY_COUNT> prevPhysicalKeys{};
    // The key bound to each bindable button, by KilnPadButton.
    std::array<int, KILN_BINDABLE_BUTTONS> keyBindings = kilnDefaultKeyBindings();
    bool escapeKeptForScene = false;
    bool typingKeptForScene = false;
    uint8_t mouseButtons = 0;
    uint8_t prevMouseButtons = 0;
    std::array<Joystick, 4> joysticks;
    bool joysticksCreated = false;
    // Every connected device, in the order they came, and what they hold together.
    std::vector<KilnController> controllers;
    KilnPadBits padHeld = 0;
    KilnPadBits padPushed = 0;
    KilnFaceButton faceA = FACE_SOUTH;
    std::string controllerMappingFile;
    // What this frame's window events said; cleared by the next frame.
    bool focusLost = false;
    bool controllerLost = false;
    KilnPictureScaling pictureScaling = PICTURE_SMOOTH;

    std::map<std::string, std::unique_ptr<Texture>> textures;
    std::unique_ptr<Texture> font;

    std::map<std::string, KilnSoundHandle> sounds;
    KilnMusicHandle music = nullptr;
    bool musicLoaded = false;
    bool audioOpen = false;
    int musicVolume = KILN_VOLUME_MAX;
    int effectsVolume = KILN_VOLUME_MAX;
    bool muted = false;
    void (*muteToggled)(bool muted) = nullptr;

    // A file dropped on the window in the last frame's events, until taken.
    std::string droppedFile;
    // Kiln_setResourceDir and Kiln_setScreenshotDir.
    std::string resourceDir;
    std::string screenshotDir = "screenshots";

    std::array<int32_t, KILN_GLOBAL_INT_COUNT> globalInts{};
    // The process's own generator, and the one a KilnRandomScope made
    // active (null: the process's own).
    KilnRandom random;
    KilnRandom* activeRandom = nullptr;
};

KilnState& kilnState();

// Hands the volumes and the mute to the mixer; nothing before the audio opens.
void kilnApplyVolumes(KilnState& state);
// Turns this frame's physical keys into the keys the game reads.
void kilnTranslateKeys(KilnState& state);

// True while the installed backend throws drawing away. The replay verifier
// draws every frame only for the random draws a frame's drawing may make, so
// the drawing functions test this first and return, and a replay runs at
// simulation speed. Kept beside the state so the test is one load.
inline bool kilnDrawingDiscarded = false;
// True while a KilnQuietScope lives: sounds, music, the draw offset and the log are silent.
inline bool kilnQuiet = false;
// Forgets everything: the state is as before the first Kiln_init.
void kilnResetState();
// A start-up value for the random generator from a high-resolution clock.
void kilnSeedFromClock(KilnState& state);

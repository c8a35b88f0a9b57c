// Turning the settings into the framework's state.
#include "state/applied_options.h"

#include <array>

#include "kiln2/kiln2.h"

namespace {

// The framework's buttons in the order of the file's KEY_UP ... KEY_B.
constexpr std::array<int, BOUND_BUTTON_COUNT> kBoundPadButtons = {PAD_UP, PAD_DOWN, PAD_LEFT, PAD_RIGHT, PAD_A, PAD_B};

}  // namespace

int padButtonOf(int boundButton) {
    return boundButton >= 0 && boundButton < BOUND_BUTTON_COUNT ? kBoundPadButtons[static_cast<size_t>(boundButton)]
                                                                : -1;
}

void applyOptionsToFramework(const OptionsSettings& options) {
    Kiln_setMusicVolume(options.musicVolume);
    Kiln_setEffectsVolume(options.effectsVolume);
    Kiln_setMuted(options.muted);
    Kiln_setPictureScaling(options.picture == PictureSetting::Integer ? PICTURE_INTEGER : PICTURE_SMOOTH);
    Kiln_setControllerFaceA(options.controllerA == ControllerFaceSetting::East ? FACE_EAST : FACE_SOUTH);
    std::array<int, KILN_BINDABLE_BUTTONS> keys{};
    for (int button = 0; button < BOUND_BUTTON_COUNT; ++button) {
        keys[static_cast<size_t>(padButtonOf(button))] = Kiln_keyFromName(options.keys[static_cast<size_t>(button)]);
    }
    // The settings' own checks leave six different bindable keys; anything else keeps the defaults.
    if (Kiln_setKeyBindings(keys) != BIND_DONE) Kiln_resetKeyBindings();
}

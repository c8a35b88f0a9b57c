// How loud the music and the effects are, and the mute over both: the levels
// the player chose, turned into the mixer's scale and handed to the audio.
#include <algorithm>

#include "kiln2/kiln_state.h"

namespace {

int clampLevel(int level) { return std::clamp(level, 0, KILN_VOLUME_MAX); }

int mixerLevel(const KilnState& state, int level) {
    return state.muted ? 0 : level * KILN_MIXER_MAX / KILN_VOLUME_MAX;
}

}  // namespace

void kilnApplyVolumes(KilnState& state) {
    if (!state.initialized || !state.audioOpen) return;
    KilnAudio& audio = *kilnBackend().audio;
    audio.setMusicVolume(mixerLevel(state, state.musicVolume));
    audio.setEffectsVolume(mixerLevel(state, state.effectsVolume));
}

void Kiln_setMusicVolume(int level) {
    KilnState& state = kilnState();
    state.musicVolume = clampLevel(level);
    kilnApplyVolumes(state);
}

void Kiln_setEffectsVolume(int level) {
    KilnState& state = kilnState();
    state.effectsVolume = clampLevel(level);
    kilnApplyVolumes(state);
}

int Kiln_getMusicVolume() { return kilnState().musicVolume; }

int Kiln_getEffectsVolume() { return kilnState().effectsVolume; }

void Kiln_setMuted(bool muted) {
    KilnState& state = kilnState();
    state.muted = muted;
    kilnApplyVolumes(state);
}

bool Kiln_isMuted() { return kilnState().muted; }

void Kiln_setMuteToggledHandler(void (*handler)(bool muted)) { kilnState().muteToggled = handler; }

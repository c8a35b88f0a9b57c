// Sound effects by key and the one piece of music, as the scenes ask for them;
// nothing plays inside a quiet scope.
#include "kiln2/kiln_state.h"

void Kiln_loadWAV(const std::string& key, const std::string& file) {
    KilnState& state = kilnState();
    if (state.sounds.count(key)) Kiln_disposeWAV(key);
    KilnSoundHandle chunk = nullptr;
    std::string error;
    const std::string path = Kiln_resourcePath(file);
    if (!kilnBackend().audio->loadChunk(path, chunk, error)) {
        throw KilnError("Kiln_loadWAV: " + error + "(" + path + ")");
    }
    state.sounds[key] = chunk;
}

void Kiln_playWAV(const std::string& key, int loops, int channel) {
    if (kilnQuiet) return;
    KilnState& state = kilnState();
    auto found = state.sounds.find(key);
    if (found == state.sounds.end()) throw KilnError("Kiln_playWAV: Has not exist key: " + key);
    kilnBackend().audio->playChunk(found->first, found->second, loops, channel);
}

void Kiln_stopWAV(int channel) { kilnBackend().audio->haltChannel(channel); }

void Kiln_disposeWAV(const std::string& key) {
    KilnState& state = kilnState();
    KilnAudio& audio = *kilnBackend().audio;
    if (key.empty()) {
        for (auto& entry : state.sounds) audio.freeChunk(entry.second);
        state.sounds.clear();
        return;
    }
    auto found = state.sounds.find(key);
    if (found == state.sounds.end()) throw KilnError("Kiln_disposeWAV: Has not exist key: " + key);
    audio.freeChunk(found->second);
    state.sounds.erase(found);
}

void Kiln_playBgm(const std::string& file, int loops, int fadeInMs) {
    if (kilnQuiet) return;
    KilnState& state = kilnState();
    KilnAudio& audio = *kilnBackend().audio;
    if (state.musicLoaded) {
        audio.freeMusic(state.music);
        state.music = nullptr;
        state.musicLoaded = false;
    }
    std::string error;
    KilnMusicHandle music = nullptr;
    const std::string path = Kiln_resourcePath(file);
    // SDL's text alone ("Not an Ogg Vorbis audio stream") does not say which file; the log must.
    if (!audio.loadMusic(path, music, error)) throw KilnError("Kiln_playBgm: " + error + "(" + path + ")");
    state.music = music;
    state.musicLoaded = true;
    if (!audio.playMusic(path, music, loops, fadeInMs, error)) {
        throw KilnError("Kiln_playBgm: " + error + "(" + path + ")");
    }
}

void Kiln_stopBgm(int fadeOutMs) {
    KilnState& state = kilnState();
    if (!state.musicLoaded) return;
    KilnAudio& audio = *kilnBackend().audio;
    audio.stopMusic(fadeOutMs);
    if (fadeOutMs <= 0) {
        audio.freeMusic(state.music);
        state.music = nullptr;
        state.musicLoaded = false;
    }
}

// Real sound through SDL_mixer. Without a usable audio device it runs
// silently: files are still checked, so a missing sound is still an error,
// but nothing plays.
#include <SDL.h>
#include <SDL_mixer.h>

#include "kiln2/backend.h"
#include "kiln2_sdl/real_backend.h"

namespace {

class SdlAudio final : public KilnAudio {
public:
    ~SdlAudio() override { close(); }

    bool open(std::string& error) override {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) < 0) {
            error = SDL_GetError();
            return false;
        }
        if (Mix_OpenAudio(22050, AUDIO_S16LSB, 2, 1024) < 0) {
            error = Mix_GetError();
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            return false;
        }
        open_ = true;
        return true;
    }

    void close() override {
        if (!open_) return;
        Mix_CloseAudio();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        open_ = false;
    }

    bool loadChunk(const std::string& file, KilnSoundHandle& chunk, std::string& error) override {
        chunk = nullptr;
        if (!open_) return kilnCheckWavFile(file, error);
        Mix_Chunk* loaded = Mix_LoadWAV_RW(SDL_RWFromFile(file.c_str(), "rb"), 1);
        if (!loaded) {
            error = SDL_GetError();
            return false;
        }
        chunk = loaded;
        return true;
    }

    void freeChunk(KilnSoundHandle chunk) override {
        if (chunk) Mix_FreeChunk(static_cast<Mix_Chunk*>(chunk));
    }

    void playChunk(const std::string&, KilnSoundHandle chunk, int loops, int channel) override {
        // No free channel: the sound is simply not heard.
        if (open_ && chunk) Mix_PlayChannelTimed(channel, static_cast<Mix_Chunk*>(chunk), loops, -1);
    }

    void haltChannel(int channel) override {
        if (open_) Mix_HaltChannel(channel);
    }

    bool loadMusic(const std::string& file, KilnMusicHandle& music, std::string& error) override {
        music = nullptr;
        if (!open_) return kilnCheckFileOpens(file, error);
        Mix_Music* loaded = Mix_LoadMUS(file.c_str());
        if (!loaded) {
            error = SDL_GetError();
            return false;
        }
        music = loaded;
        return true;
    }

    void freeMusic(KilnMusicHandle music) override {
        if (!open_ || !music) return;
        Mix_HaltMusic();
        Mix_FreeMusic(static_cast<Mix_Music*>(music));
    }

    bool playMusic(const std::string&, KilnMusicHandle music, int loops, int fadeInMs, std::string& error) override {
        if (!open_ || !music) return true;
        auto* track = static_cast<Mix_Music*>(music);
        const int result = fadeInMs <= 0 ? Mix_PlayMusic(track, loops) : Mix_FadeInMusic(track, loops, fadeInMs);
        if (result != 0) {
            error = SDL_GetError();
            return false;
        }
        return true;
    }

    void stopMusic(int fadeOutMs) override {
        if (!open_) return;
        if (fadeOutMs <= 0) {
            Mix_HaltMusic();
        } else {
            Mix_FadeOutMusic(fadeOutMs);
        }
    }

    void setMusicVolume(int mixerLevel) override {
        if (open_) Mix_VolumeMusic(mixerLevel);
    }

    void setEffectsVolume(int mixerLevel) override {
        // -1: every channel, so each effect plays at the level wherever it lands.
        if (open_) Mix_Volume(-1, mixerLevel);
    }

private:
    bool open_ = false;
};

}  // namespace

std::unique_ptr<KilnAudio> kilnMakeSdlAudio() { return std::make_unique<SdlAudio>(); }

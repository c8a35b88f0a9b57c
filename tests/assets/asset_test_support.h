// Shared helpers for the asset tests: paths of the committed files, pixel
// reads from SDL surfaces, and an SDL_mixer device on the dummy driver.
#pragma once

#include <SDL.h>
#include <SDL_image.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace assettest {

inline std::string resourcePath(const std::string& relative) {
    return std::string(KVR_SOURCE_DIR) + "/resource/" + relative;
}

struct Pixel {
    int r = 0;
    int g = 0;
    int b = 0;
    bool operator==(const Pixel&) const = default;
};

inline constexpr Pixel kGreen{0, 255, 0};
inline constexpr Pixel kWhite{255, 255, 255};

struct SurfaceFree {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceFree>;

// Loads with SDL's own BMP reader, as the game does, and converts to RGB24
// so pixels can be read the same way whatever the file's layout.
inline SurfacePtr loadBmpRgb(const std::string& path) {
    SurfacePtr raw(SDL_LoadBMP(path.c_str()));
    if (!raw) {
        ADD_FAILURE() << "SDL_LoadBMP failed for " << path << ": " << SDL_GetError();
        return nullptr;
    }
    return SurfacePtr(SDL_ConvertSurfaceFormat(raw.get(), SDL_PIXELFORMAT_RGB24, 0));
}

// Loads any picture SDL_image reads (the desktop icons are PNG) as RGB24.
inline SurfacePtr loadPictureRgb(const std::string& path) {
    SurfacePtr raw(IMG_Load(path.c_str()));
    if (!raw) {
        ADD_FAILURE() << "IMG_Load failed for " << path << ": " << IMG_GetError();
        return nullptr;
    }
    return SurfacePtr(SDL_ConvertSurfaceFormat(raw.get(), SDL_PIXELFORMAT_RGB24, 0));
}

inline Pixel pixelAt(const SDL_Surface* s, int x, int y) {
    const auto* row = static_cast<const std::uint8_t*>(s->pixels) + static_cast<std::ptrdiff_t>(y) * s->pitch;
    const std::uint8_t* p = row + 3 * x;
    return Pixel{p[0], p[1], p[2]};
}

// Counts the pixels of a rectangle that are not the transparent green.
inline int opaqueCount(const SDL_Surface* s, int x, int y, int w, int h) {
    int count = 0;
    for (int j = y; j < y + h; ++j) {
        for (int i = x; i < x + w; ++i) {
            count += pixelAt(s, i, j) == kGreen ? 0 : 1;
        }
    }
    return count;
}

// One mixer device for the whole test program, opened the way the game opens it.
class MixerEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0) << SDL_GetError();
        Mix_Init(MIX_INIT_OGG);
        ASSERT_EQ(Mix_OpenAudio(22050, AUDIO_S16LSB, 2, 1024), 0) << Mix_GetError();
    }
    void TearDown() override {
        Mix_CloseAudio();
        Mix_Quit();
        SDL_Quit();
    }
};

// A decoded sound as the mixer holds it: interleaved stereo 16-bit at 22050 Hz.
struct DecodedSound {
    std::vector<std::int16_t> left;  // one channel is enough: our sounds are mono
    double seconds = 0.0;
};

inline DecodedSound decodeWithMixer(const std::string& path) {
    DecodedSound out;
    Mix_Chunk* chunk = Mix_LoadWAV(path.c_str());
    if (chunk == nullptr) {
        ADD_FAILURE() << "Mix_LoadWAV failed for " << path << ": " << Mix_GetError();
        return out;
    }
    const auto* samples = reinterpret_cast<const std::int16_t*>(chunk->abuf);
    const std::size_t frames = chunk->alen / 4;
    out.left.reserve(frames);
    for (std::size_t i = 0; i < frames; ++i) {
        out.left.push_back(samples[2 * i]);
    }
    out.seconds = static_cast<double>(frames) / 22050.0;
    Mix_FreeChunk(chunk);
    return out;
}

struct Levels {
    int peak = 0;
    double mean = 0.0;
    double rms = 0.0;
};

inline Levels measure(const std::vector<std::int16_t>& samples) {
    Levels levels;
    double sum = 0.0;
    double squares = 0.0;
    for (std::int16_t s : samples) {
        levels.peak = std::max(levels.peak, std::abs(static_cast<int>(s)));
        sum += s;
        squares += static_cast<double>(s) * s;
    }
    if (!samples.empty()) {
        levels.mean = sum / static_cast<double>(samples.size());
        levels.rms = std::sqrt(squares / static_cast<double>(samples.size()));
    }
    return levels;
}

} // namespace assettest

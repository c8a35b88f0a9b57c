// The sound effects, the results jingle and the flight music as the mixer
// loads them: lengths, levels, clean starts and ends, and a seamless loop.
#include "asset_test_support.h"

#include <map>
#include <string>

namespace {

using namespace assettest;

const char* const kEffects[] = {"itemget", "miss", "break", "up", "bariya"};

// One bar of the flight music: sixteen sixteenths of 2205 samples (150 beats a minute).
constexpr std::size_t kSamplesPerBar = 16 * 2205;

// -1 dBFS: anything louder risks clipping once effects and music overlap.
constexpr int kNearFullScale = 29204;
// About -6 and -3 dBFS: the window effect peaks should fall in.
constexpr int kEffectPeakLow = 16000;
constexpr int kEffectPeakHigh = 23300;

void expectCleanEdges(const DecodedSound& sound, const std::string& name) {
    ASSERT_FALSE(sound.left.empty()) << name;
    EXPECT_LT(std::abs(static_cast<int>(sound.left.front())), 200) << name << " starts with a click";
    EXPECT_LT(std::abs(static_cast<int>(sound.left.back())), 200) << name << " ends with a click";
}

TEST(SoundEffects, LoadAsShortEffectsUnderOneSecond) {
    for (const char* name : kEffects) {
        DecodedSound sound = decodeWithMixer(resourcePath(std::string("sound/") + name + ".wav"));
        EXPECT_GT(sound.seconds, 0.05) << name;
        EXPECT_LT(sound.seconds, 1.0) << name;
    }
}

TEST(SoundEffects, PeakInTheSameWindowWithoutClippingOrDcOffset) {
    for (const char* name : kEffects) {
        DecodedSound sound = decodeWithMixer(resourcePath(std::string("sound/") + name + ".wav"));
        Levels levels = measure(sound.left);
        EXPECT_GE(levels.peak, kEffectPeakLow) << name << " is too quiet";
        EXPECT_LE(levels.peak, kEffectPeakHigh) << name << " is too loud";
        EXPECT_LT(std::abs(levels.mean), 60.0) << name << " has a DC offset";
        expectCleanEdges(sound, name);
    }
}

TEST(SoundEffects, AreDifferentSounds) {
    std::map<std::string, DecodedSound> sounds;
    for (const char* name : kEffects) {
        sounds[name] = decodeWithMixer(resourcePath(std::string("sound/") + name + ".wav"));
    }
    for (const auto& [a, soundA] : sounds) {
        for (const auto& [b, soundB] : sounds) {
            if (a < b) {
                EXPECT_NE(soundA.left, soundB.left) << a << " and " << b << " are the same sound";
            }
        }
    }
}

TEST(ResultsJingle, LastsTwoToFiveSecondsAndEndsCleanly) {
    DecodedSound jingle = decodeWithMixer(resourcePath("sound/results.wav"));
    EXPECT_GE(jingle.seconds, 2.0);
    EXPECT_LE(jingle.seconds, 5.0);
    Levels levels = measure(jingle.left);
    EXPECT_GT(levels.peak, 3000);
    EXPECT_LT(levels.peak, kNearFullScale);
    EXPECT_LT(std::abs(levels.mean), 60.0);
    expectCleanEdges(jingle, "results");
}

TEST(ResultsJingle, LoadsAsMusic) {
    Mix_Music* music = Mix_LoadMUS(resourcePath("sound/results.wav").c_str());
    ASSERT_NE(music, nullptr) << Mix_GetError();
    EXPECT_EQ(Mix_GetMusicType(music), MUS_WAV);
    Mix_FreeMusic(music);
}

TEST(FlightMusic, LoadsAsOggVorbisMusic) {
    Mix_Music* music = Mix_LoadMUS(resourcePath("sound/bgm.ogg").c_str());
    ASSERT_NE(music, nullptr) << Mix_GetError();
    EXPECT_EQ(Mix_GetMusicType(music), MUS_OGG);
    Mix_FreeMusic(music);
}

class FlightMusicSamples : public ::testing::Test {
protected:
    static void SetUpTestSuite() { music = new DecodedSound(decodeWithMixer(resourcePath("sound/bgm.ogg"))); }
    static void TearDownTestSuite() {
        delete music;
        music = nullptr;
    }
    static DecodedSound* music;
};
DecodedSound* FlightMusicSamples::music = nullptr;

TEST_F(FlightMusicSamples, RunsAtLeastThirtySecondsInWholeBars) {
    ASSERT_FALSE(music->left.empty());
    EXPECT_GE(music->seconds, 30.0);
    EXPECT_EQ(music->left.size() % kSamplesPerBar, 0u) << music->left.size() << " samples is not a whole number of bars";
}

TEST_F(FlightMusicSamples, LoopPointJoinsWithoutAJump) {
    ASSERT_GT(music->left.size(), 1000u);
    const auto& s = music->left;
    // Both ends near silence and the step across the loop no bigger than an
    // ordinary step between neighbouring samples.
    EXPECT_LT(std::abs(static_cast<int>(s.front())), 1000);
    EXPECT_LT(std::abs(static_cast<int>(s.back())), 1000);
    double ordinaryStep = 0.0;
    for (std::size_t i = 1; i < s.size(); ++i) {
        ordinaryStep += std::abs(static_cast<int>(s[i]) - static_cast<int>(s[i - 1]));
    }
    ordinaryStep /= static_cast<double>(s.size() - 1);
    EXPECT_LT(std::abs(static_cast<int>(s.front()) - static_cast<int>(s.back())), ordinaryStep);
}

TEST_F(FlightMusicSamples, IsLouderThanSilenceButSitsUnderTheEffects) {
    Levels levels = measure(music->left);
    EXPECT_LT(levels.peak, kNearFullScale);
    EXPECT_LT(std::abs(levels.mean), 60.0);
    EXPECT_GT(levels.rms, 1000.0);  // about -30 dBFS: clearly audible
    for (const char* name : kEffects) {
        Levels effect = measure(decodeWithMixer(resourcePath(std::string("sound/") + name + ".wav")).left);
        EXPECT_LT(levels.peak, effect.peak) << "the music peaks over " << name;
        EXPECT_LT(levels.rms, effect.rms) << "the music is louder than " << name;
    }
}

TEST_F(FlightMusicSamples, KeepsPlayingThroughout) {
    // No dead stretch: every second of the loop carries sound.
    const auto& s = music->left;
    for (std::size_t start = 0; start + 22050 <= s.size(); start += 22050) {
        std::vector<std::int16_t> second(s.begin() + static_cast<std::ptrdiff_t>(start),
                                         s.begin() + static_cast<std::ptrdiff_t>(start + 22050));
        EXPECT_GT(measure(second).rms, 500.0) << "quiet second at " << start / 22050;
    }
}

} // namespace

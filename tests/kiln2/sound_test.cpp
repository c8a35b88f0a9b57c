// The sound registry and the music calls on the headless backend: keys,
// replacement, the error texts, and what reaches the speakers in what order.
#include "kiln_test_support.h"

using namespace kiln_test;

namespace {

class Sound : public HeadlessTest {
protected:
    void SetUp() override { start(noFiles()); }

    static std::vector<KilnSoundEvent> events() { return kiln_headless::soundEvents(); }
};

TEST_F(Sound, PlayingARegisteredSoundIsHeard) {
    Kiln_loadWAV("miss", "resource/sound/miss.wav");
    Kiln_playWAV("miss", 0, -1);
    Kiln_playWAV("miss", 2, -1);
    const auto heard = events();
    ASSERT_EQ(heard.size(), 2u);
    EXPECT_EQ(heard[0].kind, KilnSoundEvent::PLAY_WAV);
    EXPECT_EQ(heard[0].name, "miss");
    EXPECT_EQ(heard[0].value, 0);
    EXPECT_EQ(heard[1].value, 2) << "the loop count is kept";
}

TEST_F(Sound, UnknownKeysAreErrors) {
    EXPECT_EQ(errorOf([] { Kiln_playWAV("boom", 0, -1); }), "Kiln_playWAV: Has not exist key: boom");
    EXPECT_EQ(errorOf([] { Kiln_disposeWAV("boom"); }), "Kiln_disposeWAV: Has not exist key: boom");
    EXPECT_TRUE(events().empty());
}

TEST_F(Sound, LoadingTwiceKeepsOneEntry) {
    Kiln_loadWAV("up", "a.wav");
    Kiln_loadWAV("up", "b.wav");
    Kiln_disposeWAV("up");
    EXPECT_EQ(errorOf([] { Kiln_playWAV("up", 0, -1); }), "Kiln_playWAV: Has not exist key: up");
}

TEST_F(Sound, DisposingAllEmptiesTheRegistry) {
    EXPECT_EQ(errorOf([] { Kiln_disposeWAV(""); }), "") << "an empty registry is fine";
    Kiln_loadWAV("a", "a.wav");
    Kiln_loadWAV("b", "b.wav");
    Kiln_disposeWAV("");
    EXPECT_NE(errorOf([] { Kiln_playWAV("a", 0, -1); }), "");
    EXPECT_NE(errorOf([] { Kiln_playWAV("b", 0, -1); }), "");
}

TEST_F(Sound, StopBgmWithoutMusicDoesNothing) {
    Kiln_stopBgm(0);
    Kiln_stopBgm(1000);
    EXPECT_TRUE(events().empty());
}

TEST_F(Sound, MusicFadesOutThenIsReplaced) {
    Kiln_playBgm("resource/sound/bgm.ogg", -1, 0);
    Kiln_stopBgm(1000);
    Kiln_playBgm("resource/sound/results.wav", 0, 0);
    Kiln_stopBgm(0);
    Kiln_stopBgm(0);
    const auto heard = events();
    ASSERT_EQ(heard.size(), 4u) << "the second stop finds no music";
    EXPECT_EQ(heard[0].kind, KilnSoundEvent::PLAY_BGM);
    EXPECT_EQ(heard[0].name, "resource/sound/bgm.ogg");
    EXPECT_EQ(heard[0].value, -1);
    EXPECT_EQ(heard[1].kind, KilnSoundEvent::STOP_BGM);
    EXPECT_EQ(heard[1].value, 1000);
    EXPECT_EQ(heard[2].name, "resource/sound/results.wav");
    EXPECT_EQ(heard[3].kind, KilnSoundEvent::STOP_BGM);
    EXPECT_EQ(heard[3].value, 0);
}

TEST_F(Sound, QuitHaltsEveryChannel) {
    Kiln_quit();
    const auto heard = events();
    ASSERT_FALSE(heard.empty());
    EXPECT_EQ(heard[0].kind, KilnSoundEvent::STOP_WAV);
    EXPECT_EQ(heard[0].value, -1);
}

class SoundFiles : public HeadlessTest {
protected:
    void SetUp() override { start(withFiles()); }
};

TEST_F(SoundFiles, MissingOrBrokenFilesAreErrorsNamingTheFile) {
    const std::string missing = errorOf([] { Kiln_loadWAV("x", "nope.wav"); });
    EXPECT_EQ(missing.rfind("Kiln_loadWAV: ", 0), 0u) << missing;
    EXPECT_TRUE(missing.size() > 10 && missing.substr(missing.size() - 10) == "(nope.wav)") << missing;

    std::ofstream("text.wav") << "this is not a sound";
    const std::string broken = errorOf([] { Kiln_loadWAV("x", "text.wav"); });
    EXPECT_EQ(broken.rfind("Kiln_loadWAV: ", 0), 0u) << broken;

    const std::string music = errorOf([] { Kiln_playBgm("nope.ogg", -1, 0); });
    EXPECT_EQ(music.rfind("Kiln_playBgm: ", 0), 0u) << music;
    EXPECT_GT(music.size(), std::string("Kiln_playBgm: ").size()) << "the system's reason follows";
}

TEST_F(SoundFiles, AWaveWithoutItsFormatOrItsSamplesIsRefused) {
    writeWav("good.wav");
    const std::string good = readFile("good.wav");
    // The same header with the "fmt " chunk renamed, then with the samples cut off before "data".
    std::string noFormat = good;
    noFormat.replace(12, 4, "junk");
    std::ofstream("noformat.wav", std::ios::binary) << noFormat;
    std::ofstream("nodata.wav", std::ios::binary) << good.substr(0, 36);
    EXPECT_NE(errorOf([] { Kiln_loadWAV("x", "noformat.wav"); }).find("Missing fmt chunk(noformat.wav)"),
              std::string::npos);
    EXPECT_NE(errorOf([] { Kiln_loadWAV("x", "nodata.wav"); }).find("Missing data chunk(nodata.wav)"),
              std::string::npos);
    std::filesystem::create_directory("adir.wav");
    EXPECT_EQ(errorOf([] { Kiln_loadWAV("x", "adir.wav"); }).rfind("Kiln_loadWAV: ", 0), 0u);
}

TEST_F(SoundFiles, RealWavLoads) {
    writeWav("resource/sound/up.wav");
    Kiln_loadWAV("up", "resource/sound/up.wav");
    Kiln_playWAV("up", 0, -1);
    ASSERT_EQ(kiln_headless::soundEvents().size(), 1u);
}

}  // namespace

namespace {

// The mixer levels the headless audio was handed, in order, of one kind.
std::vector<int> levelsOf(KilnSoundEvent::Kind kind) {
    std::vector<int> levels;
    for (const KilnSoundEvent& event : kiln_headless::soundEvents()) {
        if (event.kind == kind) levels.push_back(event.value);
    }
    return levels;
}

TEST_F(Sound, VolumeLevelsReachTheMixerOnItsScale) {
    Kiln_setMusicVolume(2);
    Kiln_setEffectsVolume(7);
    Kiln_setMusicVolume(10);
    EXPECT_EQ(levelsOf(KilnSoundEvent::MUSIC_VOLUME), (std::vector<int>{25, 25, 128}));
    EXPECT_EQ(levelsOf(KilnSoundEvent::EFFECTS_VOLUME), (std::vector<int>{128, 89, 89}));
    EXPECT_EQ(Kiln_getMusicVolume(), 10);
    EXPECT_EQ(Kiln_getEffectsVolume(), 7);
}

TEST_F(Sound, LevelsOutsideZeroToTenAreClamped) {
    Kiln_setMusicVolume(99);
    Kiln_setEffectsVolume(-3);
    EXPECT_EQ(Kiln_getMusicVolume(), 10);
    EXPECT_EQ(Kiln_getEffectsVolume(), 0);
    EXPECT_EQ(levelsOf(KilnSoundEvent::EFFECTS_VOLUME).back(), 0);
}

TEST_F(Sound, MuteSilencesBothAndGivesTheLevelsBack) {
    Kiln_setMusicVolume(6);
    Kiln_setMuted(true);
    EXPECT_TRUE(Kiln_isMuted());
    EXPECT_EQ(levelsOf(KilnSoundEvent::MUSIC_VOLUME).back(), 0);
    EXPECT_EQ(levelsOf(KilnSoundEvent::EFFECTS_VOLUME).back(), 0);
    Kiln_setMuted(false);
    EXPECT_EQ(levelsOf(KilnSoundEvent::MUSIC_VOLUME).back(), 76);
    EXPECT_EQ(levelsOf(KilnSoundEvent::EFFECTS_VOLUME).back(), 128);
}

bool mutedSeen = false;
int toggles = 0;

TEST_F(Sound, MTogglesTheMuteOnAnyFrameAndTellsTheGame) {
    toggles = 0;
    Kiln_setMuteToggledHandler([](bool muted) {
        mutedSeen = muted;
        ++toggles;
    });
    kiln_headless::setKey(KEY_m, true);
    frame();
    frame();  // held: no second toggle
    EXPECT_TRUE(Kiln_isMuted());
    EXPECT_EQ(toggles, 1);
    EXPECT_TRUE(mutedSeen);
    EXPECT_EQ(levelsOf(KilnSoundEvent::MUSIC_VOLUME).back(), 0);
    kiln_headless::setKey(KEY_m, false);
    frame();
    kiln_headless::setKey(KEY_m, true);
    frame();
    EXPECT_FALSE(Kiln_isMuted());
    EXPECT_EQ(toggles, 2);
    EXPECT_FALSE(mutedSeen);
}

// The start-up path: levels chosen before the framework runs reach the mixer
// when the sound opens; full loudness tells the mixer nothing it has not.
class SoundAtStart : public HeadlessTest {};

TEST_F(SoundAtStart, LevelsSetBeforeStartReachTheMixerWhenItOpens) {
    kiln_headless::reset();
    Kiln_useHeadlessBackend(noFiles());
    Kiln_setMusicVolume(3);
    EXPECT_TRUE(kiln_headless::soundEvents().empty()) << "no mixer before start-up";
    Kiln_init("test", 640, 480, false, false);
    EXPECT_EQ(levelsOf(KilnSoundEvent::MUSIC_VOLUME), (std::vector<int>{38}));
}

TEST_F(SoundAtStart, FullLoudnessSaysNothingAtStart) {
    start(noFiles());
    EXPECT_TRUE(kiln_headless::soundEvents().empty());
}

}  // namespace

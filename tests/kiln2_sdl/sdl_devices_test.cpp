// The real SDL joystick and audio parts, driven without a display: a
// headless window with SDL's virtual joysticks, and SDL_mixer on the dummy
// audio driver or on none at all.
#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdlib>

#include "kiln2/backend.h"
#include "kiln2_sdl/real_backend.h"
#include "kiln2/kiln_state.h"
#include "kiln2/kiln_test_support.h"

using namespace kiln_test;

namespace {

KilnHeadlessOptions quietFiles() {
    KilnHeadlessOptions options;
    options.readResourceFiles = true;
    options.logToStderr = true;
    return options;
}

class SdlJoystick : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0) << SDL_GetError();
        firstVirtual_ = SDL_NumJoysticks();
        if (firstVirtual_ > 2) GTEST_SKIP() << "too many real joysticks on this machine";
        device_ = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 2, 6, 0);
        ASSERT_GE(device_, 0) << SDL_GetError();
        handle_ = SDL_JoystickOpen(device_);
        ASSERT_NE(handle_, nullptr) << SDL_GetError();

        kiln_headless::reset();
        auto backend = kilnMakeHeadlessBackend(quietFiles());
        backend->joysticks = kilnMakeSdlJoysticks();
        kilnInstallBackend(std::move(backend));
        writeFontBmp();
        Kiln_init("test", 640, 480, false, false);
        slot_ = device_;
    }

    void TearDown() override {
        if (kilnState().initialized) Kiln_quit();
        kiln_headless::reset();
        if (handle_) SDL_JoystickClose(handle_);
        if (device_ >= 0) SDL_JoystickDetachVirtual(device_);
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    }

    static void frame() {
        Kiln_flip();
        Kiln_waitFrame(16);
    }

    void setButton(int button, bool down) { SDL_JoystickSetVirtualButton(handle_, button, down ? 1 : 0); }
    void setAxes(int16_t x, int16_t y) {
        SDL_JoystickSetVirtualAxis(handle_, 0, x);
        SDL_JoystickSetVirtualAxis(handle_, 1, y);
    }

    ScratchDir scratch_;
    int firstVirtual_ = 0;
    int device_ = -1;
    int slot_ = 0;
    SDL_Joystick* handle_ = nullptr;
};

TEST_F(SdlJoystick, ButtonsAreReadThroughSdl) {
    setButton(1, true);
    frame();
    EXPECT_TRUE(Kiln_isJoyButtonPressed(1, slot_));
    EXPECT_TRUE(Kiln_isJoyButtonPushed(1, slot_));
    EXPECT_FALSE(Kiln_isJoyButtonPressed(0, slot_));
    frame();
    EXPECT_TRUE(Kiln_isJoyButtonPressed(1, slot_));
    EXPECT_FALSE(Kiln_isJoyButtonPushed(1, slot_));
    setButton(1, false);
    frame();
    EXPECT_FALSE(Kiln_isJoyButtonPressed(1, slot_));
}

TEST_F(SdlJoystick, ButtonCountComesFromTheDevice) {
    EXPECT_EQ(kilnState().joysticks[static_cast<size_t>(slot_)].buttonCount, 6);
    setButton(5, true);
    frame();
    EXPECT_TRUE(Kiln_isJoyButtonPressed(5, slot_));
    EXPECT_FALSE(Kiln_isJoyButtonPressed(6, slot_));
}

TEST_F(SdlJoystick, StickThresholdsHoldThroughSdl) {
    setAxes(26214, -26214);
    frame();
    EXPECT_FALSE(Kiln_isJoyDirPressed(JOY_RIGHT, slot_));
    EXPECT_FALSE(Kiln_isJoyDirPressed(JOY_UP, slot_));
    setAxes(26215, -26215);
    frame();
    EXPECT_TRUE(Kiln_isJoyDirPressed(JOY_RIGHT, slot_));
    EXPECT_TRUE(Kiln_isJoyDirPushed(JOY_UP, slot_));
    EXPECT_FALSE(Kiln_isJoyDirPressed(JOY_NONE, slot_));
    setAxes(-32768, 32767);
    frame();
    EXPECT_TRUE(Kiln_isJoyDirPushed(JOY_LEFT, slot_));
    EXPECT_TRUE(Kiln_isJoyDirPushed(JOY_DOWN, slot_));
}

TEST_F(SdlJoystick, SlotsAboveTheDevicesHaveNone) {
    setButton(0, true);
    frame();
    for (int joy = slot_ + 1; joy < 4; ++joy) {
        EXPECT_FALSE(kilnState().joysticks[static_cast<size_t>(joy)].hasDevice);
        EXPECT_FALSE(Kiln_isJoyButtonPressed(0, joy));
        EXPECT_FALSE(Kiln_isJoyDirPressed(JOY_UP, joy));
    }
}

// Starts the framework with a headless window and SDL_mixer on the given driver.
class SdlSound : public ::testing::Test {
protected:
    void startWithAudioDriver(const char* driver) {
        setenv("SDL_AUDIODRIVER", driver, 1);
        kiln_headless::reset();
        auto backend = kilnMakeHeadlessBackend(quietFiles());
        backend->audio = kilnMakeSdlAudio();
        kilnInstallBackend(std::move(backend));
        writeFontBmp();
        Kiln_init("test", 640, 480, false, false);
    }

    void TearDown() override {
        if (kilnState().initialized) Kiln_quit();
        kiln_headless::reset();
        unsetenv("SDL_AUDIODRIVER");
    }

    ScratchDir scratch_;
};

TEST_F(SdlSound, WavPlaysOnTheDummyDevice) {
    startWithAudioDriver("dummy");
    ASSERT_TRUE(kilnState().audioOpen);
    int frequency = 0, channels = 0;
    Uint16 format = 0;
    ASSERT_EQ(Mix_QuerySpec(&frequency, &format, &channels), 1);
    EXPECT_EQ(frequency, 22050);
    EXPECT_EQ(format, AUDIO_S16LSB);
    EXPECT_EQ(channels, 2);

    writeWav("resource/sound/itemget.wav");
    Kiln_loadWAV("itemget", "resource/sound/itemget.wav");
    Kiln_playWAV("itemget", 0, -1);
    Kiln_playWAV("itemget", 0, -1);
    EXPECT_EQ(Mix_Playing(-1), 2) << "the same sound on two channels at once";
    Kiln_stopWAV(-1);
    EXPECT_EQ(Mix_Playing(-1), 0);
    EXPECT_FALSE(std::filesystem::exists("run.log")) << "nothing to say about a working device";
}

TEST_F(SdlSound, MusicStartsStopsAndFades) {
    startWithAudioDriver("dummy");
    writeWav("resource/sound/results.wav", 22050, 22050);
    Kiln_playBgm("resource/sound/results.wav", 0, 0);
    EXPECT_EQ(Mix_PlayingMusic(), 1);
    Kiln_stopBgm(0);
    EXPECT_EQ(Mix_PlayingMusic(), 0);
    Kiln_playBgm("resource/sound/results.wav", -1, 500);
    EXPECT_EQ(Mix_FadingMusic(), MIX_FADING_IN);
    Kiln_stopBgm(1000);
    EXPECT_EQ(Mix_FadingMusic(), MIX_FADING_OUT);
    Kiln_playBgm("resource/sound/results.wav", 0, 0);
    EXPECT_EQ(Mix_FadingMusic(), MIX_NO_FADING) << "the fading music was replaced";
}

TEST_F(SdlSound, MissingFilesAreErrorsOnARealDevice) {
    startWithAudioDriver("dummy");
    const std::string wav = errorOf([] { Kiln_loadWAV("x", "missing.wav"); });
    EXPECT_EQ(wav.rfind("Kiln_loadWAV: ", 0), 0u) << wav;
    EXPECT_NE(wav.find("(missing.wav)"), std::string::npos) << wav;
    const std::string music = errorOf([] { Kiln_playBgm("missing.ogg", -1, 0); });
    EXPECT_EQ(music.rfind("Kiln_playBgm: ", 0), 0u) << music;
}

TEST_F(SdlSound, NoAudioDeviceRunsSilentlyAndSaysSoOnce) {
    startWithAudioDriver("nonexistent");
    EXPECT_FALSE(kilnState().audioOpen);
    const std::string log = readFile("run.log");
    EXPECT_EQ(log.rfind("Kiln_init: no audio device (", 0), 0u) << log;
    EXPECT_NE(log.find("), running silently\n"), std::string::npos) << log;
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1);

    writeWav("resource/sound/miss.wav");
    Kiln_loadWAV("miss", "resource/sound/miss.wav");
    Kiln_playWAV("miss", 0, -1);
    Kiln_playBgm("resource/sound/miss.wav", -1, 0);
    Kiln_stopBgm(1000);
    std::ofstream("garbage.wav") << "RIFF but not really";
    EXPECT_EQ(errorOf([] { Kiln_loadWAV("x", "garbage.wav"); }).rfind("Kiln_loadWAV: ", 0), 0u);
    EXPECT_EQ(errorOf([] { Kiln_loadWAV("x", "missing.wav"); }).rfind("Kiln_loadWAV: ", 0), 0u);
    EXPECT_EQ(errorOf([] { Kiln_playBgm("missing.ogg", -1, 0); }).rfind("Kiln_playBgm: ", 0), 0u);
    EXPECT_EQ(errorOf([] { Kiln_playWAV("x", 0, -1); }), "Kiln_playWAV: Has not exist key: x");
}

}  // namespace

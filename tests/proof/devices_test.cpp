// The game without its usual devices: no audio device at all, no joystick,
// and a joystick pulled out in the middle of a run. Each must leave the game
// playing (silently, or from the keyboard) with at most one log line.
#include <SDL.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "gamecore/game_main.h"
#include "kiln2/backend.h"
#include "kiln2_sdl/real_backend.h"
#include "kiln2/headless.h"
#include "kiln2/kiln2.h"
#include "proof_support.h"

namespace {

// Headless window and input, real SDL audio and real SDL joysticks.
void startFrameworkWithRealDevices() {
    auto backend = kilnMakeHeadlessBackend(
        {.readResourceFiles = true, .writeRunLog = false, .logToStderr = true, .recordDrawCalls = false});
    backend->audio = kilnMakeSdlAudio();
    backend->joysticks = kilnMakeSdlJoysticks();
    kilnInstallBackend(std::move(backend));
    Kiln_init("KVR2013", 640, 480, false, false);
}

// Plays frames of a live run, holding UP on the keyboard whenever the craft
// is below the middle of the screen so that it keeps flying; calls
// between(frame) before each frame.
template <typename Between>
void playLiveFrames(GameMain& game, int frames, Between between) {
    for (int frame = 0; frame < frames; ++frame) {
        kiln_headless::setKey(KEY_UP, game.phase == GameMain::PLAY && game.player.y > 240 * game.subPixels);
        between(frame);
        game.update();
        game.draw();
        Kiln_flip();
        Kiln_waitFrame(16);
    }
}

class Devices : public ::testing::Test {
protected:
    void SetUp() override {
        proof::linkRepositoryResources();
        proof::writeFile("config.ini", "HI_SCORE1 = 99999\nHI_SCORE2 = 0\nHI_SCORE3 = 0\nHI_SCORE4 = 0\nMODE = 0\n");
    }
    void TearDown() override {
        Kiln_quit();
        kiln_headless::reset();
        unsetenv("SDL_AUDIODRIVER");
    }

    proof::ScratchDir scratch;
};

TEST_F(Devices, WithoutAnAudioDeviceTheRunPlaysSilentlyAfterOneLogLine) {
    setenv("SDL_AUDIODRIVER", "nonexistent", 1);
    testing::internal::CaptureStderr();
    startFrameworkWithRealDevices();
    auto game = std::make_unique<GameMain>();
    // Countdown, music start, and a stretch of play with sounds going nowhere.
    playLiveFrames(*game, 900, [](int) {});
    const int phase = game->phase;
    game.reset();
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(phase, GameMain::END);
    EXPECT_GE(phase, GameMain::PLAY);
    EXPECT_EQ(proof::countLinesContaining(log, "no audio device"), 1) << log;
}

TEST_F(Devices, WithoutAJoystickTheKeyboardPlays) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0);
    if (SDL_NumJoysticks() != 0) GTEST_SKIP() << "this machine has a joystick";
    startFrameworkWithRealDevices();
    auto game = std::make_unique<GameMain>();
    playLiveFrames(*game, 600, [](int) {});
    EXPECT_EQ(game->phase, GameMain::PLAY);
    EXPECT_GT(game->scrollPos, 0);
    EXPECT_FALSE(Kiln_isJoyButtonPressed(0, 0));
    EXPECT_FALSE(Kiln_isJoyDirPressed(JOY_UP, 0));
    game.reset();
    SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
}

TEST_F(Devices, AJoystickPulledOutMidRunLeavesTheKeyboardPlaying) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0);
    if (SDL_NumJoysticks() != 0) GTEST_SKIP() << "this machine has a joystick";
    const int device = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 2, 6, 0);
    ASSERT_EQ(device, 0) << SDL_GetError();
    SDL_Joystick* handle = SDL_JoystickOpen(device);
    ASSERT_NE(handle, nullptr);

    startFrameworkWithRealDevices();
    auto game = std::make_unique<GameMain>();
    bool sawStick = false;
    bool stickAfterRemoval = false;
    constexpr int REMOVED_AT = 400;  // well inside PLAY
    playLiveFrames(*game, 900, [&](int frame) {
        if (frame < REMOVED_AT) {
            // The stick pushed up and button 0 held, as a player would.
            SDL_JoystickSetVirtualAxis(handle, 1, frame % 30 < 12 ? -32768 : 0);
            SDL_JoystickSetVirtualButton(handle, 0, frame % 50 < 5 ? 1 : 0);
            sawStick = sawStick || Kiln_isJoyDirPressed(JOY_UP, 0);
        } else if (frame == REMOVED_AT) {
            ASSERT_EQ(game->phase, GameMain::PLAY);
            ASSERT_EQ(SDL_JoystickDetachVirtual(device), 0) << SDL_GetError();
        } else {
            stickAfterRemoval = stickAfterRemoval || Kiln_isJoyDirPressed(JOY_UP, 0) ||
                                Kiln_isJoyButtonPressed(0, 0);
        }
    });
    EXPECT_TRUE(sawStick);
    EXPECT_FALSE(stickAfterRemoval);
    EXPECT_NE(game->phase, GameMain::END);
    EXPECT_GT(game->scrollPos, REMOVED_AT * 100 - 181 * 100);
    game.reset();
    Kiln_quit();
    SDL_JoystickClose(handle);
    SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
}

// The real program in a real (virtual) X display, started with an audio
// driver that does not exist.
TEST_F(Devices, TheGameStartsWithoutSoundAndSaysSoOnce) {
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "needs an X display (scripts run tests under xvfb-run)";
    const pid_t pid = ::fork();
    if (pid == 0) {
        setenv("SDL_AUDIODRIVER", "nonexistent", 1);
        setenv("SDL_VIDEODRIVER", "x11", 1);
        std::freopen("/dev/null", "w", stdout);
        std::freopen("/dev/null", "w", stderr);
        ::execl(KVR_GAME_BINARY, KVR_GAME_BINARY, "--frames", "120", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    const std::string log = proof::readFile("run.log");
    EXPECT_EQ(proof::countLinesContaining(log, "no audio device"), 1) << log;
}

}  // namespace

// The main loop's life on the headless framework: how each way out ends the
// process (exit status and the last line of "run.log"), and that the loop
// runs scene step, swap and wait once per frame.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>

#include "boot/game_loop.h"
#include "kiln2/headless.h"
#include "kiln2/kiln2.h"
#include "state/scene_machine.h"

namespace {

// Frames the probe scene saw, and what it should do on a given frame.
int probeUpdates = 0;
int probeDraws = 0;
int postQuitOnUpdate = 0;
int throwOnUpdate = 0;

struct ProbeScene : GameState {
    void update() override {
        ++probeUpdates;
        if (probeUpdates == postQuitOnUpdate) setMessage(MSG_QUIT);
        if (probeUpdates == throwOnUpdate) throw KilnError("Kiln_drawTexture: Has not exist key: ghost");
    }
    void draw() override { ++probeDraws; }
};

std::unique_ptr<GameState> makeProbe() { return std::make_unique<ProbeScene>(); }

class GameLoopTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device seed;
        workDir = std::filesystem::temp_directory_path() / ("kvr2013-loop-" + std::to_string(seed()));
        std::filesystem::create_directories(workDir);
        previousDir = std::filesystem::current_path();
        std::filesystem::current_path(workDir);
        probeUpdates = probeDraws = postQuitOnUpdate = throwOnUpdate = 0;
        resetSceneMachine();
    }

    void TearDown() override {
        resetSceneMachine();
        kiln_headless::reset();
        std::filesystem::current_path(previousDir);
        std::error_code ignored;
        std::filesystem::remove_all(workDir, ignored);
    }

    static void useHeadless(bool readResourceFiles) {
        Kiln_useHeadlessBackend({.readResourceFiles = readResourceFiles, .writeRunLog = true, .logToStderr = true,
                                 .recordDrawCalls = false});
    }

    std::string runLog() const {
        std::ifstream in(workDir / "run.log", std::ios::binary);
        std::ostringstream content;
        content << in.rdbuf();
        return content.str();
    }

    std::filesystem::path workDir;
    std::filesystem::path previousDir;
};

TEST_F(GameLoopTest, EscapeOnTheFirstFrameIsANormalQuit) {
    useHeadless(false);
    kiln_headless::setKey(KEY_ESCAPE, true);
    EXPECT_EQ(runGame(CommandLine{}), 0);
    EXPECT_EQ(runLog(), "resource loaded.\nExec loop.\ndKiln system quit.\n");
}

TEST_F(GameLoopTest, AWindowCloseIsANormalQuit) {
    useHeadless(false);
    setFirstScene(makeProbe);
    kiln_headless::requestQuit();
    EXPECT_EQ(runGame(CommandLine{}), 0);
    // The frame that saw the close request was drawn before the wait ended it.
    EXPECT_EQ(probeUpdates, 1);
    EXPECT_EQ(runLog(), "resource loaded.\nExec loop.\ndKiln system quit.\n");
}

TEST_F(GameLoopTest, AMissingFontIsAFailure) {
    // No resource directory at all in the working directory.
    useHeadless(true);
    EXPECT_EQ(runGame(CommandLine{}), 1);
    EXPECT_EQ(runLog(), "Kiln_Texture::loadBmp : not found file: resource/font/font.bmp\n");
}

TEST_F(GameLoopTest, AnErrorFromASceneIsLoggedAndFails) {
    useHeadless(false);
    setFirstScene(makeProbe);
    throwOnUpdate = 3;
    EXPECT_EQ(runGame(CommandLine{}), 1);
    EXPECT_EQ(probeUpdates, 3);
    EXPECT_EQ(probeDraws, 2);
    EXPECT_EQ(runLog(), "resource loaded.\nExec loop.\nKiln_drawTexture: Has not exist key: ghost\n");
}

TEST_F(GameLoopTest, AnUnknownMessageEndsTheLoopNormallyAfterThatFrame) {
    useHeadless(false);
    setFirstScene(makeProbe);
    postQuitOnUpdate = 2;
    uint32_t start = kiln_headless::ticks();
    EXPECT_EQ(runGame(CommandLine{}), 0);
    // Frame 2 posted; frame 3 reported the message, still ran, and was paced.
    EXPECT_EQ(probeUpdates, 3);
    EXPECT_EQ(probeDraws, 3);
    EXPECT_GE(kiln_headless::ticks() - start, 3u * 16u);
    EXPECT_EQ(runLog(), "resource loaded.\nExec loop.\nUnknown msg at loop.");
}

TEST_F(GameLoopTest, FrameLimitEndsTheLoopNormallyAfterThatManyPacedFrames) {
    useHeadless(false);
    setFirstScene(makeProbe);
    CommandLine line;
    line.frameLimit = 5;
    uint32_t start = kiln_headless::ticks();
    EXPECT_EQ(runGame(line), 0);
    EXPECT_EQ(probeUpdates, 5);
    EXPECT_GE(kiln_headless::ticks() - start, 5u * 16u);
    EXPECT_EQ(runLog(), "resource loaded.\nExec loop.\n");
}

TEST_F(GameLoopTest, ExitStatusSetsTheQuitApartFromEveryOtherError) {
    EXPECT_EQ(exitStatusFor(KilnQuit()), 0);
    EXPECT_EQ(exitStatusFor(KilnError("dKiln system quit.")), 1);
    EXPECT_EQ(exitStatusFor(KilnError("Kiln_init: Couldn't set video mode")), 1);
    EXPECT_EQ(exitStatusFor(std::runtime_error("disk full")), 1);
}

}  // namespace

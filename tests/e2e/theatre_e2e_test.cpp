// The replay theatre in the real game under X, driven with real key presses:
// watching a saved replay at x8 to its end shows and prints the replay
// verifier's score, and pausing, stepping and jumping back land on the frames
// the progress bar and the run log name.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <regex>

#include "e2e_support.h"
#include "screenshot.h"

namespace {

using namespace e2e;

const std::string kReplay = std::string(KVR_SOURCE_DIR) + "/bench/data/stage0.bin";

// The verifier's line for the replay: the game's own "--headless" mode.
std::string verifierLine() {
    std::string line = runCommand("'" + gameBinary() + "' --headless --stage 0 --replay '" + kReplay + "'");
    if (!line.empty() && line.back() == '\n') line.pop_back();
    return line;
}

// The number after "Theatre: <what> frame " in the run log's last such line, or -1.
int lastLoggedFrame(const std::string& log, const std::string& what) {
    const std::regex line("Theatre: " + what + " frame (\\d+)");
    int frame = -1;
    for (auto it = std::sregex_iterator(log.begin(), log.end(), line); it != std::sregex_iterator(); ++it) {
        frame = std::stoi((*it)[1]);
    }
    return frame;
}

class TheatreE2E : public GameWindowTest {
protected:
    void watch(const std::vector<std::string>& speed) {
        std::vector<std::string> args = {"--watch", kReplay, "--stage", "0"};
        args.insert(args.end(), speed.begin(), speed.end());
        ASSERT_NO_FATAL_FAILURE(startGame(args));
        ASSERT_TRUE(game->waitForLog("Gamecoer init\n")) << game->runLog();
    }

    void quit() {
        EXPECT_TRUE(quitsOnEscape(*game, window));
    }
};

TEST_F(TheatreE2E, WatchingAtX8ToTheEndShowsAndPrintsTheVerifiersScore) {
    const std::string expected = verifierLine();
    ASSERT_EQ(expected.rfind("stage=0 frames=10182 score=27200 ", 0), 0u) << expected;
    watch({"--speed", "8"});
    // 10182 frames at eight a frame: about twenty seconds of a 62.5 Hz show.
    ASSERT_TRUE(game->waitForLog("Theatre: results at frame 10182, paused\n", std::chrono::seconds(120)))
        << game->runLog();
    EXPECT_NE(game->standardOutput().find(expected + "\n"), std::string::npos) << game->standardOutput();

    SDL_Surface* picture = takeScreenshot(dir, window);
    ASSERT_NE(picture, nullptr);
    keepScreenshot(dir, "theatre_results_x8.png");
    EXPECT_TRUE(showsWhiteText(picture, "RESULTS", 200, 250, 4));
    EXPECT_TRUE(showsWhiteText(picture, "27200", 220, 320, 4)) << "the results show the verifier's score";
    EXPECT_TRUE(showsWhiteText(picture, "FRAME 10182/10182", 6, 461, 1));
    EXPECT_TRUE(showsWhiteText(picture, "PAUSED", 640 - 6 - 6 * 8, 461, 1));
    SDL_FreeSurface(picture);
    quit();
}

TEST_F(TheatreE2E, PauseStepAndJumpBackWithRealKeys) {
    watch({});
    pressKey(window, "space");
    ASSERT_TRUE(game->waitForLog("Theatre: paused at frame ")) << game->runLog();
    const int paused = lastLoggedFrame(game->runLog(), "paused at");
    ASSERT_GT(paused, 0);

    pressKey(window, "Down");
    ASSERT_TRUE(game->waitForLog("Theatre: stepped to frame " + std::to_string(paused + 1) + "\n")) << game->runLog();
    pressKey(window, "Down");
    ASSERT_TRUE(game->waitForLog("Theatre: stepped to frame " + std::to_string(paused + 2) + "\n")) << game->runLog();
    pressKey(window, "Page_Down");
    const int ahead = paused + 2 + 625;
    ASSERT_TRUE(game->waitForLog("Theatre: jumped to frame " + std::to_string(ahead) + "\n")) << game->runLog();
    pressKey(window, "Page_Up");
    ASSERT_TRUE(game->waitForLog("Theatre: jumped back to frame " + std::to_string(paused + 2) + "\n"))
        << game->runLog();

    // Still paused: the picture holds that frame, and the bar says which.
    SDL_Surface* picture = takeScreenshot(dir, window);
    ASSERT_NE(picture, nullptr);
    keepScreenshot(dir, "theatre_paused_after_jump_back.png");
    EXPECT_TRUE(showsWhiteText(picture, "FRAME " + std::to_string(paused + 2) + "/10182", 6, 461, 1));
    EXPECT_TRUE(showsWhiteText(picture, "PAUSED", 640 - 6 - 6 * 8, 461, 1));
    SDL_FreeSurface(picture);

    pressKey(window, "Home");
    ASSERT_TRUE(game->waitForLog("Theatre: restarted at frame 1\n")) << game->runLog();
    pressKey(window, "x");
    ASSERT_TRUE(game->waitForLog("TitleMain\n")) << "B leaves for the title; log: " << game->runLog();
    quit();
}

}  // namespace

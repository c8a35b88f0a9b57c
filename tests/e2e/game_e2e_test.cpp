// A whole run of the real game, driven through X with real key presses: the
// title starts a run, the craft falls, the results lead back to the title,
// which now shows the new hi-score, and the saved replay plays back in the
// theatre without changing any file.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#include "e2e_support.h"
#include "ghost_view.h"
#include "screenshot.h"

namespace {

using namespace e2e;


class GameE2E : public GameWindowTest {
protected:
    // Presses a key (Z by default) until run.log holds "TitleMain" the given number of times.
    bool leaveForTitle(int titleCount, const std::string& key = "z") {
        for (int attempt = 0; attempt < 80; ++attempt) {
            if (countOf(game->runLog(), "TitleMain\n") >= titleCount) return true;
            pressKey(window, key);
        }
        return countOf(game->runLog(), "TitleMain\n") >= titleCount;
    }

    // White pixels where a second and third hi-score digit would stand: "HI" digits at (300, 30), 32 px cells.
    int whiteBeyondFirstDigit() {
        SDL_Surface* picture = takeScreenshot(dir, window);
        if (picture == nullptr) return -1;
        int white = 0;
        for (int y = 30; y < 62; ++y) {
            for (int x = 332; x < 428; ++x) {
                const Rgb c = pixelAt(picture, x, y);
                white += c.r > 240 && c.g > 240 && c.b > 240;
            }
        }
        SDL_FreeSurface(picture);
        return white;
    }
};

TEST_F(GameE2E, ALiveRecordRunThenItsReplay) {
    ASSERT_NO_FATAL_FAILURE(startAtTitle());
    EXPECT_EQ(whiteBeyondFirstDigit(), 0) << "a fresh title shows the hi-score 0";

    // Z on the title starts stage 0; without input the craft falls to the bottom edge.
    pressKey(window, "z");
    ASSERT_TRUE(game->waitForLog("Gamecoer init\nGamecoer init\n")) << game->runLog();
    ASSERT_TRUE(waitUntil([&] { return configNumber(dir.read("config.ini"), "HI_SCORE1") > 0 && dir.exists("replay/replay_00.bin"); },
                          30s))
        << "no record saved; config.ini: " << dir.read("config.ini") << " log: " << game->runLog();
    const std::string config = dir.read("config.ini");
    const std::string replay = dir.read("replay/replay_00.bin");
    EXPECT_EQ(config.substr(config.find("MODE")), "MODE = 0\n");
    EXPECT_EQ(replay.size() % 24, 0u);
    EXPECT_GT(replay.size(), 24u * 50);

    // The results hold Z back for 121 frames, then Z leaves for the title.
    ASSERT_TRUE(leaveForTitle(2)) << game->runLog();
    EXPECT_GT(whiteBeyondFirstDigit(), 0) << "the title shows the new hi-score of " << configNumber(config, "HI_SCORE1");

    // X watches the replay of the stage in the theatre; leaving it with X changes no file.
    pressKey(window, "x");
    ASSERT_TRUE(waitUntil([&] { return countOf(game->runLog(), "Gamecoer init\n") == 4; })) << game->runLog();
    EXPECT_EQ(countOf(game->runLog(), "TheatreMain\n"), 1) << game->runLog();
    ASSERT_TRUE(leaveForTitle(3, "x")) << game->runLog();
    EXPECT_EQ(dir.read("config.ini"), config);
    EXPECT_EQ(dir.read("replay/replay_00.bin"), replay);
    EXPECT_EQ(countOf(game->runLog(), "Could not save"), 0) << game->runLog();

    EXPECT_TRUE(quitsOnEscape(*game, window));
}

// After a record, the next live run races its ghost: the recorded craft fell
// from the start, so a live craft lifted off instead leaves it behind, and
// the pause holds both still for a screenshot.
TEST_F(GameE2E, AfterARecordTheNextRunShowsTheTranslucentGhost) {
    ASSERT_NO_FATAL_FAILURE(startAtTitle());
    pressKey(window, "z");
    ASSERT_TRUE(waitUntil([&] { return configNumber(dir.read("config.ini"), "HI_SCORE1") > 0 && dir.exists("replay/replay_00.bin"); },
                          30s))
        << "no record saved; log: " << game->runLog();
    ASSERT_TRUE(leaveForTitle(2)) << game->runLog();

    pressKey(window, "z");
    ASSERT_TRUE(waitUntil([&] { return countOf(game->runLog(), "Gamecoer init\n") == 4; })) << game->runLog();
    std::string why;
    SDL_Surface* picture = pictureWithTheCraftsApart(*game, dir, window, &why);
    ASSERT_NE(picture, nullptr) << why;
    keepScreenshot(dir, "ghost_paused.png");
    EXPECT_GT(ghostPixels(picture), 100) << "no translucent ghost on screen";
    // Its HUD line, "GHOST" in opaque amber under the score.
    const int hudLine = countPixels(picture, 0, 36, 200, 56,
                                    [](Rgb c) { return c.r > 240 && c.g > 160 && c.g < 190 && c.b < 80; });
    EXPECT_GT(hudLine, 100);
    SDL_FreeSurface(picture);

    EXPECT_TRUE(quitsOnEscape(*game, window));
}

}  // namespace

// The real game from start-up to the title screen, driven through X: the
// logo and its skip, stage choice, the screenshot key, config.ini on a start,
// the ways the program ends and their exit statuses.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#include "e2e_support.h"
#include "screenshot.h"

namespace {

using namespace e2e;

class StartupE2E : public GameWindowTest {
protected:
    // Takes a screenshot with F12 and loads it once the game has written it whole.
    SDL_Surface* screenshot() {
        return takeScreenshot(dir, window);
    }
};

// Counts white and black pixels in the rectangle [x0, x1) x [y0, y1).
struct Census {
    int white = 0;
    int black = 0;
    int total = 0;
};

Census census(SDL_Surface* surface, int x0, int y0, int x1, int y1) {
    Census result;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            Rgb c = pixelAt(surface, x, y);
            result.white += c.r > 240 && c.g > 240 && c.b > 240;
            result.black += c.r < 16 && c.g < 16 && c.b < 16;
            ++result.total;
        }
    }
    return result;
}

bool sameRegion(SDL_Surface* a, SDL_Surface* b, int x0, int y0, int x1, int y1) {
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            Rgb p = pixelAt(a, x, y), q = pixelAt(b, x, y);
            if (p.r != q.r || p.g != q.g || p.b != q.b) return false;
        }
    }
    return true;
}

TEST_F(StartupE2E, LogoThenZSkipsToTheTitleAndEscapeEndsCleanly) {
    startAtTitle();
    quitWithEscape();
    EXPECT_EQ(game->runLog(), "resource loaded.\nExec loop.\nTitleMain\ndKiln system quit.\n");
    // The same text went to standard output.
    EXPECT_NE(dir.read("game.stdout").find("TitleMain\n"), std::string::npos);
    EXPECT_NE(dir.read("game.stdout").find("dKiln system quit.\n"), std::string::npos);
    // A first start without config.ini leaves one with every value 0.
    EXPECT_EQ(dir.read("config.ini"), "HI_SCORE1 = 0\nHI_SCORE2 = 0\nHI_SCORE3 = 0\nHI_SCORE4 = 0\nMODE = 0\n");
    EXPECT_TRUE(gameWindows().empty());
}

TEST_F(StartupE2E, ScreenshotShowsTheTitleTextsInWhiteOnBlack) {
    startAtTitle();
    SDL_Surface* picture = screenshot();
    ASSERT_NE(picture, nullptr) << "no readable screenshot";
    EXPECT_EQ(picture->w, 640);
    EXPECT_EQ(picture->h, 480);
    // "KVR 2013" at (220, 200), scale 3: eight 24-pixel cells.
    Census name = census(picture, 220, 200, 412, 224);
    EXPECT_GT(name.white, name.total / 10);
    // "HI SCORE" at (300, 10), scale 2.
    Census hiScore = census(picture, 300, 10, 428, 26);
    EXPECT_GT(hiScore.white, hiScore.total / 10);
    // The bottom line, "DELTA HIDDEN YARD 2013" at (280, 460), scale 2.
    Census credit = census(picture, 280, 460, 632, 476);
    EXPECT_GT(credit.white, credit.total / 10);
    // Between the texts the screen is black.
    Census gap = census(picture, 0, 100, 640, 190);
    EXPECT_EQ(gap.black, gap.total);
    Census left = census(picture, 0, 0, 200, 30);
    EXPECT_EQ(left.black, left.total);
    SDL_FreeSurface(picture);
    quitWithEscape();
}

TEST_F(StartupE2E, RightChangesTheStageLabelAndFourPressesComeBack) {
    startAtTitle();
    SDL_Surface* first = screenshot();
    ASSERT_NE(first, nullptr);
    pressKey(window, "Right");
    SDL_Surface* second = screenshot();
    ASSERT_NE(second, nullptr);
    // "STAGE:1000M" becomes "STAGE:2000M": only the seventh cell of the
    // label at (250, 260), scale 2, changes.
    EXPECT_TRUE(sameRegion(first, second, 250, 260, 346, 276));
    EXPECT_FALSE(sameRegion(first, second, 346, 260, 362, 276));
    EXPECT_TRUE(sameRegion(first, second, 0, 0, 640, 250));
    EXPECT_TRUE(sameRegion(first, second, 0, 280, 640, 480));
    for (int i = 0; i < 3; ++i) pressKey(window, "Right");
    SDL_Surface* wrapped = screenshot();
    ASSERT_NE(wrapped, nullptr);
    EXPECT_TRUE(sameRegion(first, wrapped, 0, 0, 640, 480));
    SDL_FreeSurface(first);
    SDL_FreeSurface(second);
    SDL_FreeSurface(wrapped);
    quitWithEscape();
}

TEST_F(StartupE2E, RightThenZStoresStageTwoInConfig) {
    startAtTitle();
    pressKey(window, "Right");
    pressKey(window, "z");
    EXPECT_TRUE(waitUntil([&] { return dir.read("config.ini").find("MODE = 1\n") != std::string::npos; }))
        << dir.read("config.ini");
    EXPECT_EQ(dir.read("config.ini"), "HI_SCORE1 = 0\nHI_SCORE2 = 0\nHI_SCORE3 = 0\nHI_SCORE4 = 0\nMODE = 1\n");
    quitWithEscape();
}

TEST_F(StartupE2E, MissingFontEndsWithAMessageNamingEveryPlaceSearchedAndAFailureStatus) {
    // The game away from the checkout, started where resource/ lacks the font.
    WorkDir prefix(WorkDir::NoResources);
    const std::string binary = copyGameInto(prefix.path());
    dir.linkResourcesExcept({"font/font.bmp"});
    WorkDir output(WorkDir::NoResources);
    const auto before = snapshotTree(dir.path());
    game = std::make_unique<GameProcess>(dir, std::vector<std::string>{},
                                         Launch{.binary = binary, .outputDir = output.path()});
    std::optional<int> status = game->waitForExit();
    ASSERT_TRUE(status.has_value()) << "the game kept running without its font";
    EXPECT_EQ(*status, 1);
    EXPECT_EQ(game->standardError(),
              "kvr2013: cannot find the game's pictures and sounds (a directory holding font/font.bmp); looked in:\n"
              "  " + (prefix.path() / "share/kvr2013/resource").string() + "\n"
              "  " + (prefix.path() / "resource").string() + "\n"
              "  " + (dir.path() / "resource").string() + "\n"
              "Start it with --resources DIR naming the game's resource directory, or install it\n"
              "(cmake --install BUILD --prefix PREFIX, or the kvr2013 package).\n");
    EXPECT_EQ(game->standardOutput(), "");
    EXPECT_EQ(snapshotTree(dir.path()), before) << "nothing is written: no run.log, no config.ini";
    EXPECT_FALSE(std::filesystem::exists(dir / "home")) << "nor in the player's home";
    EXPECT_TRUE(gameWindows().empty());
}

TEST_F(StartupE2E, AMissingPictureEndsWithTheLoaderErrorNamingThePathTried) {
    // Resources of its own that hold the font but not the logo.
    WorkDir mine(WorkDir::NoResources);
    mine.linkResourcesExcept({"image/logo.bmp"});
    game = std::make_unique<GameProcess>(dir, std::vector<std::string>{"--resources", (mine / "resource").string(),
                                                                       "--data-dir", dir.path().string()});
    std::optional<int> status = game->waitForExit();
    ASSERT_TRUE(status.has_value()) << "the game kept running without its logo";
    EXPECT_EQ(*status, 1);
    EXPECT_EQ(game->runLog(), "resource loaded.\nExec loop.\nKiln_Texture::loadBmp : not found file: " +
                                  (mine / "resource" / "image" / "logo.bmp").string() + "\n");
}

TEST_F(StartupE2E, ResWithOneValueIsAUsageErrorBeforeAnyWindow) {
    game = std::make_unique<GameProcess>(dir, std::vector<std::string>{"-window", "-res", "800"});
    std::optional<int> status = game->waitForExit();
    ASSERT_TRUE(status.has_value());
    EXPECT_NE(*status, 0);
    EXPECT_NE(dir.read("game.stderr").find("-res"), std::string::npos);
    EXPECT_NE(dir.read("game.stderr").find("usage"), std::string::npos);
    EXPECT_FALSE(dir.exists("run.log"));
    EXPECT_FALSE(dir.exists("config.ini"));
    EXPECT_TRUE(gameWindows().empty());
}

TEST_F(StartupE2E, ResOpensAWindowOfThatSize) {
    game = std::make_unique<GameProcess>(dir, std::vector<std::string>{"-res", "320", "240", "-window"});
    window = game->waitForWindow();
    ASSERT_FALSE(window.empty());
    std::string geometry = runCommand("xdotool getwindowgeometry --shell " + window);
    EXPECT_NE(geometry.find("WIDTH=320\n"), std::string::npos) << geometry;
    EXPECT_NE(geometry.find("HEIGHT=240\n"), std::string::npos) << geometry;
    focusWindow(window);
    ASSERT_TRUE(game->waitForLog("Exec loop.\n"));
    quitWithEscape();
}

TEST_F(StartupE2E, WithoutADisplayItSaysSoAndStopsBeforeAnythingOpens) {
    const std::string noDisplay = "cd '" + dir.path().string() +
                                  "' && env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER SDL_AUDIODRIVER=dummy ";
    int status = -1;
    const std::string said = runCommand(noDisplay + gameBinary() + " 2>&1", &status);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(said.rfind("kvr2013: no display", 0), 0u) << said;
    EXPECT_NE(said.find("desktop session"), std::string::npos) << said;
    EXPECT_FALSE(dir.exists("run.log"));
    EXPECT_FALSE(dir.exists("config.ini"));
    // Checking a replay needs no display at all.
    const std::string replay = std::string(KVR_SOURCE_DIR) + "/bench/data/stage0.bin";
    const std::string checked =
        runCommand(noDisplay + gameBinary() + " --headless --stage 0 --replay '" + replay + "' 2>&1", &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(checked, "stage=0 frames=10182 score=27200 distance=1000m energy=5422 result=finished\n");
}

}  // namespace

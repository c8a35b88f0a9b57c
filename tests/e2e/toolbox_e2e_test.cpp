// The toolbox screen in the real game, driven through X: a mouse click moves
// the selected look from one image button to another, also in a resized
// window where the black bars take no clicks, and F2 switches the mouse
// recorder between live recording and playback of the recorded path.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>

#include "e2e_support.h"
#include "screenshot.h"

namespace {

using namespace e2e;

// Where the toolbox screen puts things (640 x 480 drawing space, window of the same size).
struct Rect {
    int x0, y0, x1, y1;
};
constexpr Rect START_BUTTON = {16, 48, 96, 80};  // first large button, selected at start
constexpr Rect STAGE_BUTTON = {112, 48, 192, 80};
constexpr Rect SELECTED_NAME = {400, 12, 640, 28};  // after "SELECTED: " at (240, 12), scale 2
constexpr Rect STATUS_LINE = {16, 336, 400, 352};
constexpr int IDLE_MOUSE_X = 560;  // a black corner with nothing drawn
constexpr int IDLE_MOUSE_Y = 440;

// The game samples the mouse once per 16 ms frame; a button held for about
// six frames is seen whatever the phase of the frame clock.
constexpr auto kButtonHold = 100ms;

class ToolboxE2E : public GameWindowTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(GameWindowTest::SetUp());
        game = std::make_unique<GameProcess>(dir, std::vector<std::string>{"--toolbox", "-window"});
        window = game->waitForWindow();
        ASSERT_FALSE(window.empty()) << "no game window; exit status " << game->waitForExit(0ms).value_or(-1)
                                     << "; stderr: " << dir.read("game.stderr") << "; run.log: " << game->runLog();
        focusWindow(window);
        ASSERT_TRUE(game->waitForLog("ToolboxMain\n")) << game->runLog();
    }

    void moveMouse(int x, int y) {
        runCommand("xdotool mousemove --window " + window + " " + std::to_string(x) + " " + std::to_string(y) +
                   " 2>&1");
        std::this_thread::sleep_for(kButtonHold);
    }

    void clickLeft() {
        runCommand("xdotool mousedown 1 2>&1");
        std::this_thread::sleep_for(kButtonHold);
        runCommand("xdotool mouseup 1 2>&1");
        std::this_thread::sleep_for(kButtonHold);
    }

    SDL_Surface* screenshot() {
        return takeScreenshot(dir, window);
    }

    void quitWithEscape() {
        ASSERT_TRUE(quitsOnEscape(*game, window));
        EXPECT_EQ(game->runLog(), "resource loaded.\nToolboxMain\nExec loop.\ndKiln system quit.\n");
    }
};

// Mean of r + g + b over a rectangle: a lit button is far brighter than a dimmed one.
double brightness(SDL_Surface* surface, const Rect& area) {
    double sum = 0;
    for (int y = area.y0; y < area.y1; ++y) {
        for (int x = area.x0; x < area.x1; ++x) {
            Rgb c = pixelAt(surface, x, y);
            sum += c.r + c.g + c.b;
        }
    }
    return sum / ((area.x1 - area.x0) * (area.y1 - area.y0));
}

// Pixels in a rectangle whose colour passes a test.
template <typename Test>
int countPixels(SDL_Surface* surface, const Rect& area, Test test) {
    int count = 0;
    for (int y = area.y0; y < area.y1; ++y) {
        for (int x = area.x0; x < area.x1; ++x) count += test(pixelAt(surface, x, y)) ? 1 : 0;
    }
    return count;
}

bool sameRegion(SDL_Surface* a, SDL_Surface* b, const Rect& area) {
    for (int y = area.y0; y < area.y1; ++y) {
        for (int x = area.x0; x < area.x1; ++x) {
            Rgb p = pixelAt(a, x, y), q = pixelAt(b, x, y);
            if (p.r != q.r || p.g != q.g || p.b != q.b) return false;
        }
    }
    return true;
}

bool isRed(const Rgb& c) { return c.r > 200 && c.g < 100 && c.b < 100; }
bool isCyan(const Rgb& c) { return c.r < 100 && c.g > 200 && c.b > 200; }

}  // namespace

TEST_F(ToolboxE2E, ClickingAnImageButtonGivesItTheSelectedLook) {
    moveMouse(IDLE_MOUSE_X, IDLE_MOUSE_Y);
    SDL_Surface* before = screenshot();
    ASSERT_NE(before, nullptr) << "no readable screenshot";
    ASSERT_EQ(before->w, 640);
    ASSERT_EQ(before->h, 480);

    moveMouse((STAGE_BUTTON.x0 + STAGE_BUTTON.x1) / 2, (STAGE_BUTTON.y0 + STAGE_BUTTON.y1) / 2);
    clickLeft();
    SDL_Surface* after = screenshot();
    ASSERT_NE(after, nullptr) << "no readable screenshot";

    const double startBefore = brightness(before, START_BUTTON);
    const double stageBefore = brightness(before, STAGE_BUTTON);
    const double startAfter = brightness(after, START_BUTTON);
    const double stageAfter = brightness(after, STAGE_BUTTON);
    SCOPED_TRACE(testing::Message() << "START " << startBefore << " -> " << startAfter << ", STAGE " << stageBefore
                                    << " -> " << stageAfter);
    // The selected button is lit and its label white; the others are dimmed.
    EXPECT_GT(startBefore, stageBefore * 1.3);
    EXPECT_GT(stageAfter, stageBefore * 1.3);
    EXPECT_GT(stageAfter, startAfter * 1.3);
    EXPECT_LT(startAfter, startBefore / 1.3);
    // The name printed at the top changed with the selection.
    EXPECT_FALSE(sameRegion(before, after, SELECTED_NAME));
    SDL_FreeSurface(before);
    SDL_FreeSurface(after);
    quitWithEscape();
}

TEST_F(ToolboxE2E, F2PlaysTheRecordedMouseBackAndF2AgainGoesLive) {
    // The whole recording is made with the mouse resting in an empty corner.
    moveMouse(IDLE_MOUSE_X, IDLE_MOUSE_Y);
    std::this_thread::sleep_for(1s);
    SDL_Surface* live = screenshot();
    ASSERT_NE(live, nullptr);
    EXPECT_GT(countPixels(live, STATUS_LINE, isRed), 0) << "the recording status line is red";
    EXPECT_EQ(countPixels(live, STATUS_LINE, isCyan), 0);

    pressKey(window, "F2");
    SDL_Surface* playback = screenshot();
    ASSERT_NE(playback, nullptr);
    EXPECT_GT(countPixels(playback, STATUS_LINE, isCyan), 0) << "the playback status line is cyan";
    EXPECT_EQ(countPixels(playback, STATUS_LINE, isRed), 0);
    // The played-back path is drawn where the mouse rested, and only there.
    const Rect nearRest = {IDLE_MOUSE_X - 12, IDLE_MOUSE_Y - 12, IDLE_MOUSE_X + 12, IDLE_MOUSE_Y + 12};
    EXPECT_GT(countPixels(playback, nearRest, isCyan), 0);
    EXPECT_EQ(countPixels(live, nearRest, isCyan), 0);

    pressKey(window, "F2");
    SDL_Surface* liveAgain = screenshot();
    ASSERT_NE(liveAgain, nullptr);
    EXPECT_GT(countPixels(liveAgain, STATUS_LINE, isRed), 0);
    EXPECT_EQ(countPixels(liveAgain, nearRest, isCyan), 0) << "no path is drawn while recording";
    SDL_FreeSurface(live);
    SDL_FreeSurface(playback);
    SDL_FreeSurface(liveAgain);
    quitWithEscape();
}

TEST_F(ToolboxE2E, InAResizedWindowAClickHitsTheSameButtonAndTheBarsHitNothing) {
    placeWindow(window, 1000, 500);
    const PictureRect picture = expectedPicture(1000, 500);  // 666 x 500 at (167, 0)
    // Wait until the game draws into its new size: the left bar black, the buttons beside it.
    SDL_Surface* shown = nullptr;
    ASSERT_TRUE(waitUntil([&] {
        if (shown) SDL_FreeSurface(shown);
        shown = captureWindow(dir, window);
        return shown && shown->w == 1000 && litPixels(shown, 0, 0, picture.x, 500) == 0 &&
               litPixels(shown, picture.x, 40, picture.x + 100, 90) > 0;
    }));
    SDL_FreeSurface(shown);
    const auto toWindow = [&](int x, int y) {
        return std::make_pair(picture.x + x * picture.width / 640, picture.y + y * picture.height / 480);
    };
    const auto [restX, restY] = toWindow(IDLE_MOUSE_X, IDLE_MOUSE_Y);
    moveMouse(restX, restY);
    SDL_Surface* before = screenshot();
    ASSERT_NE(before, nullptr);

    // On the left bar, level with the START button: nothing is there to click.
    clickAt(window, 40, toWindow(0, (START_BUTTON.y0 + START_BUTTON.y1) / 2).second);
    moveMouse(restX, restY);
    SDL_Surface* afterBar = screenshot();
    ASSERT_NE(afterBar, nullptr);
    EXPECT_TRUE(sameRegion(before, afterBar, SELECTED_NAME)) << "a click on the bar selected something";
    EXPECT_GT(brightness(afterBar, START_BUTTON), brightness(afterBar, STAGE_BUTTON) * 1.3);

    const auto [stageX, stageY] =
        toWindow((STAGE_BUTTON.x0 + STAGE_BUTTON.x1) / 2, (STAGE_BUTTON.y0 + STAGE_BUTTON.y1) / 2);
    clickAt(window, stageX, stageY);
    moveMouse(restX, restY);
    SDL_Surface* after = screenshot();
    ASSERT_NE(after, nullptr);
    EXPECT_GT(brightness(after, STAGE_BUTTON), brightness(after, START_BUTTON) * 1.3) << "STAGE is the one lit";
    EXPECT_FALSE(sameRegion(before, after, SELECTED_NAME));
    SDL_FreeSurface(before);
    SDL_FreeSurface(afterBar);
    SDL_FreeSurface(after);
    quitWithEscape();
}

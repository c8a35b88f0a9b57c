// The real game waits for its player: a stand-in controller (the game's test
// pad, an SDL virtual game controller) starts a run from the title, pulling
// it out mid-run opens the pause menu, and plugging it in again and pressing
// its south button goes on; another X client taking the focus opens the pause
// menu too, and getting the focus back does not resume by itself.
#include <SDL.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <cstdlib>
#include <memory>

#include "e2e_support.h"
#include "screenshot.h"

namespace {

using namespace e2e;


class AwayE2E : public GameWindowTest {
protected:
    // Waits for the countdown's " GO! ": the run is about to move, so what
    // happens next happens mid-run. "READY" has a letter in the first cell of
    // the text at (240, 200), scale 4; " GO! " starts with a space.
    bool waitForGo() {
        return waitUntil([&] {
            SDL_Surface* shot = takeScreenshot(dir, window);
            if (!shot) return false;
            const bool go = litPixels(shot, 240, 200, 272, 232) == 0 && litPixels(shot, 272, 200, 304, 232) > 0;
            SDL_FreeSurface(shot);
            return go;
        });
    }

    // Takes F12 screenshots until the pause menu's showing matches `shown`.
    bool waitForPauseMenu(bool shown) {
        return waitUntil([&] {
            SDL_Surface* shot = takeScreenshot(dir, window);
            if (!shot) return false;
            const bool menu = showsPauseMenu(shot);
            SDL_FreeSurface(shot);
            return menu == shown;
        });
    }
};

TEST_F(AwayE2E, APadStartsARunPullingItOutPausesAndPluggingItInAgainGoesOn) {
    TestPad pad(dir);
    ASSERT_NO_FATAL_FAILURE(startGame({}, Launch{.environment = {pad.environment()}}));
    ASSERT_TRUE(pad.send("attach"));
    ASSERT_TRUE(game->waitForLog("Controller connected: KVR Test Pad\n")) << game->runLog();
    ASSERT_TRUE(pad.tap("south"));  // skips the logo
    ASSERT_TRUE(game->waitForLog("TitleMain\n")) << game->runLog();
    ASSERT_TRUE(pad.tap("south"));  // starts a run
    ASSERT_TRUE(game->waitForLog("Gamecoer init\nGamecoer init\n")) << game->runLog();
    ASSERT_TRUE(waitForGo());

    ASSERT_TRUE(pad.send("detach"));
    ASSERT_TRUE(game->waitForLog("Controller disconnected: KVR Test Pad\n")) << game->runLog();
    ASSERT_TRUE(waitForPauseMenu(true)) << "no pause menu after the pad was pulled out";

    ASSERT_TRUE(pad.send("attach"));
    ASSERT_TRUE(waitUntil([&] { return countOf(game->runLog(), "Controller connected: KVR Test Pad\n") == 2; }));
    ASSERT_TRUE(waitForPauseMenu(true)) << "plugging it in does not resume by itself";
    ASSERT_TRUE(pad.tap("south"));  // "go on" is the menu's first item
    EXPECT_TRUE(waitForPauseMenu(false)) << "south did not resume the run";
    quitWithEscape();
}

TEST_F(AwayE2E, AnotherWindowTakingTheFocusPausesTheRunUntilThePlayerGoesOn) {
    ASSERT_NO_FATAL_FAILURE(startGame());
    pressKey(window, "z");
    ASSERT_TRUE(game->waitForLog("TitleMain\n")) << game->runLog();
    pressKey(window, "z");
    ASSERT_TRUE(game->waitForLog("Gamecoer init\nGamecoer init\n")) << game->runLog();
    ASSERT_TRUE(waitForGo());

    Xclock other;
    ASSERT_FALSE(other.window().empty()) << "xclock did not open (scripts/setup.sh installs x11-apps)";
    focusWindow(other.window());
    // Captured from the X server, so the game keeps the focus lost while we look.
    SDL_Surface* shown = nullptr;
    EXPECT_TRUE(waitUntil([&] {
        if (shown) SDL_FreeSurface(shown);
        shown = captureWindow(dir, window);
        return shown && showsPauseMenu(shown);
    })) << "no pause menu after the focus went to another window";
    if (shown) SDL_FreeSurface(shown);

    // Back in the game's window the menu stays until the player chooses.
    focusWindow(window);
    ASSERT_TRUE(waitForPauseMenu(true));
    ASSERT_TRUE(waitForPauseMenu(true));
    pressKey(window, "z");
    EXPECT_TRUE(waitForPauseMenu(false)) << "Z on \"go on\" did not resume the run";
    quitWithEscape();
}

}  // namespace

// A live run waits for its player: the window losing the focus (or being
// minimised) and a controller pulled out both open the pause menu after the
// frame ran whole, as B does, and only the player resumes. A replay being
// watched and the screens around a run take no notice.
#include "scene_test_support.h"

using namespace scene_test;

namespace {

class AwayPause : public SceneTest {
protected:
    // One frame whose events say the player went away.
    void frameAway(Away away, int pad) {
        if (away == Away::Window) kiln_headless::loseFocus();
        if (away == Away::Controller) kiln_headless::disconnectController(pad);
        playFrame(*game, {});
    }
};

TEST_F(AwayPause, LosingTheWindowOrTheControllerPausesAfterTheFrameAndOnlyThePlayerResumes) {
    for (Away away : {Away::Window, Away::Controller}) {
        SCOPED_TRACE(away == Away::Window ? "window" : "controller");
        const int pad = plugInPad();
        startPlaying();
        for (int i = 0; i < 5; ++i) playFrame(*game, {});
        const int frames = game->frameCounter;
        const int scroll = game->scrollPos;
        frameAway(away, pad);
        ASSERT_EQ(game->phase, GameMain::PAUSE);
        EXPECT_EQ(game->frameCounter, frames + 1) << "the frame ran whole";
        EXPECT_EQ(game->scrollPos, scroll + 100);
        EXPECT_EQ(game->pauseCursor, 0);
        // Coming back changes nothing by itself.
        for (int i = 0; i < 100; ++i) playFrame(*game, {});
        EXPECT_EQ(game->phase, GameMain::PAUSE);
        EXPECT_EQ(game->frameCounter, frames + 1);
        playFrame(*game, {.a = true});
        EXPECT_EQ(game->phase, GameMain::PLAY);
        playFrame(*game, {});
        EXPECT_EQ(game->scrollPos, scroll + 200);
        restartFramework(true);
    }
}

TEST_F(AwayPause, AControllerPluggedInAgainResumesWithItsSouthButton) {
    const int first = plugInPad("First Pad");
    startPlaying();
    frameAway(Away::Controller, first);
    ASSERT_EQ(game->phase, GameMain::PAUSE);
    const int again = kiln_headless::connectController("First Pad", true);
    playFrame(*game, {});
    playFrame(*game, {});
    EXPECT_EQ(game->phase, GameMain::PAUSE) << "plugging it in is not a choice";
    kiln_headless::setControllerInput(again, CONTROLLER_SOUTH, true);
    playFrame(*game, {});
    EXPECT_EQ(game->phase, GameMain::PLAY);
}

TEST_F(AwayPause, StartPausesAndResumesAndIsNeverRecorded) {
    const int pad = plugInPad();
    startPlaying();
    kiln_headless::setControllerInput(pad, CONTROLLER_START, true);
    playFrame(*game, {});
    ASSERT_EQ(game->phase, GameMain::PAUSE);
    playFrame(*game, {});
    EXPECT_EQ(game->phase, GameMain::PAUSE) << "held down is not pressed again";
    kiln_headless::setControllerInput(pad, CONTROLLER_START, false);
    playFrame(*game, {});
    kiln_headless::setControllerInput(pad, CONTROLLER_START, true);
    playFrame(*game, {});
    EXPECT_EQ(game->phase, GameMain::PLAY);
    for (int frame = 0; frame <= game->keypad->getFrame(); ++frame) {
        ASSERT_FALSE(game->keypad->stateAt(frame).pressB) << "frame " << frame;
    }
}

TEST_F(AwayPause, LookingAwayDuringTheCountdownPausesOnTheFirstPlayFrame) {
    newGame();
    playFrame(*game, {});
    ASSERT_EQ(game->phase, GameMain::READY);
    kiln_headless::loseFocus();
    playFrame(*game, {});
    EXPECT_EQ(game->phase, GameMain::READY) << "there is no pause menu before the run moves";
    runUntilPhase(GameMain::PAUSE, 400);
    EXPECT_EQ(game->scrollPos, 0) << "not one play frame went by";
    EXPECT_EQ(game->keypad->getFrame(), 0);
}

TEST_F(AwayPause, AReplayBeingWatchedAndTheResultsTakeNoNotice) {
    writeFile("config.ini", "HI_SCORE1 = 0\nHI_SCORE2 = 0\nHI_SCORE3 = 0\nHI_SCORE4 = 0\nMODE = 0\n");
    startPlaying();
    for (int i = 0; i < 60; ++i) playFrame(*game, {.up = holdHeight(*game, 240)});
    runUntilPhase(GameMain::RESULTS);
    ASSERT_TRUE(std::filesystem::exists("replay/replay_00.bin"));
    kiln_headless::loseFocus();
    playFrame(*game, {});
    EXPECT_EQ(game->phase, GameMain::RESULTS);

    restartFramework(true);
    const int pad = plugInPad();
    Kiln_setGlobalInt(REPLAY_FLAG_SLOT, 1);
    newGame();
    runUntilPhase(GameMain::PLAY, 400);
    kiln_headless::loseFocus();
    playFrame(*game, {});
    frameAway(Away::Controller, pad);
    EXPECT_EQ(game->phase, GameMain::PLAY);
    EXPECT_EQ(game->replayMode, 1);
}

}  // namespace

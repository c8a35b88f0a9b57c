// The phase machine of a run: the first frame, the countdown, the frame gate
// of slow motion and hit-stop, the way from the results back to the title,
// and the pause menu.
#include "scene_test_support.h"

using namespace scene_test;

namespace {

class GamePhases : public SceneTest {};

TEST_F(GamePhases, FirstFrameStartsTheRunAndAlreadyShowsReady) {
    newGame();
    EXPECT_EQ(game->phase, GameMain::INIT);
    EXPECT_EQ(game->getMessage(), MSG_NONE);
    kiln_headless::clearDrawCalls();
    playFrame(*game, {});
    EXPECT_EQ(game->phase, GameMain::READY);
    EXPECT_EQ(game->frameCounter, 1);
    EXPECT_EQ(textAt(240, 200, 4.0f), "READY");
    EXPECT_EQ(textAt(2, 2, 2.0f), "SCORE:0");
}

TEST_F(GamePhases, CountdownLasts181UpdatesAndStartsTheMusicWhenItEnds) {
    newGame();
    playFrame(*game, {});
    kiln_headless::clearSoundEvents();
    for (int i = 0; i < 180; ++i) {
        kiln_headless::clearDrawCalls();
        playFrame(*game, {});
        ASSERT_EQ(game->phase, GameMain::READY) << "update " << i;
        if (game->readyTimer == 120) {
            EXPECT_EQ(textAt(240, 200, 4.0f), "READY");
        }
        if (game->readyTimer == 121) {
            EXPECT_EQ(textAt(240, 200, 4.0f), " GO!");
        }
    }
    EXPECT_EQ(countSound(KilnSoundEvent::PLAY_BGM, "resource/sound/bgm.ogg"), 0);
    EXPECT_EQ(game->scrollPos, 0) << "nothing moves during the countdown";
    playFrame(*game, {});
    EXPECT_EQ(game->phase, GameMain::PLAY);
    EXPECT_EQ(game->readyTimer, 0);
    ASSERT_EQ(countSound(KilnSoundEvent::PLAY_BGM, "resource/sound/bgm.ogg"), 1);
    EXPECT_EQ(kiln_headless::soundEvents().back().value, -1) << "the music loops";
    EXPECT_EQ(game->scrollPos, 0) << "the course starts with the next update";
    playFrame(*game, {});
    EXPECT_EQ(game->scrollPos, 100);
    EXPECT_EQ(game->keypad->getFrame(), 1);
}

TEST_F(GamePhases, SlowMotionLetsOnlyOddFramesMoveWhileTimersRunEveryFrame) {
    startPlaying();
    if (game->frameCounter % 2 != 0) playFrame(*game, {});
    ASSERT_EQ(game->frameCounter % 2, 0);
    game->slowMotionFrames = 4;
    game->shakeFrames = 6;
    const int scroll = game->scrollPos;
    const int keypadFrame = game->keypad->getFrame();

    playFrame(*game, {});  // even frame: no play step
    EXPECT_EQ(game->scrollPos, scroll);
    EXPECT_EQ(game->keypad->getFrame(), keypadFrame);
    EXPECT_EQ(game->slowMotionFrames, 3);
    EXPECT_EQ(game->shakeFrames, 5);

    playFrame(*game, {});  // odd frame: one play step
    EXPECT_EQ(game->scrollPos, scroll + 100);
    EXPECT_EQ(game->keypad->getFrame(), keypadFrame + 1);
    EXPECT_EQ(game->slowMotionFrames, 2);

    playFrame(*game, {});
    playFrame(*game, {});
    EXPECT_EQ(game->scrollPos, scroll + 200);
    EXPECT_EQ(game->slowMotionFrames, 0);
    playFrame(*game, {});  // even, but slow motion is over
    EXPECT_EQ(game->scrollPos, scroll + 300);
}

TEST_F(GamePhases, HitStopFreezesThePlayStepButNotTheTimersNorTheFrameCount) {
    startPlaying();
    game->hitStopFrames = 3;
    game->shakeFrames = 10;
    const int scroll = game->scrollPos;
    const int frames = game->frameCounter;
    for (int i = 0; i < 3; ++i) playFrame(*game, {});
    EXPECT_EQ(game->scrollPos, scroll);
    EXPECT_EQ(game->hitStopFrames, 0);
    EXPECT_EQ(game->shakeFrames, 7);
    EXPECT_EQ(game->frameCounter, frames + 3);
    playFrame(*game, {});
    EXPECT_EQ(game->scrollPos, scroll + 100);
}

TEST_F(GamePhases, ALostCraftEndsTheRunWithTheResultsJingle) {
    startPlaying();
    playFrame(*game, {});
    kiln_headless::clearSoundEvents();
    game->player.life = 0;
    playFrame(*game, {});
    EXPECT_EQ(game->phase, GameMain::RESULTS);
    EXPECT_EQ(game->scrollSpeed, 0);
    EXPECT_EQ(countSound(KilnSoundEvent::PLAY_BGM, "resource/sound/results.wav"), 1);
    const int keypadFrame = game->keypad->getFrame();
    const int scroll = game->scrollPos;
    playFrame(*game, {});
    EXPECT_EQ(game->keypad->getFrame(), keypadFrame) << "the keypad stops with the run";
    EXPECT_EQ(game->scrollPos, scroll);
}

TEST_F(GamePhases, ResultsIgnoreTheExitButtonsFor121FramesThenLeaveForTheTitle) {
    startPlaying();
    game->player.life = 0;
    playFrame(*game, {});
    ASSERT_EQ(game->phase, GameMain::RESULTS);
    // Tap Z and UP in turn through the locked frames: every tap is a fresh push.
    for (int i = 0; i < 121; ++i) {
        playFrame(*game, {.up = i % 4 == 2, .a = i % 4 == 0});
        ASSERT_EQ(game->phase, GameMain::RESULTS) << "results frame " << i;
    }
    EXPECT_EQ(game->resultsTimer, 121);
    playFrame(*game, {});
    EXPECT_EQ(game->phase, GameMain::RESULTS) << "no button, no exit";
    playFrame(*game, {.up = true});
    EXPECT_EQ(game->phase, GameMain::EXIT);
    playFrame(*game, {});
    EXPECT_EQ(game->phase, GameMain::END);
    EXPECT_EQ(game->getMessage(), MSG_NONE);
    kiln_headless::clearDrawCalls();
    playFrame(*game, {});
    EXPECT_EQ(game->getMessage(), MSG_TITLE);
    for (const KilnDrawCall& call : kiln_headless::drawCalls()) {
        if (call.kind == KilnDrawCall::GLYPH) {
            EXPECT_EQ(call.w, 8.0f) << "only the frame-rate overlay is drawn";
        }
        EXPECT_NE(call.kind, KilnDrawCall::RECT);
    }
}

TEST_F(GamePhases, ZAloneLeavesTheResultsOnceUnlocked) {
    startPlaying();
    game->player.life = 0;
    playFrame(*game, {});
    for (int i = 0; i < 121; ++i) playFrame(*game, {});
    playFrame(*game, {.a = true});
    EXPECT_EQ(game->phase, GameMain::EXIT);
}

TEST_F(GamePhases, PhasesBeyondTheLastActLikeEnd) {
    newGame();
    playFrame(*game, {});
    game->phase = 12;
    playFrame(*game, {});
    EXPECT_EQ(game->getMessage(), MSG_TITLE);
}

TEST_F(GamePhases, BPausesAfterTheFrameAndPausedFramesDoNotCount) {
    startPlaying();
    for (int i = 0; i < 5; ++i) playFrame(*game, {});
    const int frames = game->frameCounter;
    playFrame(*game, {.b = true});
    ASSERT_EQ(game->phase, GameMain::PAUSE);
    EXPECT_EQ(game->frameCounter, frames + 1) << "the frame that asked for the pause ran whole";
    const GameMain& g = *game;
    const int scroll = g.scrollPos, keypadFrame = g.keypad->getFrame(), y = g.player.y, energy = g.player.energy;
    for (int i = 0; i < 7; ++i) playFrame(*game, {.up = i % 2 == 0});
    EXPECT_EQ(game->phase, GameMain::PAUSE);
    EXPECT_EQ(game->frameCounter, frames + 1);
    EXPECT_EQ(game->scrollPos, scroll);
    EXPECT_EQ(game->keypad->getFrame(), keypadFrame);
    EXPECT_EQ(game->player.y, y);
    EXPECT_EQ(game->player.energy, energy);
    playFrame(*game, {.b = true});
    EXPECT_EQ(game->phase, GameMain::PLAY);
    EXPECT_EQ(game->frameCounter, frames + 1) << "the resuming frame does not count either";
    playFrame(*game, {});
    EXPECT_EQ(game->frameCounter, frames + 2);
    EXPECT_EQ(game->scrollPos, scroll + 100);
}

TEST_F(GamePhases, PauseMenuCursorWrapsAndAChoosesResumeOrLeave) {
    startPlaying();
    playFrame(*game, {.b = true});
    ASSERT_EQ(game->phase, GameMain::PAUSE);
    EXPECT_EQ(game->pauseCursor, 0);
    playFrame(*game, {.down = true});
    EXPECT_EQ(game->pauseCursor, 1) << "down from the first item wraps to the last";
    playFrame(*game, {});
    playFrame(*game, {.up = true});
    EXPECT_EQ(game->pauseCursor, 0) << "up from the last item wraps to the first";
    playFrame(*game, {});
    playFrame(*game, {.a = true});
    EXPECT_EQ(game->phase, GameMain::PLAY) << "A on the first item resumes";

    playFrame(*game, {.b = true});
    ASSERT_EQ(game->phase, GameMain::PAUSE);
    EXPECT_EQ(game->pauseCursor, 0) << "every pause opens on the first item";
    playFrame(*game, {.up = true});
    EXPECT_EQ(game->pauseCursor, 1);
    playFrame(*game, {});
    playFrame(*game, {.a = true});
    EXPECT_EQ(game->phase, GameMain::EXIT) << "A on the second item leaves the run";
    playFrame(*game, {});
    playFrame(*game, {});
    EXPECT_EQ(game->getMessage(), MSG_TITLE);
}

TEST_F(GamePhases, PauseMenuIsDrawnUnshakenOverTheField) {
    startPlaying();
    game->shakeFrames = 20;
    playFrame(*game, {});
    playFrame(*game, {.b = true});
    ASSERT_EQ(game->phase, GameMain::PAUSE);
    playFrame(*game, {.down = true});
    kiln_headless::clearDrawCalls();
    game->draw();
    std::vector<KilnDrawCall> menu;
    for (const KilnDrawCall& call : kiln_headless::drawCalls()) {
        if (call.kind == KilnDrawCall::TEXTURE && call.key == "menu") menu.push_back(call);
    }
    ASSERT_EQ(menu.size(), 2u);
    EXPECT_EQ(menu[0].x, 256.0f);
    EXPECT_EQ(menu[0].y, 184.0f + 32.0f);
    EXPECT_EQ(menu[0].srcX, 320);
    EXPECT_EQ(menu[0].srcW, 32);
    EXPECT_EQ(menu[1].x, 160.0f);
    EXPECT_EQ(menu[1].y, 120.0f);
    EXPECT_EQ(menu[1].srcW, 320);
    EXPECT_EQ(menu[1].srcH, 240);
    EXPECT_EQ(textAt(2, 2, 2.0f).substr(0, 6), "SCORE:") << "the HUD stays under the menu";
}

TEST_F(GamePhases, SmallHelpers) {
    newGame();
    EXPECT_EQ(game->padZeros("7", 3), "007");
    EXPECT_EQ(game->padZeros("1234", 3), "1234");
    EXPECT_EQ(game->padZeros("", 2), "00");
    EXPECT_EQ(game->getScreenWidth(), 640);
    EXPECT_EQ(game->getScreenHeight(), 480);
}

}  // namespace

// The replay verifier throws drawing away and skips the layers that only
// paint. That must not change a run: a live run drawn on screen and the
// replay of its recording played with drawing discarded pass through the same
// states and the same random draws, frame by frame, through the results
// screen, whose "NEW RECORD !" colours come from the run's random sequence.
#include "scene_test_support.h"

using namespace scene_test;

namespace {

class DiscardedDrawing : public SceneTest {
protected:
    // Plays frames until the results screen has been up for resultsFrames
    // frames, noting the state after each frame's update and after its draw.
    template <typename Pilot>
    std::vector<FrameState> play(Pilot pilot, int resultsFrames) {
        std::vector<FrameState> trace;
        int shownResults = 0;
        for (int i = 0; i < 40000 && shownResults < resultsFrames; ++i) {
            // No keys on the results screen: UP or Z there would leave it.
            updateFrame(*game, game->phase == GameMain::RESULTS ? Keys{} : pilot(i));
            trace.push_back(stateOf(*game));
            game->draw();
            trace.push_back(stateOf(*game));
            shownResults += game->phase == GameMain::RESULTS;
        }
        return trace;
    }
};

TEST_F(DiscardedDrawing, AReplayWithoutDrawingMakesTheSameRandomDrawsAsTheRunOnScreen) {
    writeFile("config.ini", "HI_SCORE1 = 0\nHI_SCORE2 = 0\nHI_SCORE3 = 0\nHI_SCORE4 = 0\nMODE = 0\n");
    restartFramework(true);
    newGame();
    const std::vector<FrameState> live =
        play([this](int i) { return Keys{.up = holdHeight(*game, 160 + (i / 250 % 4) * 50), .a = i % 500 == 499}; },
             300);
    ASSERT_EQ(game->phase, GameMain::RESULTS);
    ASSERT_FALSE(kiln_headless::drawCalls().empty()) << "the live run is drawn";
    ASSERT_TRUE(std::filesystem::exists("replay/replay_00.bin"));

    restartFramework(false);
    ASSERT_TRUE(Kiln_isDrawingDiscarded());
    Kiln_setGlobalInt(REPLAY_FLAG_SLOT, 1);
    newGame();
    const std::vector<FrameState> replay = play([](int) { return Keys{}; }, 300);
    EXPECT_TRUE(kiln_headless::drawCalls().empty());

    ASSERT_EQ(replay.size(), live.size());
    for (size_t i = 0; i < live.size(); ++i) {
        ASSERT_EQ(replay[i], live[i]) << "first difference at step " << i << (i % 2 ? " (after draw)" : " (after update)");
    }
    // The record colours drew from the sequence while the results were up.
    const FrameState& lastUpdate = live[live.size() - 2];
    EXPECT_GT(live.back().randIndex, lastUpdate.randIndex);
}

}  // namespace

// A run is a function of its stage and its recorded input: a live run and the
// replay of its recording go through the same states frame by frame, also
// when the live run was paused in the middle of a slow motion, by B or by
// the player looking away. And a run
// allocates nothing once it is under way.
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "scene_test_support.h"

using namespace scene_test;

namespace {

std::atomic<bool> countingAllocations{false};
std::atomic<long> allocationCount{0};

}  // namespace

// Counts every allocation of this test program while counting is on.
void* operator new(std::size_t size) {
    if (countingAllocations.load(std::memory_order_relaxed)) allocationCount.fetch_add(1);
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) throw std::bad_alloc();
    return block;
}
// The replacement new above takes its blocks from malloc, so free is the match;
// the compiler cannot see that pairing through inlined callers.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
#pragma GCC diagnostic pop

namespace {

class ReplayFidelity : public SceneTest {
protected:
    // Plays the replay that the live run saved for the stage and collects its states.
    std::vector<FrameState> replayTrace(int& finalScore) {
        restartFramework(false);
        Kiln_setGlobalInt(REPLAY_FLAG_SLOT, 1);
        newGame();
        std::vector<FrameState> trace;
        // The live keys are pressed at random: a replay must not listen to them.
        uint32_t noise = 12345;
        for (int i = 0; i < 40000 && game->phase != GameMain::RESULTS; ++i) {
            noise = noise * 1103515245u + 12345u;
            playFrame(*game, {.up = (noise >> 16) % 3 == 0, .a = (noise >> 20) % 50 == 0});
            trace.push_back(stateOf(*game));
        }
        EXPECT_EQ(game->replayMode, 1);
        finalScore = game->score;
        return trace;
    }

    // The live run just ended: its saved replay must end on the same score
    // after the same states, frame for frame.
    void expectReplayRetraces(const std::vector<FrameState>& live) {
        const int liveScore = game->score;
        int replayScore = -1;
        const std::vector<FrameState> replay = replayTrace(replayScore);
        EXPECT_EQ(replayScore, liveScore);
        ASSERT_EQ(replay.size(), live.size());
        for (size_t i = 0; i < live.size(); ++i) ASSERT_EQ(replay[i], live[i]) << "first difference in frame " << i;
    }
};

TEST_F(ReplayFidelity, TheReplayOfALiveRunGoesThroughTheSameStates) {
    writeFile("config.ini", "HI_SCORE1 = 0\nHI_SCORE2 = 0\nHI_SCORE3 = 0\nHI_SCORE4 = 0\nMODE = 0\n");
    restartFramework(false);
    newGame();
    std::vector<FrameState> live;
    int barriers = 0;
    for (int i = 0; i < 40000 && game->phase != GameMain::RESULTS; ++i) {
        const bool raiseBarrier = i % 400 == 399;
        barriers += raiseBarrier && game->phase == GameMain::PLAY;
        playFrame(*game, {.up = holdHeight(*game, 200 + (i / 300 % 3) * 60), .a = raiseBarrier});
        live.push_back(stateOf(*game));
    }
    ASSERT_EQ(game->phase, GameMain::RESULTS);
    ASSERT_GT(barriers, 0);
    ASSERT_TRUE(std::filesystem::exists("replay/replay_00.bin"));
    ASSERT_GT(game->score, 400) << "the pilot should survive a while";
    expectReplayRetraces(live);
}

TEST_F(ReplayFidelity, PausingALiveRunDuringSlowMotionDoesNotChangeItsReplay) {
    writeFile("config.ini", "HI_SCORE1 = 0\nHI_SCORE2 = 0\nHI_SCORE3 = 0\nHI_SCORE4 = 0\nMODE = 0\n");
    restartFramework(false);
    newGame();
    const int pauseLengths[] = {7, 10, 1, 4};  // odd and even numbers of paused frames
    int pausesDone = 0;
    int pausedFrames = 0;
    int tapClock = 0;
    std::vector<int> pauseStartFrames;
    std::vector<FrameState> live;
    for (int i = 0; i < 40000 && game->phase != GameMain::RESULTS; ++i) {
        Keys keys{.up = holdHeight(*game, 240)};
        if (game->phase == GameMain::PAUSE) {
            // Hold the pause for its length, then B once to resume.
            keys.b = ++pausedFrames > pauseLengths[pausesDone];
        } else if (pausesDone < 4 && game->slowMotionFrames > 6 && game->shakeFrames > 6) {
            // Tap B until the game takes it: a frame held back by slow motion misses the tap,
            // so the taps come every third frame, on odd and even frames in turn.
            keys.b = tapClock++ % 3 == 0;
        }
        const bool wasPaused = game->phase == GameMain::PAUSE;
        playFrame(*game, keys);
        if (!wasPaused && game->phase == GameMain::PAUSE) {
            EXPECT_GT(game->slowMotionFrames, 0);
            EXPECT_GT(game->shakeFrames, 0);
            pauseStartFrames.push_back(game->frameCounter);
            pausedFrames = 0;
            tapClock = 0;
        }
        if (wasPaused && game->phase != GameMain::PAUSE) {
            EXPECT_EQ(pausedFrames, pauseLengths[pausesDone] + 1);
            ++pausesDone;
        }
        if (!wasPaused) {
            // The frame that asked for a pause was a whole play frame; only its phase tells the pause.
            live.push_back(stateOf(*game));
            if (live.back().phase == GameMain::PAUSE) live.back().phase = GameMain::PLAY;
        }
    }
    ASSERT_EQ(game->phase, GameMain::RESULTS);
    ASSERT_EQ(pausesDone, 4) << "the run should have met four slow motions to pause in";
    expectReplayRetraces(live);
}

TEST_F(ReplayFidelity, LookingAwayFromALiveRunPausesItWithoutChangingItsReplay) {
    writeFile("config.ini", "HI_SCORE1 = 0\nHI_SCORE2 = 0\nHI_SCORE3 = 0\nHI_SCORE4 = 0\nMODE = 0\n");
    restartFramework(false);
    int pad = plugInPad();
    newGame();
    // Window, controller, window, controller; each asked for on a frame of the
    // given parity, the first two in the middle of a slow motion.
    const Away aways[] = {Away::Window, Away::Controller, Away::Window, Away::Controller};
    const int parities[] = {0, 1, 1, 0};
    const int pauseLengths[] = {6, 9, 2, 13};
    int pausesDone = 0;
    int pausedFrames = 0;
    std::vector<int> pauseStartFrames;
    std::vector<FrameState> live;
    for (int i = 0; i < 40000 && game->phase != GameMain::RESULTS; ++i) {
        Keys keys{.up = holdHeight(*game, 240)};
        const bool wasPaused = game->phase == GameMain::PAUSE;
        if (wasPaused) {
            ++pausedFrames;
            // A pulled-out controller goes back in first; then A on "go on".
            if (pausedFrames == 1 && aways[pausesDone] == Away::Controller) {
                pad = kiln_headless::connectController("Test Pad", true);
            }
            keys.a = pausedFrames > pauseLengths[pausesDone];
        } else if (pausesDone < 4 && game->phase == GameMain::PLAY && game->frameCounter % 2 == parities[pausesDone] &&
                   (pausesDone >= 2 ? game->frameCounter > 600 + 300 * pausesDone : game->slowMotionFrames > 6)) {
            if (aways[pausesDone] == Away::Window) kiln_headless::loseFocus();
            if (aways[pausesDone] == Away::Controller) kiln_headless::disconnectController(pad);
        }
        const int frameBefore = game->frameCounter;
        playFrame(*game, keys);
        if (!wasPaused && game->phase == GameMain::PAUSE) {
            EXPECT_EQ(frameBefore % 2, parities[pausesDone]);
            pauseStartFrames.push_back(game->frameCounter);
            pausedFrames = 0;
        }
        if (wasPaused && game->phase != GameMain::PAUSE) {
            EXPECT_EQ(pausedFrames, pauseLengths[pausesDone] + 1);
            ++pausesDone;
        }
        if (!wasPaused) {
            live.push_back(stateOf(*game));
            if (live.back().phase == GameMain::PAUSE) live.back().phase = GameMain::PLAY;
        }
    }
    ASSERT_EQ(game->phase, GameMain::RESULTS);
    ASSERT_EQ(pausesDone, 4) << "the run should have lasted through four pauses";
    expectReplayRetraces(live);
}

TEST_F(ReplayFidelity, PlayFramesAllocateNothing) {
    restartFramework(false);
    newGame();
    for (int i = 0; i < 182; ++i) playFrame(*game, {});
    ASSERT_EQ(game->phase, GameMain::PLAY);
    // The test backend records sounds in a list: let it grow once, outside the count.
    for (int i = 0; i < 256; ++i) Kiln_playWAV("up", 0, -1);
    long updateAllocations = 0;
    long drawAllocations = 0;
    int frames = 0;
    int misses = 0;
    for (int i = 0; i < 3000 && game->phase == GameMain::PLAY; ++i, ++frames) {
        kiln_headless::setKey(KEY_UP, holdHeight(*game, 150 + (i / 200 % 4) * 80));
        kiln_headless::setKey(KEY_z, i % 500 == 100);
        Kiln_waitFrame(16);
        const int invincibleBefore = game->player.invincibleFrames;
        kiln_headless::clearSoundEvents();  // the test backend's own record must not grow in the count
        allocationCount = 0;
        countingAllocations = true;
        game->update();
        countingAllocations = false;
        // The frame that ends the run writes the record's files; only play frames must not allocate.
        if (game->phase == GameMain::PLAY) updateAllocations += allocationCount;
        misses += game->player.invincibleFrames > invincibleBefore;
        allocationCount = 0;
        countingAllocations = true;
        game->draw();
        countingAllocations = false;
        drawAllocations += allocationCount;
    }
    ASSERT_GT(frames, 800);
    EXPECT_GT(misses, 0) << "the stretch should include crashes and their sparks";
    EXPECT_EQ(updateAllocations, 0);
    std::printf("[ measured ] %d play frames: %ld allocations in update, %ld in draw (%.1f per frame)\n", frames,
                updateAllocations, drawAllocations, static_cast<double>(drawAllocations) / frames);
    RecordProperty("drawAllocations", static_cast<int>(drawAllocations));
}

}  // namespace

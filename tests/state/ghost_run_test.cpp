// The ghost of a stage's best run, on the headless backend: a live run is
// the same run with its ghost and without (states, score, sounds, picture,
// saved replay), the ghost flies exactly the verifier's trace of its replay,
// and the HUD and the picture show it as the player should see it.
#include <algorithm>
#include <fstream>

#include "config/player_files.h"
#include "gamecore/scene_test_support.h"
#include "headless_scene.h"
#include "state/live_run_main.h"

namespace {

using scene_test::FrameState;
using scene_test::stateOf;

std::string benchReplay(const std::string& name) { return std::string(KVR_SOURCE_DIR) + "/bench/data/" + name; }

// Ghost pictures: its craft and trail about a third opaque, its HUD line under the score.
constexpr uint8_t kGhostAlpha = 85;
constexpr float kGhostHudY = 38;

// The HUD line is told by its colour: the screen shake moves it with the rest of the HUD.
bool isGhostCall(const KilnDrawCall& call) {
    return (call.kind == KilnDrawCall::RECT && call.a == kGhostAlpha) ||
           (call.kind == KilnDrawCall::GLYPH && call.r == 255 && call.g == 176 && call.b == 64);
}

// The only text of a run drawn at scale 1.
bool isFrameRateOverlay(const KilnDrawCall& call) { return call.kind == KilnDrawCall::GLYPH && call.w == 8.0f; }

// Everything a live run showed, heard and became, frame by frame.
struct LiveRecord {
    std::vector<FrameState> states;
    std::vector<size_t> pictures;  // a digest of each frame's picture, the ghost's own calls left out
    std::vector<std::string> sounds;
    int score = 0;
    std::string savedReplay;
    int ghostFrames = 0;  // frames in which the ghost flew on the verifier's trace
};

class Ghost : public HeadlessScene {
protected:
    void writeConfig(const std::string& ghostLine, int stage = 0) {
        writeFile("config.ini", "HI_SCORE1 = 0\nHI_SCORE2 = 0\nHI_SCORE3 = 0\nHI_SCORE4 = 0\nMODE = " +
                                    std::to_string(stage) + "\n" + ghostLine);
    }

    void saveBestRun(int stage, const std::string& replay) {
        std::filesystem::create_directories("replay");
        std::filesystem::copy_file(benchReplay(replay), stageReplayFile(stage),
                                   std::filesystem::copy_options::overwrite_existing);
    }

    // One frame of the main loop with the keys held.
    void frame(LiveRunMain& live, scene_test::Keys keys) {
        kiln_headless::clearDrawCalls();
        scene_test::playFrame(live, keys);
    }

    static size_t pictureDigest() {
        size_t digest = 0;
        auto mix = [&digest](double value) { digest = digest * 1000003u ^ std::hash<double>{}(value); };
        for (const KilnDrawCall& call : kiln_headless::drawCalls()) {
            // The frame-rate overlay counts real time, which two runs never share.
            if (isGhostCall(call) || isFrameRateOverlay(call)) continue;
            for (double value : {double(call.kind), double(call.x), double(call.y), double(call.w), double(call.h),
                                 double(call.r), double(call.g), double(call.b), double(call.a), double(call.glyph)}) {
                mix(value);
            }
        }
        return digest;
    }

    // A live run on the stage flown by a pilot that holds heights, raises its
    // barrier now and then and pauses three times; after its results it
    // stays on the results screen for `frames` frames in all, so its ghost
    // can fly to the end. When `ghostTrace` is given, the ghost's state after
    // every one of its updates must be that trace's.
    void flyLive(int stage, int frames, const std::vector<FrameState>* ghostTrace, LiveRecord& record) {
        Kiln_setGlobalInt(REPLAY_FLAG_SLOT, 0);
        kiln_headless::clearSoundEvents();
        auto live = std::make_unique<LiveRunMain>();
        int pausedFrames = 0;
        for (int i = 0; i < frames && !HasFatalFailure(); ++i) {
            scene_test::Keys keys;
            if (live->phase == GameMain::PAUSE) {
                keys.b = ++pausedFrames == 9;
            } else if (live->phase != GameMain::RESULTS) {
                keys.up = scene_test::holdHeight(*live, 170 + (i / 300 % 4) * 50);
                keys.a = i % 700 == 699;
                keys.b = i == 400 || i == 1500 || i == 2600;
                pausedFrames = 0;
            }
            frame(*live, keys);
            record.states.push_back(stateOf(*live));
            record.pictures.push_back(pictureDigest());
            const GhostRun* ghost = live->ghost();
            if (ghostTrace != nullptr && ghost != nullptr && ghost->isFlying()) {
                const int at = ghost->game().frameCounter;
                EXPECT_EQ(at, live->frameCounter) << "the ghost keeps step with the live run, pauses included";
                ASSERT_LT(at, static_cast<int>(ghostTrace->size()));
                ASSERT_EQ(stateOf(ghost->game()), (*ghostTrace)[static_cast<size_t>(at - 1)]) << "ghost frame " << at;
                record.ghostFrames = at;
            }
        }
        for (const KilnSoundEvent& event : kiln_headless::soundEvents()) {
            record.sounds.push_back(std::to_string(event.kind) + " " + event.name + " " + std::to_string(event.value));
        }
        if (ghostTrace != nullptr && live->ghost() != nullptr && !live->ghost()->isFlying()) {
            EXPECT_EQ(stateOf(live->ghost()->game()), ghostTrace->back()) << "the ghost's results frame";
        }
        record.score = live->score;
        record.savedReplay = readFile(stageReplayFile(stage));
    }

    void expectTheSameLiveRun(int stage, const std::string& replay, int frames) {
        const scene_test::VerifierReport verified =
            scene_test::verifierReport(KVR_VERIFY_BINARY, stage, benchReplay(replay));
        saveBestRun(stage, replay);
        writeConfig("GHOST = 1\n", stage);
        LiveRecord withGhost;
        flyLive(stage, frames, &verified.trace, withGhost);
        ASSERT_FALSE(HasFatalFailure());
        ASSERT_EQ(withGhost.ghostFrames + 1, static_cast<int>(verified.trace.size()))
            << "the ghost flew its whole run, up to the update before its results";
        ASSERT_NE(withGhost.savedReplay, readFile(benchReplay(replay))) << "the live run kept its own record";

        saveBestRun(stage, replay);
        writeConfig("GHOST = 0\n", stage);
        LiveRecord alone;
        flyLive(stage, frames, nullptr, alone);

        EXPECT_EQ(withGhost.score, alone.score);
        EXPECT_EQ(withGhost.savedReplay, alone.savedReplay);
        EXPECT_EQ(withGhost.sounds, alone.sounds) << "the ghost is never heard";
        ASSERT_EQ(withGhost.states.size(), alone.states.size());
        for (size_t i = 0; i < alone.states.size(); ++i) {
            ASSERT_EQ(withGhost.states[i], alone.states[i]) << "live frame " << i + 1;
            ASSERT_EQ(withGhost.pictures[i], alone.pictures[i]) << "live picture " << i + 1 << ": a shake, or a change";
        }
    }
};

TEST_F(Ghost, AThousandMetreRunIsTheSameWithItsGhostAndTheGhostFliesTheVerifiersTrace) {
    expectTheSameLiveRun(0, "stage0.bin", 10300);
}

TEST_F(Ghost, ATwoThousandMetreRunIsTheSameWithItsGhostAndTheGhostFliesTheVerifiersTrace) {
    expectTheSameLiveRun(1, "stage1.bin", 20300);
}

// The HUD line's sign, read where the scores differ: this pilot falls behind
// the autopilot's ghost (which takes an item first), then gets ahead of it.
TEST_F(Ghost, TheHudLineIsPlusWhenAheadAndMinusWhenBehind) {
    saveBestRun(0, "stage0_autopilot.bin");
    writeConfig("");
    Kiln_setGlobalInt(REPLAY_FLAG_SLOT, 0);
    LiveRunMain live;
    int ahead = 0;
    int behind = 0;
    for (int i = 0; i < 3000 && (ahead == 0 || behind == 0) && !HasFailure(); ++i) {
        frame(live, {.up = scene_test::holdHeight(live, 170 + (i / 300 % 4) * 50), .a = i % 700 == 699});
        if (live.ghost() == nullptr || !live.ghost()->isFlying()) continue;
        const int difference = live.score - live.ghost()->game().score;
        if (difference == 0) continue;
        // Found by its colour, wherever the screen shake has moved it.
        const auto& calls = kiln_headless::drawCalls();
        const auto line = std::find_if(calls.begin(), calls.end(), [](const KilnDrawCall& call) {
            return call.kind == KilnDrawCall::GLYPH && isGhostCall(call);
        });
        ASSERT_NE(line, calls.end()) << "frame " << i;
        const std::string expected =
            difference > 0 ? "GHOST +" + std::to_string(difference) : "GHOST -" + std::to_string(-difference);
        EXPECT_EQ(textAt(line->y).text, expected) << "frame " << i;
        (difference > 0 ? ahead : behind) += 1;
    }
    EXPECT_GT(ahead, 0) << "the pilot was never ahead of its ghost";
    EXPECT_GT(behind, 0) << "the pilot was never behind its ghost";
}

TEST_F(Ghost, TheHudSaysHowFarAheadAndWhereTheGhostEnded) {
    // The autopilot's replay ends destroyed at 720 m.
    saveBestRun(0, "stage0_autopilot.bin");
    writeConfig("");
    Kiln_setGlobalInt(REPLAY_FLAG_SLOT, 0);
    LiveRunMain live;
    // Into the course, at a frame where the live craft is shown (not blinking after a miss).
    for (int i = 0; i < 3000 && (i < 600 || live.player.invincibleFrames > 0); ++i) {
        frame(live, {.up = scene_test::holdHeight(live, 240)});
    }
    ASSERT_EQ(live.phase, GameMain::PLAY);
    ASSERT_NE(live.ghost(), nullptr) << "on by default when config.ini does not mention it";
    const GameMain& ghost = live.ghost()->game();
    ASSERT_EQ(ghost.frameCounter, live.frameCounter);
    char expected[32];
    std::snprintf(expected, sizeof expected, "GHOST %+d", live.score - ghost.score);
    EXPECT_EQ(textAt(kGhostHudY).text, expected);

    // The translucent craft at the ghost's place, drawn before the live craft.
    const auto& calls = kiln_headless::drawCalls();
    const int half = (ghost.player.size / 2) / ghost.subPixels;
    auto isAt = [](const KilnDrawCall& call, const GameMain& run, int halfSize) {
        return call.kind == KilnDrawCall::RECT && call.x == float(run.player.x / run.subPixels - halfSize) &&
               call.y == float(run.player.y / run.subPixels - halfSize) && call.w == float(2 * halfSize);
    };
    size_t ghostCraft = calls.size(), liveCraft = calls.size();
    int ghostTrail = 0;
    for (size_t i = 0; i < calls.size(); ++i) {
        if (calls[i].a == kGhostAlpha && isAt(calls[i], ghost, half)) ghostCraft = i;
    }
    for (size_t i = 0; i < calls.size(); ++i) {
        if (calls[i].a == kGhostAlpha && i != ghostCraft) ghostTrail += static_cast<int>(calls[i].w);
        if (calls[i].a == 255 && calls[i].r == 160 && calls[i].b == 255 && isAt(calls[i], live, half)) liveCraft = i;
    }
    ASSERT_LT(ghostCraft, calls.size());
    ASSERT_LT(liveCraft, calls.size());
    EXPECT_LT(ghostCraft, liveCraft) << "the live craft flies over its ghost";
    EXPECT_EQ(calls[ghostCraft].blendMode, BLEND_ALPHA);
    EXPECT_NE(calls[ghostCraft].r, 160) << "in its own colour";
    EXPECT_GE(ghostTrail, 100) << "columns as wide as the trail's points: from x 4 back past the left edge";

    // Past the autopilot's end the ghost is gone and the HUD says where it ended.
    for (int i = 0; i < 8000 && live.ghost()->isFlying(); ++i) frame(live, {});
    ASSERT_FALSE(live.ghost()->isFlying());
    frame(live, {});
    EXPECT_EQ(textAt(kGhostHudY).text, "GHOST 720m");
    for (const KilnDrawCall& call : kiln_headless::drawCalls()) EXPECT_NE(call.a, kGhostAlpha);
}

TEST_F(Ghost, APausedLiveRunHoldsItsGhostAndItsBDoesNotPauseTheGhost) {
    saveBestRun(0, "stage0.bin");
    writeConfig("GHOST = 1\n");
    Kiln_setGlobalInt(REPLAY_FLAG_SLOT, 0);
    LiveRunMain live;
    for (int i = 0; i < 300; ++i) frame(live, {.up = scene_test::holdHeight(live, 240)});
    frame(live, {.b = true});
    ASSERT_EQ(live.phase, GameMain::PAUSE);
    ASSERT_NE(live.ghost(), nullptr);
    const FrameState ghostAtPause = stateOf(live.ghost()->game());
    EXPECT_EQ(live.ghost()->game().phase, GameMain::PLAY) << "the B was the live run's";
    for (int i = 0; i < 30; ++i) frame(live, {});
    EXPECT_EQ(stateOf(live.ghost()->game()), ghostAtPause);
    frame(live, {.b = true});
    ASSERT_EQ(live.phase, GameMain::PLAY);
    frame(live, {});
    EXPECT_EQ(live.ghost()->game().frameCounter, live.frameCounter);
}

TEST_F(Ghost, OnlyASavedReplayAndTheSettingBringAGhost) {
    Kiln_setGlobalInt(REPLAY_FLAG_SLOT, 0);
    auto firstFrameGhost = [this] {
        LiveRunMain live;
        frame(live, {});
        return live.ghost() != nullptr;
    };
    writeConfig("GHOST = 1\n");
    EXPECT_FALSE(firstFrameGhost()) << "no replay saved for the stage yet";

    std::filesystem::create_directories(stageReplayFile(0));
    EXPECT_FALSE(firstFrameGhost()) << "a directory where the replay should be";
    std::filesystem::remove(stageReplayFile(0));

    saveBestRun(0, "stage0.bin");
    EXPECT_TRUE(firstFrameGhost());
    writeConfig("GHOST = 0\n");
    EXPECT_FALSE(firstFrameGhost());

    writeConfig("GHOST = maybe\n");
    const size_t logBefore = readFile("run.log").size();
    EXPECT_TRUE(firstFrameGhost()) << "a bad value means the default";
    const std::string logged = readFile("run.log").substr(logBefore);
    EXPECT_NE(logged.find("bad value for GHOST ('maybe'), using 1\n"), std::string::npos) << logged;

    writeConfig("GHOST = 1\n");
    Kiln_setGlobalInt(REPLAY_FLAG_SLOT, 1);
    EXPECT_FALSE(firstFrameGhost()) << "a replay played from the title races nothing";
}

}  // namespace

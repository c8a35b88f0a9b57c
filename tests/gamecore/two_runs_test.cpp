// Two runs in one process: each owns its random sequence, so advancing them
// in turn (a live run and its ghost, a watched replay catching up) leaves
// both exactly as each would be alone.
#include "scene_test_support.h"

using namespace scene_test;

namespace {

std::string benchReplay(int stage) { return std::string(KVR_SOURCE_DIR) + "/bench/data/stage" + std::to_string(stage) + ".bin"; }

class TwoRuns : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        restartFramework(false);
        Kiln_setGlobalInt(REPLAY_FLAG_SLOT, 1);
    }

    static std::unique_ptr<GameMain> replayOf(int stage) {
        return std::make_unique<GameMain>(RunSettingsOverride{stage, 0, benchReplay(stage)});
    }

    // Update then draw, as the verifier does, noting the state after each update.
    static void step(GameMain& run, std::vector<FrameState>& trace) {
        run.update();
        trace.push_back(stateOf(run));
        run.draw();
    }
};

TEST_F(TwoRuns, AdvancingInTurnChangesNeitherRun) {
    constexpr int kFrames = 6000;  // well into both courses, past crashes and their shakes
    std::vector<FrameState> firstAlone, secondAlone;
    auto first = replayOf(0);
    for (int i = 0; i < kFrames; ++i) step(*first, firstAlone);
    auto second = replayOf(1);
    for (int i = 0; i < kFrames; ++i) step(*second, secondAlone);

    std::vector<FrameState> firstInTurn, secondInTurn;
    first = replayOf(0);
    second = replayOf(1);
    // The process's own generator is drawn from between the runs too, as a title or a test would.
    Kiln_srand(1, 1);
    for (int i = 0; i < kFrames; ++i) {
        step(*first, firstInTurn);
        Kiln_rand(0, 100);
        step(*second, secondInTurn);
    }
    ASSERT_EQ(firstInTurn.size(), firstAlone.size());
    for (size_t i = 0; i < firstAlone.size(); ++i) {
        ASSERT_EQ(firstInTurn[i], firstAlone[i]) << "stage 0, first difference after update " << i + 1;
        ASSERT_EQ(secondInTurn[i], secondAlone[i]) << "stage 1, first difference after update " << i + 1;
    }
    EXPECT_GT(firstAlone.back().randIndex, 17u + 1000) << "the course drew its walls from the run's sequence";
    EXPECT_EQ(Kiln_getRandIndex(), 1u + kFrames) << "neither run moved the process's own generator";
}

}  // namespace

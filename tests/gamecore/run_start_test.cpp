// The start of a run: stage set-up and its fixed random seeds, reading and
// recovering "config.ini", and loading a replay.
#include "scene_test_support.h"

using namespace scene_test;

namespace {

class RunStart : public SceneTest {
protected:
    static std::string configText(int mode, const std::string& hiScores = "0 0 0 0") {
        int h[4] = {0, 0, 0, 0};
        std::sscanf(hiScores.c_str(), "%d %d %d %d", &h[0], &h[1], &h[2], &h[3]);
        std::string text;
        for (int i = 0; i < 4; ++i) text += "HI_SCORE" + std::to_string(i + 1) + " = " + std::to_string(h[i]) + "\n";
        return text + "MODE = " + std::to_string(mode) + "\n";
    }

    // Starts a game and returns what it logged during its first frame.
    std::string firstFrameLog() {
        newGame();
        ::testing::internal::CaptureStderr();
        playFrame(*game, {});
        return ::testing::internal::GetCapturedStderr();
    }
};

struct StageRow {
    int stage;
    int goal;
    uint32_t seed;
    uint32_t index;
};

TEST_F(RunStart, EachStageHasItsLengthAndStartsItsOwnFixedRandomSequence) {
    const StageRow rows[] = {{0, 100, 733, 17}, {1, 200, 1252, 14}, {2, 300, 144, 1}, {3, 0, 658, 256}};
    for (const StageRow& row : rows) {
        SCOPED_TRACE(row.stage);
        writeFile("config.ini", configText(row.stage, "11 22 33 44"));
        newGame();
        game->random = {1, 1};  // whatever came before must not matter
        playFrame(*game, {});
        EXPECT_EQ(game->stage, row.stage);
        EXPECT_EQ(game->stageGoal, row.goal);
        EXPECT_EQ(game->hiScores, (std::array<int, 4>{11, 22, 33, 44}));
        EXPECT_EQ(game->random.index, row.index) << "no draw during the start of a run";
        int drawn[5];
        {
            KilnRandomScope runSequence(game->random);
            for (int& value : drawn) value = Kiln_rand(0, 1000000);
        }
        Kiln_srand(row.seed, row.index);
        for (int value : drawn) EXPECT_EQ(value, Kiln_rand(0, 1000000));
    }
}

TEST_F(RunStart, ResetsTheRunAndPlacesTheCraft) {
    writeFile("config.ini", configText(0));
    newGame();
    game->score = 77;
    game->scrollPos = 5000;
    game->scrollSpeed = 0;
    game->shakeFrames = 4;
    game->shakeOffsetX = 8;
    playFrame(*game, {});
    EXPECT_EQ(game->score, 0);
    EXPECT_EQ(game->scrollPos, 0);
    EXPECT_EQ(game->scrollSpeed, 100);
    EXPECT_EQ(game->shakeFrames, 0);
    EXPECT_EQ(game->shakeOffsetX, 0);
    EXPECT_EQ(game->player.life, 1);
    EXPECT_EQ(game->player.x, 10000);
    EXPECT_EQ(game->player.y, 24000);
    EXPECT_EQ(game->player.energy, 10000);
    EXPECT_EQ(game->holeCount, 1);
    EXPECT_EQ(game->replayMode, 0);
    EXPECT_EQ(game->keypad->getMode(), Keypad::RECORD);
}

TEST_F(RunStart, LogsItsStartTwiceAndLoadsTheRunsImagesAndSounds) {
    writeFile("config.ini", configText(0));
    const std::string log = firstFrameLog();
    EXPECT_EQ(log, "Gamecoer init\nGamecoer init\n");
    EXPECT_TRUE(Kiln_hasTexture("tama"));
    EXPECT_TRUE(Kiln_hasTexture("menu"));
}

TEST_F(RunStart, AMissingConfigIsRecreatedOnTheSecondStageWithoutComplaint) {
    const std::string log = firstFrameLog();
    EXPECT_EQ(log, "Gamecoer init\nGamecoer init\n");
    EXPECT_EQ(readFile("config.ini"), configText(1));
    EXPECT_EQ(game->stage, 1);
    EXPECT_EQ(game->stageGoal, 200);
    EXPECT_EQ(game->hiScores, (std::array<int, 4>{0, 0, 0, 0}));
}

TEST_F(RunStart, BadOrMissingValuesAreLoggedAndReadAsZero) {
    writeFile("config.ini", "HI_SCORE1 = 500\nHI_SCORE2 = -3\nHI_SCORE3 = abc\nMODE = 2\n");
    const std::string log = firstFrameLog();
    EXPECT_EQ(game->phase, GameMain::READY) << "a damaged file never stops the game";
    EXPECT_EQ(game->hiScores, (std::array<int, 4>{500, 0, 0, 0}));
    EXPECT_EQ(game->stage, 2);
    EXPECT_NE(log.find("HI_SCORE2"), std::string::npos) << log;
    EXPECT_NE(log.find("HI_SCORE3"), std::string::npos) << log;
    EXPECT_NE(log.find("HI_SCORE4"), std::string::npos) << log;
    EXPECT_EQ(log.find("HI_SCORE1"), std::string::npos) << log;
    EXPECT_EQ(readFile("config.ini"), "HI_SCORE1 = 500\nHI_SCORE2 = -3\nHI_SCORE3 = abc\nMODE = 2\n")
        << "reading alone rewrites nothing";
}

TEST_F(RunStart, AModeThatIsNoStagePlaysTheFirstStage) {
    writeFile("config.ini", configText(7, "5 6 7 8"));
    const std::string log = firstFrameLog();
    EXPECT_EQ(game->stage, 0);
    EXPECT_EQ(game->stageGoal, 100);
    EXPECT_EQ(game->random.index, 17u);
    EXPECT_EQ(game->hiScores[0], 5);
    EXPECT_NE(log.find("MODE"), std::string::npos) << log;
}

TEST_F(RunStart, AReplayThatIsNotThereSendsTheGameBackToTheTitleSilently) {
    writeFile("config.ini", configText(1));
    Kiln_setGlobalInt(REPLAY_FLAG_SLOT, 1);
    const std::string log = firstFrameLog();
    EXPECT_EQ(log, "Gamecoer init\nGamecoer init\n");
    EXPECT_EQ(game->phase, GameMain::END);
    EXPECT_EQ(game->replayMode, 1);
    EXPECT_EQ(game->getMessage(), MSG_NONE);
    kiln_headless::clearDrawCalls();
    playFrame(*game, {});
    EXPECT_EQ(game->getMessage(), MSG_TITLE);
    for (const KilnDrawCall& call : kiln_headless::drawCalls()) {
        EXPECT_TRUE(call.kind == KilnDrawCall::CLEAR || (call.kind == KilnDrawCall::GLYPH && call.w == 8.0f))
            << "only the frame-rate overlay is drawn";
    }
}

TEST_F(RunStart, AReplayOfTheChosenStageIsLoadedForPlayback) {
    writeFile("config.ini", configText(2));
    std::filesystem::create_directory("replay");
    writeFile("replay/replay_02.bin", std::string(24 * 3, '\0'));
    Kiln_setGlobalInt(REPLAY_FLAG_SLOT, 1);
    newGame();
    playFrame(*game, {});
    EXPECT_EQ(game->phase, GameMain::READY);
    EXPECT_EQ(game->keypad->getMode(), Keypad::PLAYBACK);
    EXPECT_EQ(game->keypad->getFrameCount(), 3);
}

TEST_F(RunStart, TheVerifiersSettingsReplaceTheConfigFile) {
    writeFile("replay.bin", std::string(24 * 2, '\0'));
    Kiln_setGlobalInt(REPLAY_FLAG_SLOT, 1);
    game = std::make_unique<GameMain>(RunSettingsOverride{3, 1234, "replay.bin"});
    playFrame(*game, {});
    EXPECT_EQ(game->phase, GameMain::READY);
    EXPECT_EQ(game->stage, 3);
    EXPECT_EQ(game->stageGoal, 0);
    EXPECT_EQ(game->hiScores, (std::array<int, 4>{0, 0, 0, 1234}));
    EXPECT_EQ(game->keypad->getMode(), Keypad::PLAYBACK);
    EXPECT_FALSE(std::filesystem::exists("config.ini")) << "the verifier neither reads nor writes config.ini";
}

TEST_F(RunStart, ARunToldAReplayFilePlaysItWhateverTheTitleLeftInTheSlot) {
    writeFile("replay.bin", std::string(24 * 3, '\0'));
    Kiln_setGlobalInt(REPLAY_FLAG_SLOT, 0);  // a live run was the last thing the title asked for
    game = std::make_unique<GameMain>(RunSettingsOverride{1, 0, "replay.bin"});
    playFrame(*game, {});
    EXPECT_EQ(game->replayMode, 1);
    EXPECT_EQ(game->keypad->getMode(), Keypad::PLAYBACK);

    Kiln_setGlobalInt(REPLAY_FLAG_SLOT, 1);
    game = std::make_unique<GameMain>(RunSettingsOverride{1, 0, ""});
    playFrame(*game, {});
    EXPECT_EQ(game->replayMode, 0) << "told no file, the run is flown live";
    EXPECT_EQ(game->keypad->getMode(), Keypad::RECORD);
    EXPECT_EQ(game->phase, GameMain::READY);
}

}  // namespace

// The end of a run: the distance and recording-length tests, keeping a new
// record (and what happens when a file cannot be written), and the results
// screen.
#include <sys/stat.h>

#include "gamecore/record_saver.h"
#include "scene_test_support.h"

using namespace scene_test;

namespace {

std::string configText(int mode, int h1, int h2, int h3, int h4) {
    return "HI_SCORE1 = " + std::to_string(h1) + "\nHI_SCORE2 = " + std::to_string(h2) +
           "\nHI_SCORE3 = " + std::to_string(h3) + "\nHI_SCORE4 = " + std::to_string(h4) +
           "\nMODE = " + std::to_string(mode) + "\n";
}

class RunEnd : public SceneTest {
protected:
    // A game on the stage, past its countdown, that has played a few frames.
    void playStage(int stage, int hiScore = 0) {
        int h[4] = {0, 0, 0, 0};
        h[stage] = hiScore;
        writeFile("config.ini", configText(stage, h[0], h[1], h[2], h[3]));
        startPlaying();
        for (int i = 0; i < 10; ++i) playFrame(*game, {.up = i % 3 == 0});
    }

    // Ends the run in the next frame with the given final score.
    void endRunWithScore(int finalScore) {
        game->player.life = 0;
        game->score = finalScore - 1;  // the last play frame adds one
        playFrame(*game, {});
        ASSERT_EQ(game->phase, GameMain::RESULTS);
        ASSERT_EQ(game->score, finalScore);
    }

    static uintmax_t fileSize(const std::string& name) { return std::filesystem::file_size(name); }

    std::string captured;
};

TEST_F(RunEnd, EachStageEndsWhenItsDistanceIsReached) {
    const int goals[] = {100, 200, 300};
    for (int stage = 0; stage < 3; ++stage) {
        SCOPED_TRACE(stage);
        playStage(stage);
        game->phase = GameMain::PLAY;
        game->scrollPos = goals[stage] * 100 * 100 - 200;
        game->updateRun();
        EXPECT_EQ(game->phase, GameMain::PLAY) << "one pixel short of the goal";
        EXPECT_EQ(game->scrollSpeed, 100);
        game->updateRun();
        EXPECT_EQ(game->phase, GameMain::RESULTS);
        EXPECT_EQ(game->scrollSpeed, 0);
        EXPECT_EQ(game->player.life, 1) << "finished, not destroyed";
    }
}

TEST_F(RunEnd, TheEndlessStageNeverEndsByDistance) {
    playStage(3);
    game->scrollPos = 2000000000;
    game->updateRun();
    EXPECT_EQ(game->phase, GameMain::PLAY);
    game->player.life = 0;
    game->updateRun();
    EXPECT_EQ(game->phase, GameMain::RESULTS);
}

TEST_F(RunEnd, ARunEndsWhereItsRecordingStillFitsInAReplayFile) {
    playStage(3);
    while (game->keypad->getFrame() < REPLAY_CAPACITY - 3) game->keypad->update();
    game->updateRun();
    EXPECT_EQ(game->phase, GameMain::PLAY);
    game->keypad->update();
    game->updateRun();
    ASSERT_EQ(game->phase, GameMain::RESULTS);
    EXPECT_EQ(game->scrollSpeed, 0);
    ASSERT_TRUE(std::filesystem::exists("replay/replay_03.bin")) << "a record that fills the buffer is kept";
    EXPECT_EQ(fileSize("replay/replay_03.bin"), static_cast<uintmax_t>(REPLAY_CAPACITY) * 24);
}

TEST_F(RunEnd, ATieIsNoRecordAndWritesNothingButStillShowsNewRecord) {
    playStage(0, 500);
    const std::string before = readFile("config.ini");
    endRunWithScore(500);
    EXPECT_FALSE(std::filesystem::exists("replay"));
    EXPECT_EQ(readFile("config.ini"), before);
    EXPECT_EQ(game->hiScores[0], 500);
    kiln_headless::clearDrawCalls();
    game->drawResults();
    EXPECT_EQ(textAt(170, 390, 4.0f), "NEW RECORD !");
}

TEST_F(RunEnd, ANewRecordWritesAllFourScoresKeepsTheModeAndSavesTheReplay) {
    writeFile("config.ini", "HI_SCORE1 = 11\nHI_SCORE2 = 22\nHI_SCORE3 = 400\nHI_SCORE4 = 44\nMODE = 2\n");
    startPlaying();
    for (int i = 0; i < 10; ++i) playFrame(*game, {.up = i % 3 == 0});
    const int keypadFrame = game->keypad->getFrame();
    endRunWithScore(401);
    EXPECT_EQ(game->hiScores[2], 401);
    EXPECT_EQ(readFile("config.ini"), "HI_SCORE1 = 11\nHI_SCORE2 = 22\nHI_SCORE3 = 401\nHI_SCORE4 = 44\nMODE = 2\n");
    ASSERT_TRUE(std::filesystem::exists("replay/replay_02.bin")) << "the missing directory is created";
    // Entry 0, the recorded frames (the last one included) and one released entry.
    EXPECT_EQ(fileSize("replay/replay_02.bin"), static_cast<uintmax_t>(1 + (keypadFrame + 1) + 1) * 24);
    kiln_headless::clearDrawCalls();
    game->drawHud();
    EXPECT_EQ(textAt(300, 2, 2.0f), "HI:401") << "the HUD shows the new record at once";
}

TEST_F(RunEnd, AReplayThatCannotBeWrittenStillKeepsTheHiScore) {
    playStage(1);
    std::filesystem::create_directories("replay/replay_01.bin");  // a directory where the file belongs
    ::testing::internal::CaptureStderr();
    endRunWithScore(300);
    captured = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(readFile("config.ini"), configText(1, 0, 300, 0, 0));
    EXPECT_EQ(std::count(captured.begin(), captured.end(), '\n'), 1) << captured;
    EXPECT_EQ(captured.rfind("Could not save the replay: ", 0), 0u) << captured;
}

TEST_F(RunEnd, AReplayDirectoryThatIsAFileCostsTheReplayOnly) {
    playStage(0);
    writeFile("replay", "not a directory");
    ::testing::internal::CaptureStderr();
    endRunWithScore(250);
    captured = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(readFile("replay"), "not a directory");
    EXPECT_EQ(readFile("config.ini"), configText(0, 250, 0, 0, 0));
    EXPECT_NE(captured.find("Could not save the replay"), std::string::npos) << captured;
}

TEST_F(RunEnd, AConfigThatCannotBeWrittenIsLoggedAndTheRunGoesOn) {
    playStage(0);
    std::filesystem::remove("config.ini");
    std::filesystem::create_directory("config.ini");
    ::testing::internal::CaptureStderr();
    endRunWithScore(250);
    captured = ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(std::filesystem::exists("replay/replay_00.bin")) << "the replay is still saved";
    EXPECT_EQ(game->hiScores[0], 250);
    EXPECT_EQ(std::count(captured.begin(), captured.end(), '\n'), 1) << captured;
    EXPECT_EQ(captured.rfind("Could not save the hi-score: ", 0), 0u) << captured;
    for (int i = 0; i < 5; ++i) playFrame(*game, {});
    EXPECT_EQ(game->phase, GameMain::RESULTS);
}

TEST_F(RunEnd, AReadOnlyDirectoryStillLeavesTheRunAndLogsBothFiles) {
    if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only directories";
    playStage(0);
    ::chmod(".", 0555);
    ::testing::internal::CaptureStderr();
    endRunWithScore(250);
    captured = ::testing::internal::GetCapturedStderr();
    ::chmod(".", 0755);
    EXPECT_EQ(game->hiScores[0], 250);
    EXPECT_EQ(game->phase, GameMain::RESULTS);
    EXPECT_NE(captured.find("Could not save the replay"), std::string::npos) << captured;
    EXPECT_NE(captured.find("Could not save the hi-score"), std::string::npos) << captured;
}

TEST_F(RunEnd, APlayedBackReplayNeverWritesAnything) {
    playStage(0);
    endRunWithScore(900);
    const std::string replay = readFile("replay/replay_00.bin");
    writeFile("config.ini", configText(0, 10, 0, 0, 0));  // any later score beats this
    restartFramework(true);
    Kiln_setGlobalInt(REPLAY_FLAG_SLOT, 1);
    startPlaying();
    ASSERT_EQ(game->replayMode, 1);
    endRunWithScore(5000);
    EXPECT_EQ(readFile("config.ini"), configText(0, 10, 0, 0, 0));
    EXPECT_EQ(readFile("replay/replay_00.bin"), replay);
}

TEST_F(RunEnd, ResultsShowOwariThenTheExitPrompt) {
    playStage(0, 100000);
    endRunWithScore(300);
    kiln_headless::clearDrawCalls();
    game->draw();
    EXPECT_EQ(textAt(200, 250, 4.0f), "RESULTS");
    EXPECT_EQ(textAt(210, 300, 2.0f), "SCORE");
    EXPECT_EQ(textAt(220, 320, 4.0f), std::to_string(game->score));
    EXPECT_EQ(textAt(200, 420, 4.0f), " OWARI !");
    EXPECT_EQ(glyphAt(170, 390), nullptr) << "no record, no NEW RECORD";
    for (int i = 0; i < 121; ++i) playFrame(*game, {});
    kiln_headless::clearDrawCalls();
    game->draw();
    EXPECT_EQ(textAt(100, 200, 2.0f), "PURESS Z OR UP BUTTON TO EXIT");
    EXPECT_EQ(glyphAt(232, 420), nullptr) << "the prompt replaces OWARI";
}

TEST_F(RunEnd, NewRecordFlashesWithThreeRandomDrawsOnEvenFrames) {
    playStage(0);
    endRunWithScore(300);
    if (game->frameCounter % 2 != 0) playFrame(*game, {});
    ASSERT_EQ(game->frameCounter % 2, 0);
    // Called directly, the layer draws from whichever generator is active: make it the run's.
    KilnRandomScope runSequence(game->random);
    const uint32_t index = Kiln_getRandIndex();
    kiln_headless::clearDrawCalls();
    game->drawResults();
    ASSERT_EQ(Kiln_getRandIndex(), index + 3);
    Kiln_srand(733, index);
    const int red = Kiln_rand(0, 255), green = Kiln_rand(0, 255), blue = Kiln_rand(0, 255);
    const KilnDrawCall* n = glyphAt(170, 390);
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n->glyph, 'N');
    EXPECT_EQ(n->r, red);
    EXPECT_EQ(n->g, green);
    EXPECT_EQ(n->b, blue);
    EXPECT_EQ(n->a, 255);

    game->frameCounter += 1;
    kiln_headless::clearDrawCalls();
    game->drawResults();
    EXPECT_EQ(Kiln_getRandIndex(), index + 3) << "odd frames draw white without a draw";
    n = glyphAt(170, 390);
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n->r, 255);
    EXPECT_EQ(n->g, 255);
    EXPECT_EQ(n->b, 255);
}

}  // namespace

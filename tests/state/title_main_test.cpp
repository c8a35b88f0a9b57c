// The title screen: what it shows, stage choice, how it starts a run or a
// replay, and what it makes of a missing or damaged "config.ini".
#include "headless_scene.h"
#include "config/player_files.h"
#include "state/title_main.h"
#include "state/watch_request.h"

namespace {

class TitleMainTest : public HeadlessScene {
protected:
    // Draws one title frame into a fresh list of recorded calls.
    void drawTitle(TitleMain& title) {
        kiln_headless::clearDrawCalls();
        title.draw();
    }

    // One title frame with a key tapped: the key goes down in this frame's
    // snapshot and is released before the next.
    void updateWithKeys(TitleMain& title, std::initializer_list<int> keys) {
        for (int key : keys) setKey(key, true);
        Kiln_waitFrame(16);
        title.update();
        for (int key : keys) setKey(key, false);
        Kiln_waitFrame(16);
    }

    static const char* configWith(const char* mode) {
        static std::string text;
        text = std::string("HI_SCORE1 = 100\nHI_SCORE2 = 2000\nHI_SCORE3 = 4500\nHI_SCORE4 = 99999\nMODE = ") + mode +
               "\n";
        return text.c_str();
    }
};

TEST_F(TitleMainTest, DrawsEveryTextAtItsPlaceAndScaleInWhite) {
    writeFile("config.ini", configWith("0"));
    TitleMain title;
    title.update();
    drawTitle(title);
    EXPECT_EQ(kiln_headless::drawCalls().front().kind, KilnDrawCall::CLEAR);
    EXPECT_EQ(textAt(200), (TextLine{"KVR 2013", 220, 3.0f, true}));
    EXPECT_EQ(textAt(10), (TextLine{"HI SCORE", 300, 2.0f, true}));
    EXPECT_EQ(textAt(30), (TextLine{"100", 300, 4.0f, true}));
    EXPECT_EQ(textAt(260), (TextLine{"STAGE:1000M", 250, 2.0f, true}));
    EXPECT_EQ(textAt(280), (TextLine{"PRESS L OR R BUTTON TO STAGE SELECT", 30, 2.0f, true}));
    EXPECT_EQ(textAt(340), (TextLine{"PRESS Z OR UP BUTTON TO START", 100, 2.0f, true}));
    EXPECT_EQ(textAt(360), (TextLine{"PRESS X BUTTON TO REPLAY", 100, 2.0f, true}));
    EXPECT_EQ(textAt(380), (TextLine{"PRESS O FOR OPTIONS", 100, 2.0f, true}));
    EXPECT_EQ(textAt(460), (TextLine{"DELTA HIDDEN YARD 2013", 280, 2.0f, true}));
    // Nothing but the clear and the glyphs: no picture, no frame-rate overlay.
    int glyphCount = 0;
    for (const char* text : {"KVR2013", "HISCORE", "100", "STAGE:1000M", "PRESSLORRBUTTONTOSTAGESELECT",
                             "PRESSZORUPBUTTONTOSTART", "PRESSXBUTTONTOREPLAY", "PRESSOFOROPTIONS", "DELTAHIDDENYARD2013"}) {
        glyphCount += static_cast<int>(std::string(text).size());
    }
    EXPECT_EQ(countCalls(KilnDrawCall::GLYPH), glyphCount);
    EXPECT_EQ(static_cast<int>(kiln_headless::drawCalls().size()), glyphCount + 1);
    EXPECT_EQ(Kiln_getBlendMode(), BLEND_ALPHA);
}

TEST_F(TitleMainTest, ShowsTheStoredStageWithItsHiScore) {
    writeFile("config.ini", configWith("2"));
    TitleMain title;
    EXPECT_EQ(title.getStage(), 2);
    drawTitle(title);
    EXPECT_EQ(textAt(260).text, "STAGE:3000M");
    EXPECT_EQ(textAt(30).text, "4500");
}

TEST_F(TitleMainTest, StageLabelsFollowRightAndWrapBothWays) {
    writeFile("config.ini", configWith("0"));
    TitleMain title;
    const char* expected[] = {"STAGE:2000M", "STAGE:3000M", "STAGE:ENDRESS", "STAGE:1000M"};
    const char* scores[] = {"2000", "4500", "99999", "100"};
    for (int i = 0; i < 4; ++i) {
        updateWithKeys(title, {KEY_RIGHT});
        drawTitle(title);
        EXPECT_EQ(textAt(260).text, expected[i]);
        EXPECT_EQ(textAt(30).text, scores[i]);
    }
    updateWithKeys(title, {KEY_LEFT});
    EXPECT_EQ(title.getStage(), 3);
    drawTitle(title);
    EXPECT_EQ(textAt(260).text, "STAGE:ENDRESS");
    updateWithKeys(title, {KEY_LEFT});
    EXPECT_EQ(title.getStage(), 2);
    EXPECT_EQ(title.getMessage(), MSG_NONE);
}

TEST_F(TitleMainTest, LeftWinsOverRightInTheSameFrame) {
    writeFile("config.ini", configWith("1"));
    TitleMain title;
    updateWithKeys(title, {KEY_LEFT, KEY_RIGHT});
    EXPECT_EQ(title.getStage(), 0);
}

TEST_F(TitleMainTest, HoldingADirectionMovesOneStageOnly) {
    writeFile("config.ini", configWith("0"));
    TitleMain title;
    setKey(KEY_RIGHT, true);
    for (int i = 0; i < 10; ++i) {
        Kiln_waitFrame(16);
        title.update();
    }
    EXPECT_EQ(title.getStage(), 1);
}

TEST_F(TitleMainTest, StartWithZSavesTheShownStageThenPostsALiveRun) {
    writeFile("config.ini", configWith("0"));
    Kiln_setGlobalInt(REPLAY_FLAG_SLOT, 7);
    TitleMain title;
    updateWithKeys(title, {KEY_RIGHT});
    EXPECT_EQ(readFile("config.ini").find("MODE = 1"), std::string::npos);
    updateWithKeys(title, {KEY_z});
    EXPECT_EQ(title.getMessage(), MSG_GAME);
    EXPECT_EQ(Kiln_getGlobalInt(REPLAY_FLAG_SLOT), 0);
    EXPECT_EQ(readFile("config.ini"),
              "HI_SCORE1 = 100\nHI_SCORE2 = 2000\nHI_SCORE3 = 4500\nHI_SCORE4 = 99999\nMODE = 1\n");
}

TEST_F(TitleMainTest, UpAndSpaceStartLiveRunsToo) {
    for (int key : {KEY_UP, KEY_SPACE}) {
        writeFile("config.ini", configWith("3"));
        Kiln_setGlobalInt(REPLAY_FLAG_SLOT, 1);
        TitleMain title;
        updateWithKeys(title, {key});
        EXPECT_EQ(title.getMessage(), MSG_GAME) << "key " << key;
        EXPECT_EQ(Kiln_getGlobalInt(REPLAY_FLAG_SLOT), 0) << "key " << key;
        EXPECT_NE(readFile("config.ini").find("MODE = 3\n"), std::string::npos);
    }
}

TEST_F(TitleMainTest, BWatchesTheShownStagesReplayInTheTheatre) {
    writeFile("config.ini", configWith("0"));
    TitleMain title;
    updateWithKeys(title, {KEY_LEFT});
    updateWithKeys(title, {KEY_x});
    EXPECT_EQ(title.getMessage(), MSG_THEATRE);
    const std::optional<WatchRequest> request = takeWatchRequest();
    ASSERT_TRUE(request.has_value());
    EXPECT_EQ(request->replayFile, stageReplayFile(3));
    EXPECT_EQ(request->stage, 3);
    EXPECT_EQ(request->hiScore, 99999) << "the theatre is told the hi-score shown";
    EXPECT_EQ(request->speedStep, THEATRE_NORMAL_SPEED);
    EXPECT_NE(readFile("config.ini").find("MODE = 3\n"), std::string::npos);
}

TEST_F(TitleMainTest, AAndBTogetherWatchTheReplay) {
    writeFile("config.ini", configWith("0"));
    TitleMain title;
    updateWithKeys(title, {KEY_z, KEY_x});
    EXPECT_EQ(title.getMessage(), MSG_THEATRE);
    EXPECT_TRUE(takeWatchRequest().has_value());
}

TEST_F(TitleMainTest, AReplayFileDroppedOnTheWindowIsWatchedOnTheShownStage) {
    writeFile("config.ini", configWith("1"));
    TitleMain title;
    kiln_headless::dropFile("/home/player/Downloads/best 2000m.bin");
    updateWithKeys(title, {});
    EXPECT_EQ(title.getMessage(), MSG_THEATRE);
    const std::optional<WatchRequest> request = takeWatchRequest();
    ASSERT_TRUE(request.has_value());
    EXPECT_EQ(request->replayFile, "/home/player/Downloads/best 2000m.bin");
    EXPECT_EQ(request->stage, 1);
    EXPECT_EQ(request->hiScore, 2000);

    // A drop the title did not see in its own frame (it came during a run) is not watched later.
    TitleMain later;
    kiln_headless::dropFile("old.bin");
    Kiln_waitFrame(16);
    Kiln_waitFrame(16);
    later.update();
    EXPECT_EQ(later.getMessage(), MSG_NONE);
}

TEST_F(TitleMainTest, AStageChangeInTheStartFrameComesAfterTheSave) {
    writeFile("config.ini", configWith("2"));
    TitleMain title;
    updateWithKeys(title, {KEY_z, KEY_RIGHT});
    EXPECT_EQ(title.getMessage(), MSG_GAME);
    EXPECT_NE(readFile("config.ini").find("MODE = 2\n"), std::string::npos);
    EXPECT_EQ(title.getStage(), 3);
}

TEST_F(TitleMainTest, OOrAControllersBackOpensTheOptionsAndKeepsTheShownStage) {
    writeFile("config.ini", configWith("0"));
    TitleMain title;
    updateWithKeys(title, {KEY_RIGHT});
    updateWithKeys(title, {KEY_o, KEY_z});
    EXPECT_EQ(title.getMessage(), MSG_OPTIONS) << "O wins over a start in the same frame";
    EXPECT_EQ(readFile("config.ini"), configWith("1"));

    TitleMain again;
    const int pad = kiln_headless::connectController("Pad", true);
    Kiln_waitFrame(16);
    kiln_headless::setControllerInput(pad, CONTROLLER_BACK, true);
    Kiln_waitFrame(16);
    again.update();
    EXPECT_EQ(again.getMessage(), MSG_OPTIONS);
}

TEST_F(TitleMainTest, NoKeysMeansNoRunAndNoSave) {
    writeFile("config.ini", "MODE=1\nHI_SCORE1=5\nHI_SCORE2=6\nHI_SCORE3=7\nHI_SCORE4=8\n");
    TitleMain title;
    for (int i = 0; i < 30; ++i) {
        Kiln_waitFrame(16);
        title.update();
    }
    EXPECT_EQ(title.getMessage(), MSG_NONE);
    EXPECT_EQ(readFile("config.ini"), "MODE=1\nHI_SCORE1=5\nHI_SCORE2=6\nHI_SCORE3=7\nHI_SCORE4=8\n");
}

TEST_F(TitleMainTest, FadesTheMusicOutOnItsFirstFrameOnly) {
    // Music still playing from a run.
    Kiln_playBgm("resource/sound/bgm.ogg", -1, 0);
    TitleMain title;
    kiln_headless::clearSoundEvents();
    title.update();
    title.update();
    title.update();
    const auto& sounds = kiln_headless::soundEvents();
    ASSERT_EQ(sounds.size(), 1u);
    EXPECT_EQ(sounds[0].kind, KilnSoundEvent::STOP_BGM);
    EXPECT_EQ(sounds[0].value, 1000);
}

TEST_F(TitleMainTest, MissingConfigIsRecreatedWithZerosAndStageOneSelected) {
    ASSERT_FALSE(fileExists("config.ini"));
    TitleMain title;
    EXPECT_EQ(readFile("config.ini"), "HI_SCORE1 = 0\nHI_SCORE2 = 0\nHI_SCORE3 = 0\nHI_SCORE4 = 0\nMODE = 0\n");
    EXPECT_EQ(title.getStage(), 0);
    drawTitle(title);
    EXPECT_EQ(textAt(260).text, "STAGE:1000M");
    EXPECT_EQ(textAt(30).text, "0");
    // Recreating a missing file is normal and says nothing.
    EXPECT_EQ(readFile("run.log"), "TitleMain\n");
}

TEST_F(TitleMainTest, BadOrMissingValuesAreLoggedAndReadAsZero) {
    writeFile("config.ini", "HI_SCORE1 = 300\nHI_SCORE2 = abc\nHI_SCORE3 = -5\nMODE = 1\n");
    TitleMain title;
    EXPECT_EQ(title.getHiScore(0), 300);
    EXPECT_EQ(title.getHiScore(1), 0);
    EXPECT_EQ(title.getHiScore(2), 0);
    EXPECT_EQ(title.getHiScore(3), 0);
    EXPECT_EQ(title.getStage(), 1);
    std::string log = readFile("run.log");
    ASSERT_EQ(log.rfind("TitleMain\n", 0), 0u);
    // One line per damaged key, naming the key and what it held.
    std::istringstream lines(log.substr(std::string("TitleMain\n").size()));
    std::vector<std::string> problems;
    for (std::string line; std::getline(lines, line);) problems.push_back(line);
    ASSERT_EQ(problems.size(), 3u) << log;
    EXPECT_NE(problems[0].find("HI_SCORE2"), std::string::npos);
    EXPECT_NE(problems[0].find("abc"), std::string::npos);
    EXPECT_NE(problems[1].find("HI_SCORE3"), std::string::npos);
    EXPECT_NE(problems[1].find("-5"), std::string::npos);
    EXPECT_NE(problems[2].find("HI_SCORE4"), std::string::npos);
    EXPECT_EQ(log.back(), '\n');
    // The title keeps working from what it could read.
    drawTitle(title);
    EXPECT_EQ(textAt(260).text, "STAGE:2000M");
    EXPECT_EQ(textAt(30).text, "0");
}

TEST_F(TitleMainTest, StageOutsideTheFourSelectsTheFirstAndIsLogged) {
    for (const char* mode : {"9", "4"}) {
        writeFile("config.ini", configWith(mode));
        std::filesystem::remove(workDir / "run.log");
        TitleMain title;
        EXPECT_EQ(title.getStage(), 0) << "MODE " << mode;
        drawTitle(title);
        EXPECT_EQ(textAt(260).text, "STAGE:1000M");
        EXPECT_EQ(textAt(30).text, "100");
        std::string log = readFile("run.log");
        EXPECT_NE(log.find("MODE"), std::string::npos) << log;
        EXPECT_NE(log.find(mode, std::string("TitleMain\n").size()), std::string::npos) << log;
    }
}

}  // namespace

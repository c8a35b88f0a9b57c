// The hi-scores and stage the title and game scenes take from "config.ini",
// and how a missing or damaged file is recovered.
#include "config/game_settings.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "temp_dir.h"

namespace {

const std::string ZERO_SCORES = "HI_SCORE1 = 0\nHI_SCORE2 = 0\nHI_SCORE3 = 0\nHI_SCORE4 = 0\n";

GameSettings loadSettings(const std::string& file, int defaultMode, std::vector<std::string>& problems) {
    ConfigParser config;
    problems = loadOrCreateGameConfig(config, file, defaultMode);
    return readGameSettings(config, problems);
}

}  // namespace

TEST(GameConfigRecovery, MissingFileIsRecreatedWithTheTitleDefaultQuietly) {
    TempDir dir;
    const std::string file = dir.file("config.ini");
    std::vector<std::string> problems;
    GameSettings settings = loadSettings(file, 0, problems);
    EXPECT_TRUE(problems.empty());
    EXPECT_EQ(readText(file), ZERO_SCORES + "MODE = 0\n");
    EXPECT_EQ(settings.stage, 0);
    EXPECT_EQ(settings.hiScores, (std::array<int, 4>{0, 0, 0, 0}));
}

TEST(GameConfigRecovery, MissingFileIsRecreatedWithTheRunDefaultStage) {
    TempDir dir;
    const std::string file = dir.file("config.ini");
    std::vector<std::string> problems;
    GameSettings settings = loadSettings(file, 1, problems);
    EXPECT_TRUE(problems.empty());
    EXPECT_EQ(readText(file), ZERO_SCORES + "MODE = 1\n");
    EXPECT_EQ(settings.stage, 1);
}

TEST(GameConfigRecovery, AGoodFileIsReadAndLeftAsItWas) {
    TempDir dir;
    const std::string file = dir.file("config.ini");
    const std::string text = "# mine\nHI_SCORE1 = 10\nHI_SCORE2=20\nHI_SCORE3 = 30\nHI_SCORE4 = 40\nMODE = 3\n";
    writeText(file, text);
    std::vector<std::string> problems;
    GameSettings settings = loadSettings(file, 0, problems);
    EXPECT_TRUE(problems.empty());
    EXPECT_EQ(settings.hiScores, (std::array<int, 4>{10, 20, 30, 40}));
    EXPECT_EQ(settings.stage, 3);
    EXPECT_EQ(readText(file), text);
}

TEST(GameConfigRecovery, AFailedSaveOfTheRecreatedFileIsReportedAndDefaultsStillApply) {
    TempDir dir;
    const std::string file = dir.file("gone/config.ini");
    std::vector<std::string> problems;
    GameSettings settings = loadSettings(file, 1, problems);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].find(std::strerror(ENOENT)), std::string::npos) << problems[0];
    EXPECT_EQ(settings.stage, 1);
    EXPECT_FALSE(std::filesystem::exists(file));
}

TEST(GameConfigValues, MissingKeyAndBadNumberReadAsZeroWithOneLineEach) {
    TempDir dir;
    const std::string file = dir.file("config.ini");
    writeText(file, "HI_SCORE1 = 5\nHI_SCORE2 = 12a\nHI_SCORE3 = 4294967296\nMODE = 2\n");
    std::vector<std::string> problems;
    GameSettings settings = loadSettings(file, 0, problems);
    EXPECT_EQ(settings.hiScores, (std::array<int, 4>{5, 0, 0, 0}));
    EXPECT_EQ(settings.stage, 2);
    EXPECT_EQ(problems, (std::vector<std::string>{
                            file + ": bad value for HI_SCORE2 ('12a'), using 0",
                            file + ": bad value for HI_SCORE3 ('4294967296'), using 0",
                            file + ": missing key HI_SCORE4, using 0",
                        }));
}

TEST(GameConfigValues, ModeOutsideTheStagesSelectsStageZero) {
    TempDir dir;
    const std::string file = dir.file("config.ini");
    writeText(file, ZERO_SCORES + "MODE = 7\n");
    std::vector<std::string> problems;
    GameSettings settings = loadSettings(file, 1, problems);
    EXPECT_EQ(settings.stage, 0);
    EXPECT_EQ(problems, (std::vector<std::string>{file + ": MODE 7 is not a stage (0 to 3), using stage 0"}));
}

TEST(GameConfigValues, NegativeModeIsABadNumber) {
    TempDir dir;
    const std::string file = dir.file("config.ini");
    writeText(file, ZERO_SCORES + "MODE = -1\n");
    std::vector<std::string> problems;
    GameSettings settings = loadSettings(file, 1, problems);
    EXPECT_EQ(settings.stage, 0);
    EXPECT_EQ(problems, (std::vector<std::string>{file + ": bad value for MODE ('-1'), using 0"}));
}

TEST(GameConfigValues, AnUnloadedParserReportsEveryKeyMissing) {
    ConfigParser config;
    std::vector<std::string> problems;
    GameSettings settings = readGameSettings(config, problems);
    EXPECT_EQ(settings.stage, 0);
    ASSERT_EQ(problems.size(), 5u);
    EXPECT_EQ(problems[0], "config: missing key HI_SCORE1, using 0");
    EXPECT_EQ(problems[4], "config: missing key MODE, using 0");
}

struct GhostValue {
    const char* text;  // nullptr: no GHOST line at all
    GhostSetting setting;
};

TEST(GhostSetting, EachValueReadsAsItsGhostAndAnOlderFileMeansTheOwnBest) {
    const GhostValue cases[] = {
        {nullptr, GhostSetting::OwnBest},  // a config.ini from before the ghost
        {"1", GhostSetting::OwnBest},
        {"0", GhostSetting::Off},
        {"NEXT", GhostSetting::NextAbove},
        {"WORLD", GhostSetting::WorldBest},
    };
    for (const GhostValue& value : cases) {
        ConfigParser config;
        if (value.text) config.set("GHOST", value.text);
        std::vector<std::string> problems;
        EXPECT_EQ(readGhostSetting(config, problems), value.setting) << (value.text ? value.text : "no key");
        EXPECT_TRUE(problems.empty());
        if (value.text) {
            EXPECT_STREQ(ghostSettingValue(value.setting), value.text) << "written as it is read";
        }
    }
}

TEST(GhostSetting, ABadValueIsOneProblemLineNamingTheKeyAndTheDefault) {
    TempDir dir;
    const std::string file = dir.file("config.ini");
    writeText(file, ZERO_SCORES + "MODE = 0\nGHOST = yes please\n");
    ConfigParser config;
    std::vector<std::string> problems = loadOrCreateGameConfig(config, file, 0);
    EXPECT_EQ(readGhostSetting(config, problems), GhostSetting::OwnBest);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0], file + ": bad value for GHOST ('yes please'), using 1");
    for (const char* bad : {"2", "next", "World", ""}) {
        config.set("GHOST", bad);
        EXPECT_EQ(readGhostSetting(config, problems), GhostSetting::OwnBest) << bad;
    }
    EXPECT_EQ(problems.size(), 5u);
}

// Where the player's files live and the session copy of the settings: a
// data directory that cannot be written, or a save that fails during play,
// must keep the hi-scores and the chosen stage for the rest of the session
// without writing anything.
#include "config/player_files.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "config/game_settings.h"
#include "temp_dir.h"

namespace {

class PlayerFiles : public ::testing::Test {
protected:
    void TearDown() override { setPlayerDataDir("", true); }

    // Reads the settings the way a scene does at its start.
    static GameSettings settingsNow(int defaultMode = 0) {
        ConfigParser config;
        std::vector<std::string> problems = loadPlayerConfig(config, defaultMode);
        return readGameSettings(config, problems);
    }

    TempDir dir;
};

TEST_F(PlayerFiles, PathsAreInsideTheDataDirectory) {
    EXPECT_EQ(configFilePath(), "config.ini") << "the working directory by default";
    EXPECT_EQ(stageReplayFile(0), "replay/replay_00.bin");
    EXPECT_EQ(stageReplayFile(3), "replay/replay_03.bin");
    setPlayerDataDir("/home/p/.local/share/kvr2013", true);
    EXPECT_EQ(configFilePath(), "/home/p/.local/share/kvr2013/config.ini");
    EXPECT_EQ(stageReplayFile(2), "/home/p/.local/share/kvr2013/replay/replay_02.bin");
    setPlayerDataDir("/data/", true);
    EXPECT_EQ(playerFilePath("run.log"), "/data/run.log");
}

TEST_F(PlayerFiles, AWritableDirectoryKeepsTheSettingsOnDisk) {
    setPlayerDataDir(dir.path().string(), true);
    EXPECT_EQ(settingsNow(0).stage, 0);
    ASSERT_TRUE(std::filesystem::exists(dir.file("config.ini"))) << "a first start writes the defaults";
    ConfigParser config;
    loadPlayerConfig(config, 0);
    config.setInt("MODE", 2);
    savePlayerConfig(config);
    EXPECT_NE(readText(dir.file("config.ini")).find("MODE = 2\n"), std::string::npos);
    EXPECT_EQ(settingsNow().stage, 2);
}

TEST_F(PlayerFiles, AnUnwritableDirectoryKeepsEverythingInMemoryAndWritesNothing) {
    writeText(dir.file("config.ini"), "HI_SCORE1 = 500\nHI_SCORE2 = 0\nHI_SCORE3 = 0\nHI_SCORE4 = 0\nMODE = 1\n");
    const std::string before = readText(dir.file("config.ini"));
    setPlayerDataDir(dir.path().string(), false);
    EXPECT_EQ(settingsNow().hiScores[0], 500) << "what is on disk is still read";

    ConfigParser config;
    loadPlayerConfig(config, 0);
    config.setInt("HI_SCORE1", 900);
    config.setInt("MODE", 3);
    savePlayerConfig(config);
    EXPECT_EQ(readText(dir.file("config.ini")), before);
    const GameSettings later = settingsNow();
    EXPECT_EQ(later.hiScores[0], 900) << "the record lives on for the session";
    EXPECT_EQ(later.stage, 3) << "the chosen stage reaches the run";
}

TEST_F(PlayerFiles, AnUnwritableDirectoryWithoutSettingsStartsFromTheDefaults) {
    const std::filesystem::path missing = dir.path() / "not-made";
    setPlayerDataDir(missing.string(), false);
    const GameSettings settings = settingsNow(1);
    EXPECT_EQ(settings.stage, 1);
    EXPECT_FALSE(std::filesystem::exists(missing)) << "nothing is created";
}

TEST_F(PlayerFiles, AFailedSaveThrowsAndTheSessionCopyCarriesTheStage) {
    setPlayerDataDir(dir.path().string(), true);
    ConfigParser config;
    loadPlayerConfig(config, 0);
    // A directory where the file should be: the save cannot replace it.
    std::filesystem::remove(dir.file("config.ini"));
    std::filesystem::create_directory(dir.file("config.ini"));
    config.setInt("MODE", 2);
    EXPECT_THROW(savePlayerConfig(config), std::exception);
    EXPECT_EQ(settingsNow().stage, 2);

    // Once the disk takes the settings again, the disk is what is read.
    std::filesystem::remove(dir.file("config.ini"));
    config.setInt("MODE", 3);
    savePlayerConfig(config);
    writeText(dir.file("config.ini"), "HI_SCORE1 = 0\nHI_SCORE2 = 0\nHI_SCORE3 = 0\nHI_SCORE4 = 0\nMODE = 0\n");
    EXPECT_EQ(settingsNow().stage, 0);
}

}  // namespace

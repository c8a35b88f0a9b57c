// Start-up's hand-over of this run's directories: the framework reads the
// resources from the one found, and the run log, the settings, the replays
// and the screenshots all go to the player's data directory, or nowhere at
// all when it cannot be written.
#include "boot/use_directories.h"

#include <gtest/gtest.h>

#include "config/player_files.h"
#include "config/temp_dir.h"
#include "kiln2/headless.h"
#include "kiln2/kiln2.h"

namespace {

namespace fs = std::filesystem;

class UseDirectories : public ::testing::Test {
protected:
    void SetUp() override {
        previousDir = fs::current_path();
        fs::create_directories(workingDir);
        fs::create_directories(data);
        fs::current_path(workingDir);
        Kiln_useHeadlessBackend({.readResourceFiles = false, .writeRunLog = true, .logToStderr = true,
                                 .recordDrawCalls = false});
    }

    void TearDown() override {
        Kiln_quit();
        kiln_headless::reset();
        setPlayerDataDir("", true);
        fs::current_path(previousDir);
    }

    GameDirectories directories() const {
        GameDirectories dirs;
        dirs.resources.dir = root.path() / "share" / "kvr2013" / "resource";
        dirs.data = {data, DataDirRule::XdgDataHome};
        return dirs;
    }

    TempDir root;
    const fs::path workingDir = root.path() / "cwd";
    const fs::path data = root.path() / "data" / "kvr2013";
    fs::path previousDir;
};

TEST_F(UseDirectories, AWritableDataDirectoryGetsEveryFileOfThePlayer) {
    useGameDirectories(directories(), true);
    Kiln_init("KVR2013", 640, 480, false, false);
    Kiln_log("TitleMain\n");
    EXPECT_EQ(readText((data / "run.log").string()), "TitleMain\n");
    EXPECT_EQ(configFilePath(), (data / "config.ini").string());
    EXPECT_EQ(stageReplayFile(1), (data / "replay" / "replay_01.bin").string());
    EXPECT_EQ(Kiln_screenshot(), (data / "screenshots" / "kilnshot-0001.png").string());
    EXPECT_EQ(Kiln_resourcePath("resource/sound/bgm.ogg"),
              (root.path() / "share" / "kvr2013" / "resource" / "sound" / "bgm.ogg").string());
    EXPECT_TRUE(fs::is_empty(workingDir)) << "nothing lands in the working directory";
}

TEST_F(UseDirectories, AnUnwritableOneGetsNothingAndNeitherDoesAnyOtherPlace) {
    useGameDirectories(directories(), false);
    Kiln_init("KVR2013", 640, 480, false, false);
    Kiln_log("TitleMain\n");
    EXPECT_EQ(Kiln_screenshot(), "");
    ConfigParser config;
    loadPlayerConfig(config, 0);
    config.setInt("MODE", 2);
    savePlayerConfig(config);
    EXPECT_TRUE(fs::is_empty(data));
    EXPECT_TRUE(fs::is_empty(workingDir));
    ConfigParser again;
    loadPlayerConfig(again, 0);
    EXPECT_EQ(again.getInt("MODE"), 2) << "the session keeps the settings";
}

}  // namespace

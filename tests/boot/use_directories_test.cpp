// Start-up's hand-over of this run's directories when the player's one
// cannot be written: no run log, no screenshot, no settings file, anywhere.
// (Where the files go when it can is the installed game's end-to-end test.)
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

TEST_F(UseDirectories, AnUnwritableOneGetsNothingAndNeitherDoesAnyOtherPlace) {
    useGameDirectories(directories(), false);
    Kiln_init("KVR2013", 640, 480, false, false);
    Kiln_log("TitleMain\n");
    EXPECT_EQ(Kiln_resourcePath("resource/sound/bgm.ogg"),
              (root.path() / "share" / "kvr2013" / "resource" / "sound" / "bgm.ogg").string());
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

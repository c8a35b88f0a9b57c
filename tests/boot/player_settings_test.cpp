// What start-up hands the framework from the player's files: the mapping file
// of the data directory, and PICTURE from "config.ini" with its recovery rule.
#include "boot/player_settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "config/player_files.h"
#include "kiln2/headless.h"
#include "kiln2/kiln2.h"

namespace {

class PlayerSettings : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device seed;
        dir = std::filesystem::temp_directory_path() / ("kvr2013-settings-" + std::to_string(seed()));
        std::filesystem::create_directories(dir);
        setPlayerDataDir(dir.string(), true);
        kiln_headless::reset();
        Kiln_useHeadlessBackend({.readResourceFiles = false, .writeRunLog = true, .logToStderr = true,
                                 .recordDrawCalls = false});
        Kiln_setRunLogFile((dir / "run.log").string());
    }

    void TearDown() override {
        Kiln_quit();
        kiln_headless::reset();
        setPlayerDataDir("", true);
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }

    void write(const std::string& name, const std::string& text) { std::ofstream(dir / name) << text; }

    std::string runLog() {
        std::ifstream in(dir / "run.log");
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    std::filesystem::path dir;
};

TEST_F(PlayerSettings, TheMappingFileIsTheDataDirectorysOwn) {
    const std::string line = "030000005e0400008e02000014010000,Their Pad,a:b0,b:b1,";
    write("gamecontrollerdb.txt", line + "\n");
    choosePlayerControllerMappings();
    Kiln_init("test", 640, 480, false, false);
    EXPECT_EQ(kiln_headless::controllerMappings(), std::vector<std::string>{line});
}

TEST_F(PlayerSettings, PictureIntegerFromConfigReachesTheWindow) {
    write("config.ini", "HI_SCORE1 = 0\nHI_SCORE2 = 0\nHI_SCORE3 = 0\nHI_SCORE4 = 0\nMODE = 2\nPICTURE = integer\n");
    Kiln_init("test", 640, 480, false, false);
    applyPlayerPictureSetting();
    EXPECT_EQ(Kiln_getPictureScaling(), PICTURE_INTEGER);
    EXPECT_EQ(kiln_headless::pictureScaling(), PICTURE_INTEGER);
    EXPECT_EQ(runLog(), "");
}

TEST_F(PlayerSettings, ABadPictureValueIsOneLogLineAndSmooth) {
    write("config.ini", "HI_SCORE1 = x\nMODE = 0\nPICTURE = crisp\n");
    Kiln_setPictureScaling(PICTURE_INTEGER);
    Kiln_init("test", 640, 480, false, false);
    applyPlayerPictureSetting();
    EXPECT_EQ(Kiln_getPictureScaling(), PICTURE_SMOOTH);
    // The other keys' problems are the scenes' to report.
    EXPECT_EQ(runLog(), (dir / "config.ini").string() + ": bad value for PICTURE ('crisp'), using smooth\n");
}

TEST_F(PlayerSettings, AFirstStartIsSmooth) {
    Kiln_init("test", 640, 480, false, false);
    applyPlayerPictureSetting();
    EXPECT_EQ(Kiln_getPictureScaling(), PICTURE_SMOOTH);
    EXPECT_EQ(runLog(), "");
}

}  // namespace

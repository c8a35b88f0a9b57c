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
    applyPlayerOptions();
    EXPECT_EQ(Kiln_getPictureScaling(), PICTURE_INTEGER);
    EXPECT_EQ(kiln_headless::pictureScaling(), PICTURE_INTEGER);
    EXPECT_EQ(runLog(), "");
}

TEST_F(PlayerSettings, ABadPictureValueIsOneLogLineAndSmooth) {
    write("config.ini", "HI_SCORE1 = x\nMODE = 0\nPICTURE = crisp\n");
    Kiln_setPictureScaling(PICTURE_INTEGER);
    Kiln_init("test", 640, 480, false, false);
    applyPlayerOptions();
    EXPECT_EQ(Kiln_getPictureScaling(), PICTURE_SMOOTH);
    // The other keys' problems are the scenes' to report.
    EXPECT_EQ(runLog(), (dir / "config.ini").string() + ": bad value for PICTURE ('crisp'), using smooth\n");
}

TEST_F(PlayerSettings, AFirstStartIsSmooth) {
    Kiln_init("test", 640, 480, false, false);
    applyPlayerOptions();
    EXPECT_EQ(Kiln_getPictureScaling(), PICTURE_SMOOTH);
    EXPECT_EQ(runLog(), "");
}

TEST_F(PlayerSettings, EveryOptionReachesTheFrameworkAtStart) {
    write("config.ini",
          "HI_SCORE1 = 0\nMODE = 0\nMUSIC_VOLUME = 3\nEFFECTS_VOLUME = 0\nMUTE = 1\nFULL_SCREEN = 1\n"
          "KEY_UP = W\nKEY_A = Left Shift\nCONTROLLER_A = east\n");
    Kiln_init("test", 640, 480, false, false);
    applyPlayerOptions();
    EXPECT_EQ(Kiln_getMusicVolume(), 3);
    EXPECT_EQ(Kiln_getEffectsVolume(), 0);
    EXPECT_TRUE(Kiln_isMuted());
    EXPECT_TRUE(Kiln_isFullScreen());
    EXPECT_EQ(Kiln_getBoundKey(PAD_UP), KEY_w);
    EXPECT_EQ(Kiln_getBoundKey(PAD_A), 304);
    EXPECT_EQ(Kiln_getBoundKey(PAD_B), KEY_x) << "a key the file does not name keeps its default";
    EXPECT_EQ(Kiln_getControllerFaceA(), FACE_EAST);
    EXPECT_EQ(runLog(), "");
}

TEST_F(PlayerSettings, FullScreenFromTheCommandLineStaysFullScreen) {
    write("config.ini", "HI_SCORE1 = 0\nMODE = 0\nFULL_SCREEN = 0\n");
    Kiln_init("test", 640, 480, true, false);
    applyPlayerOptions();
    EXPECT_TRUE(Kiln_isFullScreen());
}

TEST_F(PlayerSettings, BadOptionsAreOneLineEachAndTheirDefaults) {
    write("config.ini", "HI_SCORE1 = 0\nMODE = 0\nMUSIC_VOLUME = 99\nKEY_UP = Escape\nKEY_B = Up\n");
    Kiln_init("test", 640, 480, false, false);
    applyPlayerOptions();
    EXPECT_EQ(Kiln_getMusicVolume(), 10);
    EXPECT_EQ(Kiln_getBoundKey(PAD_UP), KEY_UP);
    EXPECT_EQ(Kiln_getBoundKey(PAD_B), KEY_x);
    const std::string file = (dir / "config.ini").string();
    EXPECT_EQ(runLog(), file + ": bad value for MUSIC_VOLUME ('99'), using 10\n" + file +
                            ": bad value for KEY_UP ('Escape'), using Up\n" + file +
                            ": KEY_B ('Up') is bound to another button already, using X\n");
}

// With no KEY_DOWN line, DOWN keeps its default key, the one UP now names:
// the pair is refused in one line and every button keeps its own key.
TEST_F(PlayerSettings, AKeySharedWithADefaultIsOneLineAndTheDefaultKeys) {
    write("config.ini", "HI_SCORE1 = 0\nMODE = 0\nKEY_UP = Down\n");
    Kiln_init("test", 640, 480, false, false);
    applyPlayerOptions();
    EXPECT_EQ(Kiln_getBoundKey(PAD_UP), KEY_UP);
    EXPECT_EQ(Kiln_getBoundKey(PAD_DOWN), KEY_DOWN);
    EXPECT_EQ(runLog(),
              (dir / "config.ini").string() + ": the keys KEY_UP to KEY_B share a key, using the default keys\n");
}

TEST_F(PlayerSettings, MTogglingTheMuteIsSavedAtOnceBesideTheRecords) {
    const std::string records = "HI_SCORE1 = 50\nHI_SCORE2 = 0\nHI_SCORE3 = 0\nHI_SCORE4 = 0\nMODE = 1\n";
    write("config.ini", records);
    Kiln_init("test", 640, 480, false, false);
    applyPlayerOptions();
    kiln_headless::setKey(KEY_m, true);
    Kiln_waitFrame(16);
    std::ifstream in(dir / "config.ini");
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), records + "MUTE = 1\n");
}

}  // namespace

// The options of "config.ini": defaults for an older file, the round trip,
// every bad value falling back with one line naming its key, the key
// bindings' duplicates, and saving options without losing a record.
#include "config/options_settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "config/game_settings.h"
#include "config/player_files.h"
#include "config/server_settings.h"
#include "temp_dir.h"

namespace {

const std::string OLD_FILE = "HI_SCORE1 = 100\nHI_SCORE2 = 200\nHI_SCORE3 = 300\nHI_SCORE4 = 400\nMODE = 2\n";

// A stand-in for the framework's key names: a few keys, spelled as the
// keyboard names them whatever the case they are written in; Escape has a
// job of its own and is no key to bind.
std::string knownKey(const std::string& name) {
    static const char* const known[] = {"Up", "Down", "Left", "Right", "Z", "X", "W", "A", "S", "D", "Left Shift"};
    std::string lower = name;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    for (const char* key : known) {
        std::string candidate = key;
        std::transform(candidate.begin(), candidate.end(), candidate.begin(),
                       [](unsigned char c) { return std::tolower(c); });
        if (candidate == lower) return key;
    }
    return "";
}

class OptionsFile : public ::testing::Test {
protected:
    void TearDown() override { setPlayerDataDir("", true); }

    OptionsSettings readFrom(const std::string& text) {
        writeText(file(), text);
        ConfigParser config;
        config.load(file());
        problems.clear();
        return readOptionsSettings(config, knownKey, problems);
    }

    // The options as the game finds them in the player's directory now.
    OptionsSettings playerOptions() {
        ConfigParser config;
        loadPlayerConfig(config, 0);
        problems.clear();
        return readOptionsSettings(config, knownKey, problems);
    }

    static GameSettings playerRecords() {
        ConfigParser config;
        std::vector<std::string> ignored = loadPlayerConfig(config, 0);
        return readGameSettings(config, ignored);
    }

    std::string file() const { return dir.file("config.ini"); }

    TempDir dir;
    std::vector<std::string> problems;
};

TEST_F(OptionsFile, AnOlderFileWithOnlyTheRecordsReadsAsTheDefaultsQuietly) {
    const OptionsSettings options = readFrom(OLD_FILE);
    EXPECT_TRUE(problems.empty());
    EXPECT_EQ(options, OptionsSettings{});
    EXPECT_EQ(options.musicVolume, 10) << "today's loudness for a player who never opens the screen";
    EXPECT_EQ(options.keys, (KeyBindingNames{"Up", "Down", "Left", "Right", "Z", "X"}));
    EXPECT_EQ(options.ghost, GhostSetting::OwnBest);
}

TEST_F(OptionsFile, EveryOptionSurvivesASaveAndALoad) {
    OptionsSettings chosen;
    chosen.musicVolume = 2;
    chosen.effectsVolume = 0;
    chosen.muted = true;
    chosen.picture = PictureSetting::Integer;
    chosen.fullScreen = true;
    chosen.keys = {"W", "S", "A", "D", "Left Shift", "Z"};
    chosen.controllerA = ControllerFaceSetting::East;
    chosen.ghost = GhostSetting::WorldBest;
    chosen.online = true;
    chosen.playerName = "Ace.9-x";
    ConfigParser config;
    writeOptionsSettings(config, chosen);
    config.save(file());
    EXPECT_EQ(readText(file()),
              "MUSIC_VOLUME = 2\nEFFECTS_VOLUME = 0\nMUTE = 1\nPICTURE = integer\nFULL_SCREEN = 1\nKEY_UP = W\n"
              "KEY_DOWN = S\nKEY_LEFT = A\nKEY_RIGHT = D\nKEY_A = Left Shift\nKEY_B = Z\nCONTROLLER_A = east\n"
              "GHOST = WORLD\nONLINE = 1\nPLAYER_NAME = Ace.9-x\n");
    EXPECT_EQ(readFrom(readText(file())), chosen);
    EXPECT_TRUE(problems.empty());
}

struct BadValue {
    const char* line;
    const char* problem;
};

TEST_F(OptionsFile, EachBadValueIsItsDefaultWithOneLineNamingTheKey) {
    const BadValue cases[] = {
        {"MUSIC_VOLUME = 99", "bad value for MUSIC_VOLUME ('99'), using 10"},
        {"MUSIC_VOLUME = -1", "bad value for MUSIC_VOLUME ('-1'), using 10"},
        {"EFFECTS_VOLUME = loud", "bad value for EFFECTS_VOLUME ('loud'), using 10"},
        {"EFFECTS_VOLUME = ", "bad value for EFFECTS_VOLUME (''), using 10"},
        {"MUTE = yes", "bad value for MUTE ('yes'), using 0"},
        {"PICTURE = blurry", "bad value for PICTURE ('blurry'), using smooth"},
        {"FULL_SCREEN = 2", "bad value for FULL_SCREEN ('2'), using 0"},
        {"KEY_UP = Hyper", "bad value for KEY_UP ('Hyper'), using Up"},
        {"KEY_A = Escape", "bad value for KEY_A ('Escape'), using Z"},
        {"KEY_B = Up", "KEY_B ('Up') is bound to another button already, using X"},
        {"CONTROLLER_A = north", "bad value for CONTROLLER_A ('north'), using south"},
        {"GHOST = maybe", "bad value for GHOST ('maybe'), using 1"},
        {"ONLINE = on", "bad value for ONLINE ('on'), using 0"},
        {"ONLINE = 1", "ONLINE = 1 needs a PLAYER_NAME, using 0"},
        {"PLAYER_NAME = ACE ACE", "bad value for PLAYER_NAME ('ACE ACE'), a name is 1 to 12 of A-Z a-z 0-9 - ."},
        {"PLAYER_NAME = THIRTEENCHARS", "bad value for PLAYER_NAME ('THIRTEENCHARS'), a name is 1 to 12 of A-Z a-z 0-9 - ."},
    };
    for (const BadValue& bad : cases) {
        const OptionsSettings options = readFrom(OLD_FILE + bad.line + "\n");
        ASSERT_EQ(problems.size(), 1u) << bad.line;
        EXPECT_EQ(problems[0], file() + ": " + bad.problem) << bad.line;
        EXPECT_EQ(options, OptionsSettings{}) << bad.line;
    }
}

TEST_F(OptionsFile, ABadNameTurnsOnlineOffAndAGoodOneWithoutOnlineIsKept) {
    OptionsSettings options = readFrom(OLD_FILE + "ONLINE = 1\nPLAYER_NAME = A_B\n");
    EXPECT_FALSE(options.online);
    EXPECT_EQ(problems.size(), 2u) << "the name, then ONLINE without one";
    options = readFrom(OLD_FILE + "ONLINE = 0\nPLAYER_NAME = TWELVECHARSS\n");
    EXPECT_FALSE(options.online);
    EXPECT_EQ(options.playerName, "TWELVECHARSS");
    EXPECT_TRUE(problems.empty());
}

TEST_F(OptionsFile, GoodValuesBesideABadOneAreKept) {
    const OptionsSettings options = readFrom(OLD_FILE + "MUSIC_VOLUME = 3\nEFFECTS_VOLUME = 11\nKEY_UP = w\n");
    EXPECT_EQ(options.musicVolume, 3);
    EXPECT_EQ(options.effectsVolume, 10);
    EXPECT_EQ(options.keys[BOUND_UP], "W") << "read back in the keyboard's spelling";
    EXPECT_EQ(problems.size(), 1u);
}

TEST_F(OptionsFile, ADuplicateWhoseDefaultIsTakenTooGivesTheDefaultKeys) {
    // UP takes Z, so A's own default collides as well: all six fall back.
    const OptionsSettings options = readFrom(OLD_FILE + "KEY_UP = Z\nKEY_A = Z\n");
    EXPECT_EQ(options.keys, defaultKeyBindingNames());
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_EQ(problems[0], file() + ": KEY_A ('Z') is bound to another button already, using Z");
    EXPECT_EQ(problems[1], file() + ": the keys KEY_UP to KEY_B share a key, using the default keys");
}

TEST_F(OptionsFile, KeysThatTheFileCannotHoldAreNotStorable) {
    EXPECT_TRUE(keyNameStorable("Left Shift"));
    EXPECT_FALSE(keyNameStorable("#"));
    EXPECT_FALSE(keyNameStorable("="));
    EXPECT_FALSE(keyNameStorable("Keypad ="));
    EXPECT_FALSE(keyNameStorable(""));
}

TEST_F(OptionsFile, SavingOptionsKeepsTheRecordsAndModeByteForByte) {
    setPlayerDataDir(dir.path().string(), true);
    writeText(file(), OLD_FILE);
    OptionsSettings chosen;
    chosen.musicVolume = 2;
    savePlayerOptions(chosen);
    const std::string saved = readText(file());
    EXPECT_EQ(saved.substr(0, OLD_FILE.size()), OLD_FILE) << "the records come first, unchanged";
    EXPECT_NE(saved.find("MUSIC_VOLUME = 2\n"), std::string::npos);
    EXPECT_EQ(playerOptions().musicVolume, 2);
    EXPECT_FALSE(std::filesystem::exists(file() + ".tmp")) << "saved through the atomic replace";
}

TEST_F(OptionsFile, ARecordSavedWhileTheOptionsWereOpenIsNotUndone) {
    setPlayerDataDir(dir.path().string(), true);
    writeText(file(), OLD_FILE);
    OptionsSettings chosen = playerOptions();
    // Another part of the game saves a record meanwhile.
    ConfigParser other;
    loadPlayerConfig(other, 0);
    other.setInt("HI_SCORE2", 9999);
    savePlayerConfig(other);
    chosen.effectsVolume = 4;
    savePlayerOptions(chosen);
    EXPECT_EQ(playerRecords().hiScores, (std::array<int, 4>{100, 9999, 300, 400}));
    EXPECT_EQ(playerRecords().stage, 2);
    EXPECT_EQ(playerOptions().effectsVolume, 4);
}

TEST_F(OptionsFile, MuteAloneChangesOnlyMute) {
    setPlayerDataDir(dir.path().string(), true);
    writeText(file(), OLD_FILE + "MUSIC_VOLUME = 5\n");
    savePlayerMute(true);
    EXPECT_EQ(readText(file()), OLD_FILE + "MUSIC_VOLUME = 5\nMUTE = 1\n");
    savePlayerMute(false);
    EXPECT_EQ(readText(file()), OLD_FILE + "MUSIC_VOLUME = 5\nMUTE = 0\n");
}

TEST_F(OptionsFile, WithoutAWritableDirectoryTheSessionKeepsTheOptions) {
    writeText(file(), OLD_FILE);
    setPlayerDataDir(dir.path().string(), false);
    OptionsSettings chosen;
    chosen.fullScreen = true;
    savePlayerOptions(chosen);
    EXPECT_EQ(readText(file()), OLD_FILE) << "nothing written";
    EXPECT_TRUE(playerOptions().fullScreen);
    EXPECT_EQ(playerRecords().hiScores[0], 100);
}

}  // namespace

namespace {

TEST_F(OptionsFile, AStaleCopySavedAfterTheMuteKeepsTheMute) {
    setPlayerDataDir(dir.path().string(), true);
    writeText(file(), OLD_FILE);
    // The title read the file before M was pressed, and saves the stage after.
    ConfigParser title;
    loadPlayerConfig(title, 0);
    savePlayerMute(true);
    title.setInt("MODE", 3);
    savePlayerConfig(title);
    EXPECT_TRUE(playerOptions().muted);
    EXPECT_EQ(playerRecords().stage, 3);
}

TEST_F(OptionsFile, ChoosingAnotherDirectoryForgetsTheSavedSettings) {
    setPlayerDataDir(dir.path().string(), true);
    writeText(file(), OLD_FILE);
    savePlayerMute(true);
    TempDir other;
    setPlayerDataDir(other.path().string(), true);
    ConfigParser fresh;
    loadPlayerConfig(fresh, 0);
    savePlayerConfig(fresh);
    EXPECT_FALSE(fresh.hasKey("MUTE"));
}

}  // namespace

TEST(ServerSettings, OnlyAnHttpOrHttpsUrlIsAServer) {
    struct Case {
        const char* written;
        const char* url;
    };
    const Case cases[] = {
        {"https://scores.example.org", "https://scores.example.org"},
        {"http://127.0.0.1:8080/", "http://127.0.0.1:8080"},
        {"ftp://scores.example.org", ""},
        {"scores.example.org", ""},
        {"https://", ""},
        {"http://a b", ""},
    };
    for (const Case& c : cases) {
        ConfigParser config;
        config.set("SCORE_SERVER", c.written);
        std::vector<std::string> problems;
        EXPECT_EQ(readServerSettings(config, problems).url, c.url) << c.written;
        EXPECT_EQ(problems.size(), std::string(c.url).empty() ? 1u : 0u) << c.written;
    }
    ConfigParser none;
    std::vector<std::string> problems;
    EXPECT_EQ(readServerSettings(none, problems), ServerSettings{});
    EXPECT_TRUE(problems.empty()) << "no server is the default, quietly";
}

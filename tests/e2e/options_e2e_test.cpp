// The options screen of the real game, driven through X with real key presses
// and clicks: a lowered music level survives a restart beside the hi-scores,
// a run flown with a rebound key replays to its score in the verifier, the
// music captured by SDL's disk audio driver is quieter at level 2 than at 10,
// and a click on BACK in a resized window returns to the title.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <thread>

#include "e2e_support.h"
#include "screenshot.h"

namespace {

using namespace e2e;

const std::string RECORDS = "HI_SCORE1 = 0\nHI_SCORE2 = 2000\nHI_SCORE3 = 4500\nHI_SCORE4 = 99999\nMODE = 0\n";

// The screen's layout: rows 21 px apart from y 70, values at x 360.
constexpr int kFirstRowY = 70;
constexpr int kRowStep = 21;
constexpr int kValueX = 360;
constexpr int kKeyUpRow = 5;
constexpr int kBackRow = 16;


class OptionsE2E : public GameWindowTest {
protected:
    void openOptions() {
        const int before = countOf(game->runLog(), "OptionsMain\n");
        pressKey(window, "o");
        ASSERT_TRUE(waitUntil([&] { return countOf(game->runLog(), "OptionsMain\n") > before; })) << game->runLog();
    }

    void backToTitleWithB() {
        const int before = countOf(game->runLog(), "TitleMain\n");
        pressKey(window, "x");
        ASSERT_TRUE(waitUntil([&] { return countOf(game->runLog(), "TitleMain\n") > before; })) << game->runLog();
    }

    void pressTimes(const std::string& key, int times) {
        for (int i = 0; i < times; ++i) pressKey(window, key);
    }
};

TEST_F(OptionsE2E, MusicLoweredToTwoIsKeptAfterARestartAndTheHiScoresStay) {
    dir.write("config.ini", RECORDS);
    startAtTitle();
    openOptions();
    pressTimes("Left", 8);  // MUSIC is the first row, selected on arrival
    backToTitleWithB();
    ASSERT_TRUE(waitUntil([&] { return configNumber(dir.read("config.ini"), "MUSIC_VOLUME") == 2; }))
        << dir.read("config.ini");
    quitWithEscape();
    const std::string config = dir.read("config.ini");
    EXPECT_EQ(config.substr(0, RECORDS.size()), RECORDS) << "the hi-scores and MODE are untouched";

    startAtTitle();
    openOptions();
    SDL_Surface* shown = takeScreenshot(dir, window);
    ASSERT_NE(shown, nullptr);
    keepScreenshot(dir, "options-music-2.png");
    EXPECT_TRUE(showsWhiteText(shown, "2", kValueX, kFirstRowY, 2)) << "MUSIC shows the kept level";
    EXPECT_FALSE(showsWhiteText(shown, "10", kValueX, kFirstRowY, 2));
    EXPECT_TRUE(showsWhiteText(shown, "10", kValueX, kFirstRowY + kRowStep, 2)) << "EFFECTS stayed at 10";
    SDL_FreeSurface(shown);
    quitWithEscape();
    EXPECT_EQ(countOf(game->runLog(), "bad value"), 0) << game->runLog();
}

TEST_F(OptionsE2E, UpBoundToWFliesARunThatReplaysToItsScoreInTheVerifier) {
    dir.write("config.ini", RECORDS);
    startAtTitle();
    openOptions();
    pressTimes("Down", kKeyUpRow);
    pressKey(window, "Return");
    pressKey(window, "w");
    SDL_Surface* shown = takeScreenshot(dir, window);
    ASSERT_NE(shown, nullptr);
    keepScreenshot(dir, "options-key-up-w.png");
    EXPECT_TRUE(showsWhiteText(shown, "W", kValueX, kFirstRowY + kKeyUpRow * kRowStep, 2));
    // The selection's blue bar stays on KEY UP: the press of W that was bound did not also move it up.
    const Rgb bar = pixelAt(shown, 70, kFirstRowY + kKeyUpRow * kRowStep);
    EXPECT_TRUE(bar.b > 120 && bar.r < 80) << "KEY UP is no longer the selected row";
    SDL_FreeSurface(shown);
    backToTitleWithB();
    ASSERT_TRUE(waitUntil([&] { return dir.read("config.ini").find("KEY_UP = W\n") != std::string::npos; }));

    // W is UP now: on the title it starts the run, in the run it lifts the craft.
    pressKey(window, "w");
    ASSERT_TRUE(game->waitForLog("Gamecoer init\n")) << game->runLog();
    for (int burst = 0; burst < 6; ++burst) {
        holdKey(window, "w", true);
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        holdKey(window, "w", false);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }
    ASSERT_TRUE(waitUntil([&] { return configNumber(dir.read("config.ini"), "HI_SCORE1") > 0 && dir.exists("replay/replay_00.bin"); },
                          60s))
        << "no record saved; config.ini: " << dir.read("config.ini") << " log: " << game->runLog();
    const int score = configNumber(dir.read("config.ini"), "HI_SCORE1");
    const std::string replay = dir.read("replay/replay_00.bin");
    // Twelve int16 fields per frame; the fourth is UP held.
    int framesUp = 0;
    for (size_t at = 0; at + 24 <= replay.size(); at += 24) framesUp += replay[at + 6] != 0;
    EXPECT_GT(framesUp, 20) << "W flew the craft, and the replay holds UP";
    quitWithEscape();

    int status = 0;
    const std::string verdict =
        runCommand(shellQuote(std::string(KVR_BINARY_DIR) + "/kvr2013-verify") + " --stage 0 --replay " +
                       shellQuote((dir / "replay/replay_00.bin").string()),
                   &status);
    EXPECT_EQ(status, 0) << verdict;
    EXPECT_NE(verdict.find(" score=" + std::to_string(score) + " "), std::string::npos)
        << "the verifier, with the default keys, reaches the run's score " << score << ": " << verdict;
}

// Root mean square of the 16-bit samples in [from, from + bytes) of a raw capture.
double rmsOf(const std::filesystem::path& file, std::uintmax_t from, std::uintmax_t bytes) {
    std::ifstream in(file, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(from));
    std::vector<char> data(bytes);
    in.read(data.data(), static_cast<std::streamsize>(bytes));
    const auto count = static_cast<size_t>(in.gcount()) / 2;
    if (count == 0) return 0.0;
    double sum = 0.0;
    for (size_t i = 0; i < count; ++i) {
        const auto low = static_cast<uint8_t>(data[2 * i]);
        const auto high = static_cast<uint8_t>(data[2 * i + 1]);
        const auto sample = static_cast<int16_t>(static_cast<uint16_t>(low | (high << 8)));
        sum += static_cast<double>(sample) * sample;
    }
    return std::sqrt(sum / static_cast<double>(count));
}

std::uintmax_t sizeOf(const std::filesystem::path& file) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    return error ? 0 : size;
}

TEST_F(OptionsE2E, MusicCapturedAtLevelTwoIsMeasurablyQuieterThanAtTen) {
    // SDL's disk driver writes what the mixer plays as raw samples of the
    // opened format: signed 16-bit little-endian stereo at 22050 Hz.
    const std::filesystem::path capture = dir / "music.raw";
    dir.write("config.ini", RECORDS);
    startAtTitle({}, {.environment = {{"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", capture.string()}}});
    openOptions();
    constexpr std::uintmax_t kSecond = 22050 * 2 * 2;
    constexpr std::uintmax_t kWindow = 2 * kSecond;
    // A moment for the music to start, then two seconds at level 10.
    std::uintmax_t loudFrom = 0;
    ASSERT_TRUE(waitUntil([&] { return sizeOf(capture) > kSecond / 2; })) << "nothing captured";
    loudFrom = sizeOf(capture);
    ASSERT_TRUE(waitUntil([&] { return sizeOf(capture) >= loudFrom + kWindow; }));
    pressTimes("Left", 8);
    const std::uintmax_t quietFrom = sizeOf(capture) + kSecond / 4;
    ASSERT_TRUE(waitUntil([&] { return sizeOf(capture) >= quietFrom + kWindow; }));
    quitWithEscape();

    const double loud = rmsOf(capture, loudFrom, kWindow);
    const double quiet = rmsOf(capture, quietFrom, kWindow);
    const double ratio = quiet / loud;
    std::printf("music RMS at level 10: %.1f, at level 2: %.1f, ratio %.3f\n", loud, quiet, ratio);
    // Level 2 is 25/128 of the mixer's full level, a ratio near 0.2; the
    // music's own swell between the two stretches stays well inside 0.35.
    EXPECT_GT(loud, 300.0) << "the music is heard at level 10";
    EXPECT_GT(quiet, 0.0) << "and still at level 2";
    EXPECT_LT(ratio, 0.35);
}

TEST_F(OptionsE2E, AClickOnBackInAResizedWindowReturnsToTheTitle) {
    dir.write("config.ini", RECORDS);
    startAtTitle();
    openOptions();
    placeWindow(window, 1000, 500);
    const PictureRect picture = expectedPicture(1000, 500);  // 666 x 500 at (167, 0)
    // Wait until the game draws into its new size: the left bar black, the heading beside it.
    SDL_Surface* shown = nullptr;
    ASSERT_TRUE(waitUntil([&] {
        if (shown) SDL_FreeSurface(shown);
        shown = captureWindow(dir, window);
        return shown && shown->w == 1000 && litPixels(shown, 0, 0, picture.x, 500) == 0 &&
               litPixels(shown, picture.x + 240 * picture.width / 640, 20, picture.x + 400 * picture.width / 640,
                         44) > 0;
    }));
    SDL_FreeSurface(shown);
    const int backX = picture.x + 120 * picture.width / 640;
    const int backY = picture.y + (kFirstRowY + kBackRow * kRowStep + 6) * picture.height / 480;
    clickAt(window, backX, backY);
    ASSERT_TRUE(waitUntil([&] { return countOf(game->runLog(), "TitleMain\n") == 2; })) << game->runLog();
    EXPECT_NE(dir.read("config.ini").find("MUSIC_VOLUME = 10\n"), std::string::npos) << "saved on leaving";
    quitWithEscape();
}

}  // namespace

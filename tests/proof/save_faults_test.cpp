// Saving a new record onto a disk that refuses it: a file size limit, a full
// file system, a read-only file system, and paths blocked by the wrong kind
// of entry. Each failed file costs one clear log line, the previous file stays
// byte for byte as it was, no temporary file is left, and the run goes on.
#include <gtest/gtest.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "config/config_parser.h"
#include "gamecore/game_main.h"
#include "gamecore/record_saver.h"
#include "kiln2/headless.h"
#include "kiln2/kiln2.h"
#include "proof_support.h"
#include "recorded_runs.h"

namespace fs = std::filesystem;

namespace {

const char* const REPLAY = "replay/replay_00.bin";
const char* const OLD_CONFIG = "HI_SCORE1 = 3001\nHI_SCORE2 = 0\nHI_SCORE3 = 0\nHI_SCORE4 = 0\nMODE = 0\n";

// In the working directory: the old record's replay and "config.ini".
void writeOldRecord() {
    fs::create_directories("replay");
    std::unique_ptr<Keypad> old = proof::recordRun(proof::OLD_RUN_FRAMES, 10);
    old->save(REPLAY);
    proof::writeFile("config.ini", OLD_CONFIG);
}

// Saves the new, longer record the way the end of a run does.
void saveNewRun() {
    std::unique_ptr<Keypad> keypad = proof::recordRun(proof::NEW_RUN_FRAMES, 14);
    ConfigParser config;
    config.load("config.ini");
    std::array<int, 4> hiScores{proof::OLD_RUN_SCORE, 0, 0, 0};
    saveNewRecord(*keypad, config, hiScores, 0, proof::NEW_RUN_SCORE);
}

bool noTemporaryFiles(const fs::path& dir) {
    return proof::filesEndingWith(dir, ".tmp").empty() && proof::filesEndingWith(dir / "replay", ".tmp").empty();
}

// Copies the saved files out of a mount that dies with the child.
void copyOut(const fs::path& from, const fs::path& to) {
    fs::create_directories(to / "replay");
    fs::copy_file(from / "config.ini", to / "config.ini", fs::copy_options::overwrite_existing);
    fs::copy_file(from / REPLAY, to / REPLAY, fs::copy_options::overwrite_existing);
    std::ofstream(to / "temporaries") << (noTemporaryFiles(from) ? "none" : "left");
}

using proof::mountPrivateTmpfs;
using proof::NO_MOUNT;

class SaveFaults : public ::testing::Test {
protected:
    proof::ScratchDir scratch;
    std::string oldReplay;

    // The bytes the old replay had, made the same way in the test process.
    void SetUp() override {
        proof::startHeadlessFramework(false);
        std::unique_ptr<Keypad> old = proof::recordRun(proof::OLD_RUN_FRAMES, 10);
        old->save("reference_old.bin");
        oldReplay = proof::readFile("reference_old.bin");
        proof::stopHeadlessFramework();
    }
};

TEST_F(SaveFaults, AFileSizeLimitKeepsTheOldReplayAndLogsOneLine) {
    proof::ChildResult child = proof::runInChild([] {
        proof::startHeadlessFramework(false);
        writeOldRecord();
        // Room for "config.ini" but not for the new replay. Without SIGXFSZ
        // ignored the limit would kill the process instead of failing the write.
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return 3;
        saveNewRun();
        proof::stopHeadlessFramework();
        return 0;
    });
    ASSERT_EQ(child.exitStatus, 0) << child.output;
    EXPECT_EQ(proof::countLinesContaining(child.output, "Could not save the replay"), 1) << child.output;
    EXPECT_EQ(proof::countLinesContaining(child.output, "File too large"), 1) << child.output;
    EXPECT_EQ(proof::countLinesContaining(child.output, "Could not save the hi-score"), 0) << child.output;
    EXPECT_EQ(proof::readFile(REPLAY), oldReplay);
    // The hi-score is small enough to be kept.
    ConfigParser config;
    config.load("config.ini");
    EXPECT_EQ(config.getInt("HI_SCORE1"), proof::NEW_RUN_SCORE);
    EXPECT_EQ(config.getInt("MODE"), 0);
    EXPECT_TRUE(noTemporaryFiles(scratch.path()));
}

TEST_F(SaveFaults, ALimitTooSmallForAnyFileKeepsBothOldFiles) {
    proof::ChildResult child = proof::runInChild([] {
        proof::startHeadlessFramework(false);
        writeOldRecord();
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{16, 16};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return 3;
        saveNewRun();
        proof::stopHeadlessFramework();
        return 0;
    });
    ASSERT_EQ(child.exitStatus, 0) << child.output;
    EXPECT_EQ(proof::countLinesContaining(child.output, "Could not save the replay"), 1) << child.output;
    EXPECT_EQ(proof::countLinesContaining(child.output, "Could not save the hi-score"), 1) << child.output;
    EXPECT_EQ(proof::readFile(REPLAY), oldReplay);
    EXPECT_EQ(proof::readFile("config.ini"), OLD_CONFIG);
    EXPECT_TRUE(noTemporaryFiles(scratch.path()));
}

TEST_F(SaveFaults, AFullFileSystemKeepsBothOldFiles) {
    const fs::path disk = scratch.path() / "disk";
    const fs::path after = scratch.path() / "after";
    proof::ChildResult child = proof::runInChild([&] {
        if (!mountPrivateTmpfs(disk, "256k")) return NO_MOUNT;
        fs::current_path(disk);
        proof::startHeadlessFramework(false);
        writeOldRecord();
        // Fill every block that is left.
        {
            std::ofstream filler("filler", std::ios::binary);
            const std::string block(4096, 'x');
            while (filler.write(block.data(), static_cast<std::streamsize>(block.size()))) {
            }
        }
        saveNewRun();
        proof::stopHeadlessFramework();
        copyOut(disk, after);
        return 0;
    });
    if (child.exitStatus == NO_MOUNT) GTEST_SKIP() << "no right to mount a tmpfs here";
    ASSERT_EQ(child.exitStatus, 0) << child.output;
    EXPECT_EQ(proof::countLinesContaining(child.output, "Could not save the replay"), 1) << child.output;
    EXPECT_EQ(proof::countLinesContaining(child.output, "Could not save the hi-score"), 1) << child.output;
    EXPECT_EQ(proof::countLinesContaining(child.output, "No space left on device"), 2) << child.output;
    EXPECT_EQ(proof::readFile((after / REPLAY).string()), oldReplay);
    EXPECT_EQ(proof::readFile((after / "config.ini").string()), OLD_CONFIG);
    EXPECT_EQ(proof::readFile((after / "temporaries").string()), "none");
}

TEST_F(SaveFaults, AReadOnlyFileSystemKeepsBothOldFiles) {
    const fs::path disk = scratch.path() / "disk";
    const fs::path after = scratch.path() / "after";
    proof::ChildResult child = proof::runInChild([&] {
        if (!mountPrivateTmpfs(disk, "4m")) return NO_MOUNT;
        fs::current_path(disk);
        proof::startHeadlessFramework(false);
        writeOldRecord();
        // Root ignores file permissions; a read-only mount stops root too.
        if (::mount("tmpfs", disk.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) != 0) return NO_MOUNT;
        saveNewRun();
        proof::stopHeadlessFramework();
        copyOut(disk, after);
        return 0;
    });
    if (child.exitStatus == NO_MOUNT) GTEST_SKIP() << "no right to mount a tmpfs here";
    ASSERT_EQ(child.exitStatus, 0) << child.output;
    EXPECT_EQ(proof::countLinesContaining(child.output, "Could not save the replay"), 1) << child.output;
    EXPECT_EQ(proof::countLinesContaining(child.output, "Could not save the hi-score"), 1) << child.output;
    EXPECT_EQ(proof::countLinesContaining(child.output, "Read-only file system"), 2) << child.output;
    EXPECT_EQ(proof::readFile((after / REPLAY).string()), oldReplay);
    EXPECT_EQ(proof::readFile((after / "config.ini").string()), OLD_CONFIG);
}

// Works for any user: the replay directory is a regular file and the
// settings file's temporary name is taken by a directory.
TEST_F(SaveFaults, PathsBlockedByTheWrongKindOfEntryKeepTheOldFiles) {
    proof::ChildResult child = proof::runInChild([] {
        proof::startHeadlessFramework(false);
        proof::writeFile("replay", "not a directory");
        proof::writeFile("config.ini", OLD_CONFIG);
        fs::create_directory("config.ini.tmp");
        saveNewRun();
        proof::stopHeadlessFramework();
        return 0;
    });
    ASSERT_EQ(child.exitStatus, 0) << child.output;
    EXPECT_EQ(proof::countLinesContaining(child.output, "Could not save the replay"), 1) << child.output;
    EXPECT_EQ(proof::countLinesContaining(child.output, "Could not save the hi-score"), 1) << child.output;
    EXPECT_EQ(proof::readFile("replay"), "not a directory");
    EXPECT_EQ(proof::readFile("config.ini"), OLD_CONFIG);
    EXPECT_TRUE(fs::is_directory("config.ini.tmp"));
}

// The whole game scene: a live run ends with a new record on a disk that
// takes nothing, logs its two lines, shows the results and leaves for the title.
TEST_F(SaveFaults, TheRunGoesOnToTheResultsAndBackToTheTitle) {
    proof::ChildResult child = proof::runInChild([] {
        proof::startHeadlessFramework(false);
        writeOldRecord();
        proof::writeFile("config.ini", "HI_SCORE1 = 1\nHI_SCORE2 = 0\nHI_SCORE3 = 0\nHI_SCORE4 = 0\nMODE = 0\n");
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{8, 8};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return 3;
        auto game = std::make_unique<GameMain>();
        // No input: the craft falls to the bottom edge and the run ends there.
        int frames = 0;
        while (game->phase != GameMain::RESULTS && frames < 5000) {
            game->update();
            game->draw();
            Kiln_waitFrame(16);
            ++frames;
        }
        if (game->phase != GameMain::RESULTS) return 4;
        for (int i = 0; i < 200; ++i) {
            game->update();
            game->draw();
            Kiln_waitFrame(16);
        }
        kiln_headless::setKey(KEY_z, true);
        for (int i = 0; i < 5 && game->getMessage() != MSG_TITLE; ++i) {
            Kiln_waitFrame(16);
            game->update();
        }
        const bool backToTitle = game->getMessage() == MSG_TITLE;
        std::printf("score %d, hi-score kept in memory %d\n", game->score, game->hiScores[0]);
        game.reset();
        proof::stopHeadlessFramework();
        return backToTitle ? 0 : 5;
    });
    ASSERT_EQ(child.exitStatus, 0) << child.output;
    EXPECT_EQ(proof::countLinesContaining(child.output, "Could not save the replay"), 1) << child.output;
    EXPECT_EQ(proof::countLinesContaining(child.output, "Could not save the hi-score"), 1) << child.output;
    EXPECT_EQ(proof::readFile(REPLAY), oldReplay);
    EXPECT_EQ(proof::readFile("config.ini"), "HI_SCORE1 = 1\nHI_SCORE2 = 0\nHI_SCORE3 = 0\nHI_SCORE4 = 0\nMODE = 0\n");
}

}  // namespace

// A player's data directory the game cannot write: found out at start-up
// with one line naming it and the reason, or failing the title's save of the
// chosen stage during play (taken away, or a full disk). Either way the run
// starts on the stage the player chose and nothing is written. Root writes
// whatever the permissions say, so the read-only cases run as an ordinary
// user; the full disk is a small tmpfs of the child's own.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <functional>

#include "boot/data_dir.h"
#include "boot/use_directories.h"
#include "config/player_files.h"
#include "damage.h"
#include "gamecore/game_main.h"
#include "kiln2/headless.h"
#include "kiln2/kiln2.h"
#include "proof_support.h"
#include "state/scene_machine.h"
#include "state/title_main.h"

namespace {

namespace fs = std::filesystem;

const char* const kSettings = "HI_SCORE1 = 500\nHI_SCORE2 = 0\nHI_SCORE3 = 0\nHI_SCORE4 = 0\nMODE = 0\n";

// Starts the game's scenes at the title on the headless backend with data as
// the player's directory, calls titleShown, chooses the second stage with
// RIGHT, starts with Z and prints the stage the game scene then plays, as
// "run stage N".
void chooseTheSecondStageAndStart(const fs::path& data, bool writable,
                                  const std::function<void()>& titleShown = {}) {
    Kiln_useHeadlessBackend(
        {.readResourceFiles = false, .writeRunLog = true, .logToStderr = true, .recordDrawCalls = false});
    GameDirectories directories;
    directories.resources.dir = "/nowhere/resource";
    directories.data = {data, DataDirRule::XdgDataHome};
    useGameDirectories(directories, writable);
    Kiln_init("KVR2013", 640, 480, false, false);
    resetSceneMachine();
    setFirstScene([]() -> std::unique_ptr<GameState> { return std::make_unique<TitleMain>(); });
    auto frame = [] {
        stepScene();
        Kiln_flip();
        Kiln_waitFrame(16);
    };
    frame();
    if (titleShown) titleShown();
    for (int key : {KEY_RIGHT, KEY_z}) {
        kiln_headless::setKey(key, true);
        frame();
        kiln_headless::setKey(key, false);
        frame();
    }
    frame();  // the game scene replaces the title and runs its start
    const auto* game = dynamic_cast<const GameMain*>(currentSceneForTest());
    std::printf("run stage %d\n", game ? game->stage : -1);
    resetSceneMachine();
    Kiln_quit();
}

class PlayerDirectory : public ::testing::Test {
protected:
    proof::ScratchDir scratch;
};

TEST_F(PlayerDirectory, AReadOnlyOneIsNamedAtStartAndTheChosenStageStillStarts) {
    std::string output;
    const int status = proof::runAsOrdinaryUser(
        [] {
            const fs::path data = fs::current_path() / "data";
            fs::create_directory(data);
            proof::writeFile((data / "config.ini").string(), kSettings);
            ::chmod(data.c_str(), 0500);
            const DataDirChoice choice{data, DataDirRule::XdgDataHome};
            const DataDirAccess access = prepareDataDir(data);
            std::fputs(dataDirProblemLine(choice, access).c_str(), stdout);
            chooseTheSecondStageAndStart(data, access.writable);
            std::printf("files: %d\n", static_cast<int>(std::distance(fs::directory_iterator(data), {})));
            return access.writable ? 1 : 0;
        },
        &output);
    ASSERT_EQ(status, 0) << output;
    EXPECT_EQ(proof::countLinesContaining(output, "kvr2013: cannot write the player's files in " +
                                                      (scratch.path() / "data").string() + " (Permission denied)"),
              1)
        << output;
    EXPECT_EQ(proof::countLinesContaining(output, "run stage 1"), 1) << output;
    EXPECT_EQ(proof::countLinesContaining(output, "files: 1"), 1) << "only config.ini, untouched: " << output;
    EXPECT_EQ(proof::readFile(scratch / "data/config.ini"), kSettings);
    EXPECT_FALSE(fs::exists(scratch / "run.log"));
}

TEST_F(PlayerDirectory, ASaveOfTheChosenStageThatFailsDuringPlayIsLoggedAndTheRunStillStartsOnIt) {
    std::string output;
    const int status = proof::runAsOrdinaryUser(
        [] {
            const fs::path data = fs::current_path() / "data";
            fs::create_directory(data);
            proof::writeFile((data / "config.ini").string(), kSettings);
            if (!prepareDataDir(data).writable) return 2;
            // The directory is taken away from the player while the title shows.
            chooseTheSecondStageAndStart(data, true, [&data] { ::chmod(data.c_str(), 0500); });
            return 0;
        },
        &output);
    ASSERT_EQ(status, 0) << output;
    EXPECT_EQ(proof::countLinesContaining(output, "Could not save the chosen stage: "), 1) << output;
    EXPECT_EQ(proof::countLinesContaining(output, "run stage 1"), 1) << output;
    EXPECT_EQ(proof::readFile(scratch / "data/config.ini"), kSettings);
    EXPECT_EQ(proof::countLinesContaining(proof::readFile(scratch / "data/run.log"), "Could not save the chosen stage"),
              1);
}

TEST_F(PlayerDirectory, AFullDiskDuringPlayCostsTheLogAndTheSaveButNotTheRun) {
    const fs::path disk = scratch.path() / "disk";
    proof::ChildResult child = proof::runInChild([&disk] {
        if (!proof::mountPrivateTmpfs(disk, "256k")) return proof::NO_MOUNT;
        const fs::path data = disk / "kvr2013";
        fs::create_directory(data);
        proof::writeFile((data / "config.ini").string(), kSettings);
        if (!prepareDataDir(data).writable) return 2;
        chooseTheSecondStageAndStart(data, true, [&data] {
            // Every block taken, then the log's own last one too.
            std::ofstream filler(data / "filler", std::ios::binary);
            const std::string block(4096, 'x');
            while (filler.write(block.data(), static_cast<std::streamsize>(block.size()))) {
            }
            std::ofstream log(data / "run.log", std::ios::binary | std::ios::app);
            while (log.put('.') && log.flush()) {
            }
        });
        return 0;
    });
    if (child.exitStatus == proof::NO_MOUNT) GTEST_SKIP() << "no right to mount a tmpfs here";
    ASSERT_EQ(child.exitStatus, 0) << child.output;
    EXPECT_EQ(proof::countLinesContaining(child.output, "Could not save the chosen stage: "), 1) << child.output;
    EXPECT_EQ(proof::countLinesContaining(child.output, "No space left on device"), 2) << child.output;
    EXPECT_EQ(proof::countLinesContaining(child.output, "the rest of this run is not written to it"), 1)
        << child.output;
    EXPECT_EQ(proof::countLinesContaining(child.output, "run stage 1"), 1) << child.output;
}

}  // namespace

// Killing the game while it saves a new record must never leave a damaged
// "config.ini" or replay: after every kill each file is, byte for byte,
// either the previous version or the new one.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <string>
#include <thread>

#include "proof_support.h"

namespace {

struct Driver {
    pid_t pid = -1;
    int output = -1;
};

Driver startDriver(const std::string& dir) {
    int fds[2];
    if (::pipe(fds) != 0) return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(fds[1], STDOUT_FILENO);
        ::close(fds[0]);
        ::close(fds[1]);
        ::execl(KVR_SAVE_DRIVER, KVR_SAVE_DRIVER, dir.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(fds[1]);
    return {pid, fds[0]};
}

// Blocks until the driver says it is saving in a loop; false if it died first.
bool waitUntilSaving(const Driver& driver) {
    std::string said;
    char c = 0;
    while (said.find("ready") == std::string::npos && ::read(driver.output, &c, 1) == 1) said += c;
    return said.find("ready") != std::string::npos;
}

TEST(KillDuringSave, EveryKillLeavesTheOldOrTheNewRecordNeverAMix) {
    proof::ScratchDir dir;
    std::mt19937 random(20130501);
    // Up to a few saves long: most kills land inside a save, a few between two.
    std::uniform_int_distribution<int> delayMicroseconds(0, 15000);

    constexpr int KILLS = 200;
    int killedMidSave = 0;
    int replayOld = 0, replayNew = 0;
    for (int kill = 0; kill < KILLS; ++kill) {
        Driver driver = startDriver(dir.path().string());
        ASSERT_GT(driver.pid, 0);
        ASSERT_TRUE(waitUntilSaving(driver)) << "the driver stopped before saving (kill " << kill << ")";
        std::this_thread::sleep_for(std::chrono::microseconds(delayMicroseconds(random)));
        ASSERT_EQ(::kill(driver.pid, SIGKILL), 0);
        int status = 0;
        ::waitpid(driver.pid, &status, 0);
        ::close(driver.output);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "kill " << kill;

        const std::string replay = proof::readFile(dir / "replay/replay_00.bin");
        const std::string config = proof::readFile(dir / "config.ini");
        const bool replayIsOld = replay == proof::readFile(dir / "expected_old.bin");
        const bool replayIsNew = replay == proof::readFile(dir / "expected_new.bin");
        ASSERT_TRUE(replayIsOld || replayIsNew) << "kill " << kill << ": replay of " << replay.size() << " bytes";
        ASSERT_TRUE(config == proof::readFile(dir / "expected_old.ini") ||
                    config == proof::readFile(dir / "expected_new.ini"))
            << "kill " << kill << ": config.ini reads\n" << config;
        replayOld += replayIsOld;
        replayNew += replayIsNew;
        const bool tempLeft = !proof::filesEndingWith(dir.path(), ".tmp").empty() ||
                              !proof::filesEndingWith(dir.path() / "replay", ".tmp").empty();
        killedMidSave += tempLeft;
    }
    // The kills really hit saves in progress, and both versions were seen.
    EXPECT_GE(killedMidSave, KILLS / 10);
    EXPECT_GT(replayOld, 0);
    EXPECT_GT(replayNew, 0);
    std::printf("%d kills: %d inside a save (a temporary file left behind), replay old %d / new %d times\n", KILLS,
                killedMidSave, replayOld, replayNew);
}

}  // namespace

// verifyReplay with the real verifier over the whole corpus, and with the
// stand-ins that crash, hang or spin: each comes back quickly, leaves no
// scratch file and no process behind.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "scoreproto/replay_shape.h"
#include "verifypool/verify_replay.h"
#include "verifypool_support.h"

using namespace verifypool;
using namespace verifypool_test;

namespace {

TEST(VerifyReplay, EveryCorpusReplayGivesTheCorpusLineAndTraceDigest) {
    const auto entries = readCorpus();
    ASSERT_GE(entries.size(), 15u);
    int played = 0;
    for (const auto& entry : entries) {
        const VerifyOutcome outcome = verifyReplay(KVR_VERIFY_BINARY, entry.stage, entry.replay, {});
        if (scoreproto::checkReplayShape(entry.replay.size()) != scoreproto::ReplayShape::Ok) {
            // The empty and torn files the game still plays are refused here.
            EXPECT_EQ(outcome.kind, VerifyOutcome::Kind::Failed) << entry.name;
            continue;
        }
        ++played;
        ASSERT_EQ(outcome.kind, VerifyOutcome::Kind::Played) << entry.name << ": " << outcome.failure;
        EXPECT_EQ(outcome.line, entry.line) << entry.name;
        EXPECT_EQ(outcome.traceSha256, entry.traceSha256) << entry.name;
        EXPECT_EQ(outcome.stage, entry.stage) << entry.name;
        EXPECT_NE(entry.line.find(" frames=" + std::to_string(outcome.frames) + " score=" + std::to_string(outcome.score) +
                                  " distance=" + std::to_string(outcome.distance) + "m "),
                  std::string::npos)
            << entry.name;
        EXPECT_NE(entry.line.find("result=" + outcome.result), std::string::npos) << entry.name;
    }
    EXPECT_GE(played, 15);
}

bool processIsGone(const std::string& pid) {
    std::ifstream stat("/proc/" + pid + "/stat");
    if (!stat) return true;
    std::string text((std::istreambuf_iterator<char>(stat)), {});
    const auto close = text.rfind(')');
    return close != std::string::npos && text.compare(close, 4, ") Z ") == 0;  // a zombie until reparented and reaped
}

TEST(VerifyReplay, AVerifierThatCrashesHangsSpinsOrBabblesIsAFailureAndLeavesNothingBehind) {
    const ScratchDir tmp;
    const ScratchDir pids;
    const std::string pidFile = pids.path + "/child.pid";
    const EnvironmentVariable tmpdir("TMPDIR", tmp.path);
    const EnvironmentVariable pidVariable("KVR_STANDIN_PID_FILE", pidFile);
    const std::string replay = readFileBytes(std::string(KVR_SOURCE_DIR) + "/tests/corpus/replays/top_edge.bin");

    struct Case {
        const char* what;
        std::string verifier;
        VerifyLimits limits;
        const char* failure;
        int withinMillis;
    };
    const Case cases[] = {
#ifndef KVR_SANITIZED_BUILD
        {"crash", standIn("crashing_verifier.sh"), {}, "signal 11", 5000},
#else
        // The sanitizer runtime the suite preloads into every process turns
        // the stand-in's segmentation fault into an exit with status 1.
        {"crash", standIn("crashing_verifier.sh"), {}, "status 1", 5000},
#endif
        {"hang", standIn("hanging_verifier.sh"), {.wallMillis = 300}, "killed after 300 ms", 5000},
        // Only the CPU limit can stop it this soon: the wall clock allows 60 s.
        {"spin", standIn("spinning_verifier.sh"), {.cpuSeconds = 1, .wallMillis = 60000}, "signal", 15000},
        {"bad exit", "/bin/false", {}, "status 1", 5000},
        {"not the verifier's line", "/bin/echo", {}, "no result line", 5000},
        {"no such program", tmp.path + "/missing-verifier", {}, "status 127", 5000},
#ifndef KVR_SANITIZED_BUILD  // no address-space limit there: see limited_child.cpp
        {"too little memory", KVR_VERIFY_BINARY, {.memoryBytes = 4L << 20}, "status", 5000},
#endif
    };
    for (const auto& c : cases) {
        std::filesystem::remove(pidFile);
        const auto start = std::chrono::steady_clock::now();
        const VerifyOutcome outcome = verifyReplay(c.verifier, 1, replay, c.limits);
        const auto millis =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
        EXPECT_EQ(outcome.kind, VerifyOutcome::Kind::Failed) << c.what << ": " << outcome.line;
        EXPECT_NE(outcome.failure.find(c.failure), std::string::npos) << c.what << ": " << outcome.failure;
        EXPECT_LT(millis, c.withinMillis) << c.what;
        EXPECT_TRUE(std::filesystem::is_empty(tmp.path)) << c.what << ": scratch files left in " << tmp.path;
        if (std::filesystem::exists(pidFile)) {
            const std::string child = readFileBytes(pidFile).substr(0, readFileBytes(pidFile).find('\n'));
            EXPECT_TRUE(waitUntil([&] { return processIsGone(child); }, std::chrono::seconds(5)))
                << c.what << ": the verifier's child " << child << " still runs";
        }
    }
    // The same replay through the real verifier with the default limits plays.
    EXPECT_EQ(verifyReplay(KVR_VERIFY_BINARY, 1, replay, {}).kind, VerifyOutcome::Kind::Played);
    EXPECT_TRUE(std::filesystem::is_empty(tmp.path));
}

TEST(VerifyReplay, ABadStageOrShapeIsRefusedWithoutAChild) {
    // The stand-in would crash: a refusal that started it would say so.
    const std::string crashing = standIn("crashing_verifier.sh");
    const std::pair<int, std::size_t> cases[] = {{-1, 48}, {4, 48}, {0, 0}, {0, 24}, {0, 4933}, {0, 864024}};
    for (const auto& [stage, bytes] : cases) {
        const VerifyOutcome outcome = verifyReplay(crashing, stage, std::string(bytes, '\0'), {});
        EXPECT_EQ(outcome.kind, VerifyOutcome::Kind::Failed) << stage << " " << bytes;
        EXPECT_EQ(outcome.failure.find("signal"), std::string::npos) << stage << " " << bytes << ": " << outcome.failure;
    }
}

}  // namespace

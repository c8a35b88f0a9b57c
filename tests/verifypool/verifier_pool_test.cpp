// The pool: results reach the job that asked, a full queue refuses at once,
// a throwing handler costs nothing, and destruction plays what was accepted.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <mutex>

#include "scoreproto/replay_shape.h"
#include "verifypool/verifier_pool.h"
#include "verifypool_support.h"

using namespace verifypool;
using namespace verifypool_test;

namespace {

// Outcomes as they arrive from the workers, by the job's own name.
struct Collected {
    std::mutex mutex;
    std::map<std::string, VerifyOutcome> outcomes;
    std::function<void(VerifyOutcome)> into(const std::string& name) {
        return [this, name](VerifyOutcome outcome) {
            const std::lock_guard lock(mutex);
            outcomes[name] = std::move(outcome);
        };
    }
    std::size_t count() {
        const std::lock_guard lock(mutex);
        return outcomes.size();
    }
};

TEST(VerifierPool, EachJobGetsTheOutcomeOfItsOwnReplay) {
    std::vector<CorpusEntry> entries;
    for (auto& entry : readCorpus()) {
        if (scoreproto::checkReplayShape(entry.replay.size()) == scoreproto::ReplayShape::Ok &&
            entry.replay.size() < 40000) {
            entries.push_back(entry);
        }
    }
    ASSERT_GE(entries.size(), 6u);
    Collected collected;
    {
        VerifierPool pool(KVR_VERIFY_BINARY, 2, entries.size() + 1, {});
        EXPECT_EQ(pool.workerCount(), 2u);
        // A handler that throws does not take its worker down.
        ASSERT_TRUE(pool.submit(0, entries[0].replay, [](VerifyOutcome) { throw std::runtime_error("handler"); }));
        for (const auto& entry : entries) ASSERT_TRUE(pool.submit(entry.stage, entry.replay, collected.into(entry.name)));
        ASSERT_TRUE(waitUntil([&] { return collected.count() == entries.size(); }, std::chrono::seconds(60)));
        EXPECT_EQ(pool.queueDepth(), 0u);
        EXPECT_EQ(pool.inFlight(), 0u);
    }
    for (const auto& entry : entries) {
        const VerifyOutcome& outcome = collected.outcomes[entry.name];
        EXPECT_EQ(outcome.line, entry.line) << entry.name;
        EXPECT_EQ(outcome.traceSha256, entry.traceSha256) << entry.name;
    }
}

TEST(VerifierPool, AFullQueueRefusesAtOnceAndDestructionPlaysWhatWasAccepted) {
    const EnvironmentVariable real("KVR_REAL_VERIFIER", KVR_VERIFY_BINARY);
    const EnvironmentVariable seconds("KVR_SLOW_VERIFIER_SECONDS", "1");
    const auto entries = readCorpus();
    const auto topEdge = std::find_if(entries.begin(), entries.end(), [](const auto& e) { return e.name == "top_edge"; });
    ASSERT_NE(topEdge, entries.end());
    const std::string& replay = topEdge->replay;
    Collected collected;
    {
        VerifierPool pool(standIn("slow_verifier.sh"), 1, 1, {});
        ASSERT_TRUE(pool.submit(topEdge->stage, replay, collected.into("first")));
        ASSERT_TRUE(waitUntil([&] { return pool.inFlight() == 1; }, std::chrono::seconds(10)));
        // The one worker sleeps in the stand-in for a second: the queue's one place fills.
        ASSERT_TRUE(pool.submit(topEdge->stage, replay, collected.into("queued")));
        EXPECT_EQ(pool.queueDepth(), 1u);
        const auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(pool.submit(topEdge->stage, replay, collected.into("refused")));
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
        EXPECT_EQ(pool.queueDepth(), 1u);
    }
    ASSERT_EQ(collected.count(), 2u);
    EXPECT_EQ(collected.outcomes.count("refused"), 0u);
    for (const char* name : {"first", "queued"}) {
        EXPECT_EQ(collected.outcomes[name].kind, VerifyOutcome::Kind::Played) << name << ": " << collected.outcomes[name].failure;
        EXPECT_EQ(collected.outcomes[name].line, topEdge->line) << name;
    }
}

}  // namespace

// The score store against a fresh database: SQLite in a temporary file, or
// the PostgreSQL of KVR_TEST_DATABASE_URL (ctest runs this binary a second
// time under pg_virtualenv). Each test gets an empty schema.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <random>

#include "scoredb/migrations.h"
#include "scoredb/postgres_connection.h"
#include "scoredb/score_store.h"
#include "scoredb/sqlite_connection.h"

namespace {

using scoredb::InsertedRun;
using scoredb::Registration;
using scoredb::ScoreStore;

class ScoreStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* url = std::getenv("KVR_TEST_DATABASE_URL");
        if (url && *url) {
            url_ = url;
            // Start from nothing: the previous test's tables go.
            auto db = scoredb::openPostgres(url_);
            db->execScript(
                "DROP TABLE IF EXISTS replays, runs, players, nonces, start_tokens, rate_buckets, schema_migrations CASCADE");
        } else {
            dir_ = std::filesystem::temp_directory_path() / ("scoredb-" + std::to_string(std::random_device{}()));
            url_ = "sqlite:" + (dir_ / "sub" / "scores.db").string();
        }
        store_ = std::make_unique<ScoreStore>(url_, 2);
    }
    void TearDown() override {
        store_.reset();
        if (!dir_.empty()) std::filesystem::remove_all(dir_);
    }

    scoredb::Player registered(const std::string& name, const std::string& key) {
        scoredb::Player player;
        EXPECT_EQ(store_->registerPlayer(name, lower(name), key, 1000, player), Registration::Created);
        return player;
    }
    static std::string lower(std::string text) {
        for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return text;
    }
    static scoredb::NewRun run(std::int64_t player, int stage, int score, const std::string& trace, std::int64_t at) {
        scoredb::NewRun out;
        out.playerId = player;
        out.stage = stage;
        out.score = score;
        out.frames = 100;
        out.result = "finished";
        out.submittedMs = at;
        out.line = "stage=" + std::to_string(stage) + " score=" + std::to_string(score);
        out.traceSha256 = trace;
        out.replay = std::string("\0\x01\xff\x80", 4) + trace;
        return out;
    }

    std::filesystem::path dir_;
    std::string url_;
    std::unique_ptr<ScoreStore> store_;
};

TEST_F(ScoreStoreTest, NamesAndKeysAreUniqueWithoutRegardToCase) {
    registered("Ace", "key-a");
    struct Case {
        std::string name, key;
        Registration expected;
    } cases[] = {
        {"Ace", "key-a", Registration::AlreadyRegistered},
        {"ACE", "key-b", Registration::NameTaken},
        {"ace", "key-a", Registration::KeyTaken},
        {"Bee", "key-a", Registration::KeyTaken},
        {"Bee", "key-b", Registration::Created},
    };
    for (const Case& c : cases) {
        scoredb::Player player;
        EXPECT_EQ(store_->registerPlayer(c.name, lower(c.name), c.key, 2000, player), c.expected) << c.name << c.key;
    }
    ASSERT_TRUE(store_->playerByName("bee"));
    EXPECT_EQ(store_->playerByName("bee")->publicKey, "key-b");
}

TEST_F(ScoreStoreTest, ANonceIsTakenOncePerKey) {
    EXPECT_TRUE(store_->useNonce("k1", "n1", 10));
    EXPECT_FALSE(store_->useNonce("k1", "n1", 20));
    EXPECT_TRUE(store_->useNonce("k2", "n1", 20));
    store_->forgetNoncesBefore(15);
    EXPECT_TRUE(store_->useNonce("k1", "n1", 30));
}

TEST_F(ScoreStoreTest, AStartTokenServesOnlyItsKeyAndStageAndOnlyOnce) {
    store_->issueStartToken("t", "k1", 2, 5000);
    EXPECT_FALSE(store_->takeStartToken("t", "k2", 2));
    EXPECT_FALSE(store_->takeStartToken("t", "k1", 1));
    EXPECT_EQ(store_->takeStartToken("t", "k1", 2), std::optional<std::int64_t>(5000));
    EXPECT_FALSE(store_->takeStartToken("t", "k1", 2));
}

TEST_F(ScoreStoreTest, ARunIsOneEntryPerStageAndTraceWhoeverSendsIt) {
    auto ace = registered("Ace", "ka");
    auto bee = registered("Bee", "kb");
    auto first = store_->insertRun(run(ace.id, 0, 500, "t1", 100));
    ASSERT_EQ(first.kind, InsertedRun::Kind::Created);
    EXPECT_EQ(store_->insertRun(run(ace.id, 0, 500, "t1", 200)).kind, InsertedRun::Kind::AlreadyThere);
    auto copy = store_->insertRun(run(bee.id, 0, 500, "t1", 300));
    EXPECT_EQ(copy.kind, InsertedRun::Kind::CopyOfAnother);
    EXPECT_EQ(copy.run.id, first.run.id);
    EXPECT_EQ(store_->insertRun(run(bee.id, 1, 500, "t1", 300)).kind, InsertedRun::Kind::Created);
    // The replay comes back byte for byte, zero and high bytes included.
    EXPECT_EQ(store_->replayById(first.run.id), run(ace.id, 0, 500, "t1", 100).replay);
}

TEST_F(ScoreStoreTest, TheTableHoldsEachPlayersBestWithTiesToTheEarliest) {
    auto ace = registered("Ace", "ka");
    auto bee = registered("Bee", "kb");
    auto cat = registered("Cat", "kc");
    auto dog = registered("Dog", "kd");
    store_->insertRun(run(ace.id, 0, 300, "a1", 10));
    store_->insertRun(run(ace.id, 0, 900, "a2", 20));
    store_->insertRun(run(bee.id, 0, 900, "b1", 15));
    store_->insertRun(run(cat.id, 0, 700, "c1", 5));
    auto removed = store_->insertRun(run(cat.id, 0, 2000, "c2", 6));
    store_->insertRun(run(dog.id, 0, 5000, "d1", 7));
    store_->insertRun(run(dog.id, 1, 9000, "d2", 7));
    ASSERT_TRUE(store_->removeRun(removed.run.id, "doctored"));
    ASSERT_TRUE(store_->banPlayer("dog", "cheat"));

    auto table = store_->stageTable(0, 10, 0);
    ASSERT_EQ(table.size(), 3u);
    EXPECT_EQ(table[0].run.player, "Bee");
    EXPECT_EQ(table[1].run.player, "Ace");
    EXPECT_EQ(table[1].run.traceSha256, "a2");
    EXPECT_EQ(table[2].run.player, "Cat");
    EXPECT_EQ(table[2].run.score, 700);
    EXPECT_EQ(table[2].rank, 3);
    auto page = store_->stageTable(0, 1, 1);
    ASSERT_EQ(page.size(), 1u);
    EXPECT_EQ(page[0].run.player, "Ace");

    auto near = store_->around(0, "cat", 1);
    ASSERT_EQ(near.size(), 2u);
    EXPECT_EQ(near[0].run.player, "Ace");
    EXPECT_EQ(near[1].run.player, "Cat");
    EXPECT_TRUE(store_->around(0, "dog", 1).empty());
}

TEST_F(ScoreStoreTest, ARateBucketEmptiesAndRefillsWithTime) {
    // 3 at once, then one a second (60 a minute).
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(store_->takeRateToken("b", 3, 60, 1000).allowed) << i;
    auto refused = store_->takeRateToken("b", 3, 60, 1000);
    EXPECT_FALSE(refused.allowed);
    EXPECT_NEAR(refused.retryAfterSeconds, 1.0, 0.01);
    EXPECT_FALSE(store_->takeRateToken("b", 3, 60, 1500).allowed);
    EXPECT_TRUE(store_->takeRateToken("b", 3, 60, 2000).allowed);
    EXPECT_TRUE(store_->takeRateToken("other", 3, 60, 2000).allowed);
    // A long pause refills to the capacity, never above it.
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(store_->takeRateToken("b", 3, 60, 100000).allowed) << i;
    EXPECT_FALSE(store_->takeRateToken("b", 3, 60, 100000).allowed);
}

TEST_F(ScoreStoreTest, OpeningAgainKeepsEverythingAndMigratesNothingTwice) {
    auto ace = registered("Ace", "ka");
    store_->insertRun(run(ace.id, 0, 300, "a1", 10));
    store_.reset();
    store_ = std::make_unique<ScoreStore>(url_, 1);
    EXPECT_EQ(store_->stageTable(0, 10, 0).size(), 1u);
}

}  // namespace

namespace {

TEST(ScoreStoreMigrationTest, ADatabaseOfTheFirstSchemaKeepsItsEntriesAndReplays) {
    const char* pg = std::getenv("KVR_TEST_DATABASE_URL");
    auto dir = std::filesystem::temp_directory_path() / ("scoredb-v1-" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(dir);
    std::string url = pg && *pg ? std::string(pg) : "sqlite:" + (dir / "old.db").string();
    {
        auto db = pg && *pg ? scoredb::openPostgres(url) : scoredb::openSqlite((dir / "old.db").string());
        if (pg && *pg) {
            db->execScript(
                "DROP TABLE IF EXISTS replays, runs, players, nonces, start_tokens, rate_buckets, schema_migrations "
                "CASCADE");
        }
        scoredb::migrate(*db, 1);
        db->query("INSERT INTO players (name, name_key, public_key, created_ms) VALUES ('Ace', 'ace', 'k', 1)");
        db->query(
            "INSERT INTO runs (player_id, stage, score, distance, frames, result, live, submitted_ms, line, "
            "trace_sha256, replay) VALUES (1, 0, 500, 10, 100, 'destroyed', 0, 5, 'l', 't', $1)",
            {scoredb::SqlBlob{std::string("\0\x01\x02", 3)}});
    }
    ScoreStore store(url, 1);
    auto table = store.stageTable(0, 10, 0);
    ASSERT_EQ(table.size(), 1u);
    EXPECT_EQ(store.replayById(table[0].run.id), std::string("\0\x01\x02", 3));
    std::filesystem::remove_all(dir);
}

}  // namespace

// The score table's SQL, written once for SQLite and PostgreSQL: players,
// runs with their replays, one-time nonces, start tokens and the
// submission rate buckets. Every uniqueness rule (a run per stage and trace
// digest, a name without regard to case, a key, a nonce) is a constraint of
// the database, so it holds however many server processes share it.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "scoredb/connection_pool.h"

namespace scoredb {

struct Player {
    std::int64_t id = 0;
    std::string name;
    std::string publicKey;
    std::optional<std::string> bannedReason;
};

struct StoredRun {
    std::int64_t id = 0;
    std::string player;
    int stage = 0, score = 0, distance = 0, frames = 0;
    std::string result;
    bool live = false;
    std::int64_t submittedMs = 0;
    std::string line, traceSha256;
    std::optional<std::string> removedReason;
};

struct RankedRun {
    std::int64_t rank = 0;
    StoredRun run;
};

struct NewRun {
    std::int64_t playerId = 0;
    int stage = 0, score = 0, distance = 0, frames = 0;
    std::string result;
    bool live = false;
    std::int64_t submittedMs = 0;
    std::string line, traceSha256, replay;
};

enum class Registration { Created, AlreadyRegistered, NameTaken, KeyTaken };

struct InsertedRun {
    enum class Kind { Created, AlreadyThere, CopyOfAnother } kind = Kind::Created;
    StoredRun run;  // the new entry, or the one already holding that run
};

struct RateDecision {
    bool allowed = true;
    double retryAfterSeconds = 0;
};

class ScoreStore {
public:
    // Opens (or creates) the database of url and applies the migrations.
    ScoreStore(const std::string& url, std::size_t connections);

    Registration registerPlayer(const std::string& name, const std::string& nameKey, const std::string& publicKey,
                                std::int64_t nowMs, Player& player);
    std::optional<Player> playerByKey(const std::string& publicKey);
    std::optional<Player> playerByName(const std::string& nameKey);

    // Records a nonce of that key; false when it was seen before.
    bool useNonce(const std::string& publicKey, const std::string& nonce, std::int64_t nowMs);
    // Nonces older than the clock skew window can never be replayed anyway.
    void forgetNoncesBefore(std::int64_t ms);

    void issueStartToken(const std::string& token, const std::string& publicKey, int stage, std::int64_t nowMs);
    // Takes (uses up) a token of that key and stage; the time it was issued.
    std::optional<std::int64_t> takeStartToken(const std::string& token, const std::string& publicKey, int stage);

    InsertedRun insertRun(const NewRun& run);
    std::optional<StoredRun> runById(std::int64_t id);
    std::optional<std::string> replayById(std::int64_t id);

    // The best entry of each player (not banned, not removed), ties by earliest.
    std::vector<RankedRun> stageTable(int stage, std::int64_t limit, std::int64_t offset);
    // That player's entry with up to span entries above and below it.
    std::vector<RankedRun> around(int stage, const std::string& nameKey, std::int64_t span);

    // A token bucket of capacity tokens refilled at perMinute; one token taken when allowed.
    RateDecision takeRateToken(const std::string& bucket, double capacity, double perMinute, std::int64_t nowMs);

    bool removeRun(std::int64_t id, const std::string& reason);
    bool banPlayer(const std::string& nameKey, const std::string& reason);
    // Every entry still on the tables (optionally of one stage) with its replay.
    void forEachRun(std::optional<int> stage, const std::function<void(const StoredRun&, const std::string&)>& visit);

private:
    ConnectionPool pool_;
};

}  // namespace scoredb

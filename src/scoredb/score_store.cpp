#include "scoredb/score_store.h"

#include <filesystem>

#include "scoredb/database_url.h"
#include "scoredb/migrations.h"
#include "scoredb/postgres_connection.h"
#include "scoredb/sqlite_connection.h"

namespace scoredb {
namespace {

ConnectionPool::Factory factoryFor(const std::string& url) {
    DatabaseUrl parsed = parseDatabaseUrl(url);
    if (parsed.kind == DatabaseUrl::Kind::Postgres) {
        return [target = parsed.target] { return openPostgres(target); };
    }
    std::filesystem::path file(parsed.target);
    if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path());
    return [target = parsed.target] { return openSqlite(target); };
}

constexpr const char* kRunColumns =
    "r.id, p.name, r.stage, r.score, r.distance, r.frames, r.result, r.live, r.submitted_ms, r.line, "
    "r.trace_sha256, r.removed_reason";

StoredRun runFromRow(const SqlRow& row, std::size_t at = 0) {
    StoredRun run;
    run.id = cellInt(row[at]);
    run.player = cellText(row[at + 1]);
    run.stage = static_cast<int>(cellInt(row[at + 2]));
    run.score = static_cast<int>(cellInt(row[at + 3]));
    run.distance = static_cast<int>(cellInt(row[at + 4]));
    run.frames = static_cast<int>(cellInt(row[at + 5]));
    run.result = cellText(row[at + 6]);
    run.live = cellInt(row[at + 7]) != 0;
    run.submittedMs = cellInt(row[at + 8]);
    run.line = cellText(row[at + 9]);
    run.traceSha256 = cellText(row[at + 10]);
    run.removedReason = row[at + 11];
    return run;
}

Player playerFromRow(const SqlRow& row) {
    return {cellInt(row[0]), cellText(row[1]), cellText(row[2]), row[3]};
}

// Each player's best entry on one stage, numbered from the top: higher
// score first, then the earlier entry, then the lower id.
const std::string kRankedCte = std::string(R"(
WITH best AS (
  SELECT r.id, p.name, r.stage, r.score, r.distance, r.frames, r.result, r.live, r.submitted_ms, r.line,
         r.trace_sha256, r.removed_reason, p.name_key,
         ROW_NUMBER() OVER (PARTITION BY r.player_id ORDER BY r.score DESC, r.submitted_ms, r.id) AS nth
  FROM runs r JOIN players p ON p.id = r.player_id
  WHERE r.stage = $1 AND r.removed_reason IS NULL AND p.banned_reason IS NULL
), ranked AS (
  SELECT best.*, ROW_NUMBER() OVER (ORDER BY score DESC, submitted_ms, id) AS rank FROM best WHERE nth = 1
))");

constexpr const char* kRankedColumns =
    "rank, id, name, stage, score, distance, frames, result, live, submitted_ms, line, trace_sha256, removed_reason";

std::vector<RankedRun> rankedRows(const SqlRows& rows) {
    std::vector<RankedRun> out;
    out.reserve(rows.size());
    for (const SqlRow& row : rows) out.push_back({cellInt(row[0]), runFromRow(row, 1)});
    return out;
}

}  // namespace

ScoreStore::ScoreStore(const std::string& url, std::size_t connections) : pool_(factoryFor(url), connections) {
    auto connection = pool_.borrow();
    migrate(*connection);
}

Registration ScoreStore::registerPlayer(const std::string& name, const std::string& nameKey,
                                        const std::string& publicKey, std::int64_t nowMs, Player& player) {
    auto db = pool_.borrow();
    auto created = db->query(
        "INSERT INTO players (name, name_key, public_key, created_ms) VALUES ($1, $2, $3, $4) "
        "ON CONFLICT DO NOTHING RETURNING id",
        {name, nameKey, publicKey, nowMs});
    if (!created.empty()) {
        player = {cellInt(created[0][0]), name, publicKey, std::nullopt};
        return Registration::Created;
    }
    auto byKey = db->query("SELECT id, name, public_key, banned_reason FROM players WHERE public_key = $1", {publicKey});
    if (!byKey.empty()) {
        player = playerFromRow(byKey[0]);
        // The exact name again is the same registration; another spelling is another name.
        return player.name == name ? Registration::AlreadyRegistered : Registration::KeyTaken;
    }
    return Registration::NameTaken;
}

std::optional<Player> ScoreStore::playerByKey(const std::string& publicKey) {
    auto db = pool_.borrow();
    auto rows = db->query("SELECT id, name, public_key, banned_reason FROM players WHERE public_key = $1", {publicKey});
    if (rows.empty()) return std::nullopt;
    return playerFromRow(rows[0]);
}

std::optional<Player> ScoreStore::playerByName(const std::string& nameKey) {
    auto db = pool_.borrow();
    auto rows = db->query("SELECT id, name, public_key, banned_reason FROM players WHERE name_key = $1", {nameKey});
    if (rows.empty()) return std::nullopt;
    return playerFromRow(rows[0]);
}

bool ScoreStore::useNonce(const std::string& publicKey, const std::string& nonce, std::int64_t nowMs) {
    auto db = pool_.borrow();
    auto rows = db->query(
        "INSERT INTO nonces (public_key, nonce, seen_ms) VALUES ($1, $2, $3) ON CONFLICT DO NOTHING RETURNING 1",
        {publicKey, nonce, nowMs});
    return !rows.empty();
}

void ScoreStore::forgetNoncesBefore(std::int64_t ms) {
    auto db = pool_.borrow();
    db->query("DELETE FROM nonces WHERE seen_ms < $1", {ms});
}

void ScoreStore::issueStartToken(const std::string& token, const std::string& publicKey, int stage,
                                 std::int64_t nowMs) {
    auto db = pool_.borrow();
    db->query("INSERT INTO start_tokens (token, public_key, stage, issued_ms) VALUES ($1, $2, $3, $4)",
              {token, publicKey, std::int64_t{stage}, nowMs});
}

std::optional<std::int64_t> ScoreStore::takeStartToken(const std::string& token, const std::string& publicKey,
                                                       int stage) {
    auto db = pool_.borrow();
    auto rows = db->query(
        "DELETE FROM start_tokens WHERE token = $1 AND public_key = $2 AND stage = $3 RETURNING issued_ms",
        {token, publicKey, std::int64_t{stage}});
    if (rows.empty()) return std::nullopt;
    return cellInt(rows[0][0]);
}

InsertedRun ScoreStore::insertRun(const NewRun& run) {
    auto db = pool_.borrow();
    // The entry and its replay together, or neither.
    db->beginWrite();
    SqlRows created;
    try {
        created = db->query(
            "INSERT INTO runs (player_id, stage, score, distance, frames, result, live, submitted_ms, line, "
            "trace_sha256) VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9, $10) "
            "ON CONFLICT (stage, trace_sha256) DO NOTHING RETURNING id",
            {run.playerId, std::int64_t{run.stage}, std::int64_t{run.score}, std::int64_t{run.distance},
             std::int64_t{run.frames}, run.result, std::int64_t{run.live ? 1 : 0}, run.submittedMs, run.line,
             run.traceSha256});
        if (!created.empty()) {
            db->query("INSERT INTO replays (run_id, bytes) VALUES ($1, $2)",
                      {cellInt(created[0][0]), SqlBlob{run.replay}});
        }
        db->commit();
    } catch (...) {
        db->rollback();
        throw;
    }
    auto existing = db->query(std::string("SELECT ") + kRunColumns +
                                  ", r.player_id FROM runs r JOIN players p ON p.id = r.player_id "
                                  "WHERE r.stage = $1 AND r.trace_sha256 = $2",
                              {std::int64_t{run.stage}, run.traceSha256});
    if (existing.empty()) throw DatabaseError("an entry vanished right after its insert");
    InsertedRun out;
    out.run = runFromRow(existing[0]);
    if (!created.empty()) {
        out.kind = InsertedRun::Kind::Created;
    } else {
        out.kind = cellInt(existing[0][12]) == run.playerId ? InsertedRun::Kind::AlreadyThere
                                                             : InsertedRun::Kind::CopyOfAnother;
    }
    return out;
}

std::optional<StoredRun> ScoreStore::runById(std::int64_t id) {
    auto db = pool_.borrow();
    auto rows = db->query(std::string("SELECT ") + kRunColumns +
                              " FROM runs r JOIN players p ON p.id = r.player_id WHERE r.id = $1",
                          {id});
    if (rows.empty()) return std::nullopt;
    return runFromRow(rows[0]);
}

std::optional<std::string> ScoreStore::replayById(std::int64_t id) {
    auto db = pool_.borrow();
    auto rows = db->query(
        "SELECT p.bytes FROM replays p JOIN runs r ON r.id = p.run_id WHERE r.id = $1 AND r.removed_reason IS NULL",
        {id});
    if (rows.empty()) return std::nullopt;
    return cellText(rows[0][0]);
}

std::vector<RankedRun> ScoreStore::stageTable(int stage, std::int64_t limit, std::int64_t offset) {
    auto db = pool_.borrow();
    return rankedRows(db->query(kRankedCte + " SELECT " + kRankedColumns +
                                    " FROM ranked ORDER BY rank LIMIT $2 OFFSET $3",
                                {std::int64_t{stage}, limit, offset}));
}

std::vector<RankedRun> ScoreStore::around(int stage, const std::string& nameKey, std::int64_t span) {
    auto db = pool_.borrow();
    return rankedRows(db->query(kRankedCte + ", mine AS (SELECT rank AS at FROM ranked WHERE name_key = $2) SELECT " +
                                    kRankedColumns +
                                    " FROM ranked, mine WHERE rank BETWEEN at - $3 AND at + $3 ORDER BY rank",
                                {std::int64_t{stage}, nameKey, span}));
}

RateDecision ScoreStore::takeRateToken(const std::string& bucket, double capacity, double perMinute,
                                       std::int64_t nowMs) {
    // The bucket as it stands now: what it held plus what has dripped in
    // since, never above its capacity (nor lowered by a clock that went back).
    const std::string refilled =
        "(CASE WHEN $3 <= rate_buckets.updated_ms THEN rate_buckets.tokens "
        "WHEN rate_buckets.tokens + ($3 - rate_buckets.updated_ms) * $4 > $2 THEN $2 "
        "ELSE rate_buckets.tokens + ($3 - rate_buckets.updated_ms) * $4 END)";
    const double perMilli = perMinute / 60000.0;
    auto db = pool_.borrow();
    auto taken = db->query(
        "INSERT INTO rate_buckets (bucket, tokens, updated_ms) VALUES ($1, $2 - 1, $3) "
        "ON CONFLICT (bucket) DO UPDATE SET tokens = " + refilled + " - 1, updated_ms = "
        "(CASE WHEN $3 > rate_buckets.updated_ms THEN $3 ELSE rate_buckets.updated_ms END) "
        "WHERE " + refilled + " >= 1 RETURNING tokens",
        {bucket, capacity, nowMs, perMilli});
    if (!taken.empty()) return {true, 0};
    auto held = db->query("SELECT tokens, updated_ms FROM rate_buckets WHERE bucket = $1", {bucket});
    double tokens = held.empty() ? 0 : std::stod(cellText(held[0][0]));
    double elapsed = held.empty() ? 0 : static_cast<double>(nowMs - cellInt(held[0][1]));
    double missing = 1 - (tokens + (elapsed > 0 ? elapsed : 0) * perMilli);
    return {false, perMilli > 0 ? missing / perMilli / 1000.0 : 60.0};
}

bool ScoreStore::removeRun(std::int64_t id, const std::string& reason) {
    auto db = pool_.borrow();
    return !db->query("UPDATE runs SET removed_reason = $2 WHERE id = $1 RETURNING id", {id, reason}).empty();
}

bool ScoreStore::banPlayer(const std::string& nameKey, const std::string& reason) {
    auto db = pool_.borrow();
    return !db->query("UPDATE players SET banned_reason = $2 WHERE name_key = $1 RETURNING id", {nameKey, reason})
                .empty();
}

void ScoreStore::forEachRun(std::optional<int> stage,
                            const std::function<void(const StoredRun&, const std::string&)>& visit) {
    // Ids first, then one entry at a time: a big table never sits in memory whole.
    std::vector<std::int64_t> ids;
    {
        auto db = pool_.borrow();
        auto rows = stage ? db->query("SELECT id FROM runs WHERE removed_reason IS NULL AND stage = $1 ORDER BY id",
                                      {std::int64_t{*stage}})
                          : db->query("SELECT id FROM runs WHERE removed_reason IS NULL ORDER BY id");
        for (const SqlRow& row : rows) ids.push_back(cellInt(row[0]));
    }
    for (std::int64_t id : ids) {
        auto run = runById(id);
        auto replay = replayById(id);
        if (run && replay) visit(*run, *replay);
    }
}

}  // namespace scoredb

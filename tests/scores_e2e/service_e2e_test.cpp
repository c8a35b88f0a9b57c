// The server as a service: its tables, entries, page, health and metrics;
// its limits (rates, a full queue, verifiers that crash or hang, slow
// clients); its administration; and stopping it, gently and not.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <sched.h>
#include <sys/mount.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <future>
#include <set>
#include <thread>

#include "score_server_process.h"

namespace {

using nlohmann::json;
using namespace std::chrono_literals;

const std::string kReplays = e2e::sourceDir() + "/tests/corpus/replays/";

std::string replay(const std::string& name) { return e2e::readFile(kReplays + name + ".bin"); }

probe::Answer get(unsigned short port, const std::string& target) {
    return probe::exchange(port, probe::request("GET", target, {}, ""));
}

// Polls until cond holds, up to a generous limit for a loaded machine.
bool waitUntil(const std::function<bool()>& cond, std::chrono::milliseconds limit = 20s) {
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        if (cond()) return true;
        std::this_thread::sleep_for(20ms);
    }
    return cond();
}

// The value of one metric line of /metrics ("name value"), or -1.
double metric(unsigned short port, const std::string& name) {
    std::string text = get(port, "/metrics").body;
    auto at = text.find("\n" + name + " ");
    if (at == std::string::npos) return -1;
    return std::stod(text.substr(at + name.size() + 2));
}

e2e::Player registered(unsigned short port, const std::string& name) {
    e2e::Player player;
    player.name = name;
    EXPECT_EQ(player.registerOn(port).status, 201) << name;
    return player;
}

TEST(ScoreServerTest, TablesEntriesReplaysAndThePageShowWhatWasSubmitted) {
    e2e::TestDatabase database;
    e2e::ScoreServer server(database, {"--submit-rate", "1000"});
    auto ace = registered(server.port(), "Ace");
    auto bee = registered(server.port(), "Bee");
    auto cat = registered(server.port(), "Cat");
    // Stage 2 replays: bee's best, then ace, then cat.
    ASSERT_EQ(ace.submit(server.port(), 2, replay("slow_motion_overlap")).status, 201);   // 1118
    ASSERT_EQ(bee.submit(server.port(), 2, replay("bottom_edge")).status, 201);           // 708
    auto best = bee.submit(server.port(), 2, replay("enemy_miss_then_break"));            // 3816
    ASSERT_EQ(best.status, 201);
    ASSERT_EQ(cat.submit(server.port(), 2, replay("top_edge")).status, 201);

    auto table = json::parse(get(server.port(), "/api/v1/stages/2/scores").body);
    ASSERT_EQ(table["entries"].size(), 3u);
    std::vector<std::string> order;
    int previous = 1 << 30;
    for (const auto& entry : table["entries"]) {
        order.push_back(entry["player"]);
        EXPECT_LE(entry["score"].get<int>(), previous);
        previous = entry["score"];
        for (const char* field : {"rank", "score", "distance", "frames", "result", "live", "date", "run_id"}) {
            EXPECT_TRUE(entry.contains(field)) << field;
        }
    }
    EXPECT_EQ(order[0], "Bee");
    EXPECT_EQ(table["entries"][0]["run_id"], json::parse(best.body)["run"]["id"]);
    auto page = json::parse(get(server.port(), "/api/v1/stages/2/scores?limit=1&offset=1").body);
    ASSERT_EQ(page["entries"].size(), 1u);
    EXPECT_EQ(page["entries"][0]["rank"], 2);

    auto around = get(server.port(), "/api/v1/stages/2/scores/around/" + order[2]);
    ASSERT_EQ(around.status, 200);
    EXPECT_EQ(json::parse(around.body)["rank"], 3);
    EXPECT_EQ(json::parse(around.body)["entries"].size(), 3u);

    std::string id = json::parse(best.body)["run"]["id"];
    auto entry = json::parse(get(server.port(), "/api/v1/runs/" + id).body)["run"];
    EXPECT_EQ(entry["line"], json::parse(best.body)["run"]["line"]);
    auto download = get(server.port(), "/api/v1/runs/" + id + "/replay");
    EXPECT_EQ(download.status, 200);
    EXPECT_EQ(download.body, replay("enemy_miss_then_break"));

    auto html = get(server.port(), "/");
    EXPECT_EQ(html.status, 200);
    EXPECT_NE(html.header("content-type").find("text/html"), std::string::npos);
    EXPECT_NE(html.body.find("Bee"), std::string::npos);
    EXPECT_NE(html.body.find("/api/v1/runs/" + id + "/replay"), std::string::npos);
    EXPECT_EQ(html.body.find("<script"), std::string::npos);

    struct Case {
        std::string target;
        int status;
    } cases[] = {
        {"/healthz", 200},
        {"/api/v1/runs/999999", 404},
        {"/api/v1/runs/abc/replay", 404},
        {"/api/v1/stages/4/scores", 400},
        {"/api/v1/stages/0/scores?limit=ten", 400},
        {"/api/v1/stages/2/scores/around/Nobody", 404},
        {"/api/v1/nothing", 404},
        {"/api/v1/runs/start", 405},
    };
    for (const Case& c : cases) EXPECT_EQ(get(server.port(), c.target).status, c.status) << c.target;

    std::string metrics = get(server.port(), "/metrics").body;
    EXPECT_NE(metrics.find("kvr_scores_requests_total{route=\"runs_submit\",status=\"201\"} 4"), std::string::npos)
        << metrics;
    EXPECT_NE(metrics.find("kvr_scores_verifications_total{outcome=\"played\"} 4"), std::string::npos);
    EXPECT_NE(metrics.find("kvr_scores_verification_duration_seconds_count 4"), std::string::npos);
    EXPECT_GE(metric(server.port(), "kvr_scores_verify_queue_depth"), 0);
}

TEST(ScoreServerTest, ServeHelpPrintsItsUsageAndAnUnknownOptionIsAUsageError) {
    const std::string serve = e2e::binaryDir() + "/kvr2013-scores serve ";
    const e2e::CommandResult help = e2e::runCommand(serve + "--help");
    EXPECT_EQ(help.status, 0) << help.output;
    EXPECT_EQ(help.output.rfind("usage: kvr2013-scores serve ", 0), 0u) << help.output;
    const e2e::CommandResult unknown = e2e::runCommand(serve + "--lisen 127.0.0.1:0");
    EXPECT_EQ(unknown.status, 2) << unknown.output;
    EXPECT_NE(unknown.output.find("usage: kvr2013-scores serve "), std::string::npos) << unknown.output;
}

TEST(ScoreServerTest, WebDirectoryFilesAreServedAndNothingOutsideIt) {
    e2e::TestDatabase database;
    std::filesystem::create_directories(database.dir() / "web" / "game");
    std::ofstream(database.dir() / "web" / "game" / "index.html") << "<p>the game</p>";
    std::ofstream(database.dir() / "web" / ".secret") << "hidden";
    e2e::ScoreServer server(database, {"--web", (database.dir() / "web").string()});
    EXPECT_EQ(get(server.port(), "/game/index.html").body, "<p>the game</p>");
    EXPECT_EQ(get(server.port(), "/game/").body, "<p>the game</p>");
    EXPECT_EQ(get(server.port(), "/.secret").status, 404);
    EXPECT_EQ(get(server.port(), "/game/../../scores.db").status, 404);
    EXPECT_EQ(get(server.port(), "/missing.js").status, 404);
}

TEST(ScoreServerTest, SubmissionsAndReadsAreRateLimited) {
    e2e::TestDatabase database;
    e2e::ScoreServer server(database, {"--submit-rate", "2", "--read-rate", "30", "--trusted-proxy", "127.0.0.1"});
    auto ace = registered(server.port(), "Ace");
    EXPECT_EQ(ace.submit(server.port(), 1, replay("top_edge")).status, 201);
    EXPECT_EQ(ace.submit(server.port(), 1, replay("top_edge")).status, 200);
    auto limited = ace.submit(server.port(), 2, replay("bottom_edge"));
    EXPECT_EQ(limited.status, 429);
    EXPECT_GE(std::stoi(limited.header("retry-after")), 1);
    // Another key from the same address is held by the address's bucket.
    auto bee = registered(server.port(), "Bee");
    EXPECT_EQ(bee.submit(server.port(), 2, replay("bottom_edge")).status, 429);

    int answered = 0;
    probe::Answer last;
    for (int i = 0; i < 40 && last.status != 429; ++i) {
        last = get(server.port(), "/api/v1/stages/0/scores");
        if (last.status == 200) ++answered;
    }
    EXPECT_EQ(last.status, 429);
    EXPECT_FALSE(last.header("retry-after").empty());
    EXPECT_LT(answered, 30);
    // Behind the trusted proxy each client has a bucket of its own.
    auto viaProxy = probe::exchange(server.port(), probe::request("GET", "/api/v1/stages/0/scores",
                                                                   {{"X-Real-IP", "192.0.2.7"}}, ""));
    EXPECT_EQ(viaProxy.status, 200);
    // Health and metrics stay open to the monitor.
    EXPECT_EQ(get(server.port(), "/healthz").status, 200);
}

TEST(ScoreServerTest, AFullQueueAnswers503AndTheQueuedRunsStillLand) {
    e2e::TestDatabase database;
    const std::string gate = (database.dir() / "gate").string();
    e2e::ScoreServer server(
        database,
        {"--workers", "1", "--queue", "1", "--submit-rate", "1000", "--verifier",
         e2e::sourceDir() + "/tests/scores_e2e/gated_verifier.sh"},
        {"KVR_VERIFIER_GATE=" + gate, "KVR_REAL_VERIFIER=" + e2e::binaryDir() + "/kvr2013-verify"});
    auto ace = registered(server.port(), "Ace");
    auto first = std::async(std::launch::async, [&] { return ace.submit(server.port(), 1, replay("top_edge")); });
    ASSERT_TRUE(waitUntil([&] { return metric(server.port(), "kvr_scores_verify_in_flight") == 1; }));
    auto second = std::async(std::launch::async, [&] { return ace.submit(server.port(), 2, replay("bottom_edge")); });
    ASSERT_TRUE(waitUntil([&] { return metric(server.port(), "kvr_scores_verify_queue_depth") == 1; }));

    auto refused = ace.submit(server.port(), 0, replay("edge_top_with_wall"));
    EXPECT_EQ(refused.status, 503);
    EXPECT_GE(std::stoi(refused.header("retry-after")), 1);
    EXPECT_EQ(get(server.port(), "/healthz").status, 200);

    std::ofstream(gate).put('\n');
    EXPECT_EQ(first.get().status, 201);
    EXPECT_EQ(second.get().status, 201);
    EXPECT_EQ(ace.submit(server.port(), 0, replay("edge_top_with_wall")).status, 201);
}

TEST(ScoreServerTest, AVerifierThatCrashesOrHangsIsRefusedAndTheServerGoesOn) {
    struct Case {
        std::string verifier;
    } cases[] = {{"crashing_verifier.sh"}, {"hanging_verifier.sh"}};
    for (const Case& c : cases) {
        e2e::TestDatabase database;
        e2e::ScoreServer server(database, {"--verifier", e2e::sourceDir() + "/tests/verifypool/" + c.verifier,
                                           "--verify-timeout-ms", "1000", "--workers", "1"});
        auto ace = registered(server.port(), "Ace");
        auto started = std::chrono::steady_clock::now();
        auto answer = ace.submit(server.port(), 1, replay("top_edge"));
        EXPECT_EQ(answer.status, 422) << c.verifier;
        // No detail of the child's failure reaches the client.
        EXPECT_EQ(answer.body.find("signal"), std::string::npos) << answer.body;
        EXPECT_LT(std::chrono::steady_clock::now() - started, 15s) << c.verifier;
        EXPECT_EQ(get(server.port(), "/healthz").status, 200) << c.verifier;
        EXPECT_TRUE(json::parse(get(server.port(), "/api/v1/stages/1/scores").body)["entries"].empty());
        EXPECT_EQ(server.stop(), 0) << c.verifier;
    }
}

TEST(ScoreServerTest, RemovedRunsAndBannedPlayersLeaveTheTables) {
    e2e::TestDatabase database;
    e2e::ScoreServer server(database, {"--submit-rate", "1000"});
    auto ace = registered(server.port(), "Ace");
    auto bee = registered(server.port(), "Bee");
    auto run = ace.submit(server.port(), 1, replay("top_edge"));
    ASSERT_EQ(run.status, 201);
    ASSERT_EQ(bee.submit(server.port(), 2, replay("bottom_edge")).status, 201);
    std::string id = json::parse(run.body)["run"]["id"];
    const std::string admin = e2e::binaryDir() + "/kvr2013-scores admin --database '" + database.url() + "' ";

    struct Case {
        std::string arguments;
        int status;
    } cases[] = {
        {"remove " + id + " --reason 'a doctored replay'", 0},
        {"remove 999999 --reason nothing", 1},
        {"ban bee --reason 'copied runs'", 0},
        {"ban Nobody --reason none", 1},
        {"remove " + id, 2},
        {"explode", 2},
    };
    for (const Case& c : cases) EXPECT_EQ(e2e::runCommand(admin + c.arguments).status, c.status) << c.arguments;

    EXPECT_EQ(get(server.port(), "/api/v1/runs/" + id).status, 404);
    EXPECT_EQ(get(server.port(), "/api/v1/runs/" + id + "/replay").status, 404);
    EXPECT_TRUE(json::parse(get(server.port(), "/api/v1/stages/1/scores").body)["entries"].empty());
    EXPECT_TRUE(json::parse(get(server.port(), "/api/v1/stages/2/scores").body)["entries"].empty());
    // A removed run cannot come back; a banned player can write nothing.
    EXPECT_EQ(ace.submit(server.port(), 1, replay("top_edge")).status, 409);
    EXPECT_EQ(bee.submit(server.port(), 0, replay("edge_top_with_wall")).status, 403);
    EXPECT_EQ(bee.registerOn(server.port()).status, 403);
}

TEST(ScoreServerTest, SigtermLetsTheSubmissionInFlightFinishThenExitsZero) {
    e2e::TestDatabase database;
    const std::string gate = (database.dir() / "gate").string();
    auto server = std::make_unique<e2e::ScoreServer>(
        database, std::vector<std::string>{"--verifier", e2e::sourceDir() + "/tests/scores_e2e/gated_verifier.sh"},
        std::vector<std::string>{"KVR_VERIFIER_GATE=" + gate,
                                 "KVR_REAL_VERIFIER=" + e2e::binaryDir() + "/kvr2013-verify"});
    unsigned short port = server->port();
    auto ace = registered(port, "Ace");
    auto inFlight = std::async(std::launch::async, [&] { return ace.submit(port, 1, replay("top_edge")); });
    ASSERT_TRUE(waitUntil([&] { return metric(port, "kvr_scores_verify_in_flight") == 1; }));
    auto stopped = std::async(std::launch::async, [&] { return server->stop(); });
    // Draining: no new connection is taken.
    ASSERT_TRUE(waitUntil([&] {
        try {
            return get(port, "/healthz").status == 0;
        } catch (const std::exception&) {
            return true;  // refused
        }
    }));
    std::ofstream(gate).put('\n');
    auto answer = inFlight.get();
    EXPECT_EQ(answer.status, 201) << answer.body;
    EXPECT_EQ(stopped.get(), 0);
    // The entry was committed before its 201.
    e2e::ScoreServer again(database);
    EXPECT_EQ(json::parse(get(again.port(), "/api/v1/stages/1/scores").body)["entries"].size(), 1u);
}

TEST(ScoreServerTest, FiftyClientsSendingAByteAtATimeDoNotStallAnOrdinaryRequest) {
    e2e::TestDatabase database;
    e2e::ScoreServer server(database, {"--read-rate", "100000"});
    std::atomic<bool> done{false};
    std::vector<std::thread> slow;
    std::atomic<int> started{0};
    for (int i = 0; i < 50; ++i) {
        slow.emplace_back([&] {
            probe::Connection connection(server.port());
            std::string request = probe::request("GET", "/api/v1/stages/0/scores", {}, "");
            ++started;
            for (std::size_t at = 0; at < request.size() - 1 && !done; ++at) {
                if (!connection.send(request.substr(at, 1))) break;
                std::this_thread::sleep_for(50ms);
            }
        });
    }
    ASSERT_TRUE(waitUntil([&] { return started == 50; }));
    for (int i = 0; i < 5; ++i) {
        auto begin = std::chrono::steady_clock::now();
        EXPECT_EQ(get(server.port(), "/api/v1/stages/0/scores").status, 200);
        EXPECT_LT(std::chrono::steady_clock::now() - begin, 1s);
    }
    done = true;
    for (auto& thread : slow) thread.join();
}

TEST(ScoreServerTest, TwoServersOnOneDatabaseKeepOneEntryForOneRun) {
    e2e::TestDatabase database;
    e2e::ScoreServer first(database, {"--submit-rate", "1000"});
    e2e::ScoreServer second(database, {"--submit-rate", "1000"});
    auto ace = registered(first.port(), "Ace");
    // The name is taken on the other server too.
    e2e::Player impostor;
    impostor.name = "ace";
    EXPECT_EQ(impostor.registerOn(second.port()).status, 409);

    const std::string run = replay("invincible_misses");
    std::vector<std::future<probe::Answer>> answers;
    for (int i = 0; i < 8; ++i) {
        unsigned short port = i % 2 ? second.port() : first.port();
        answers.push_back(std::async(std::launch::async, [&, port] { return ace.submit(port, 3, run); }));
    }
    int created = 0, again = 0;
    std::set<std::string> ids;
    for (auto& answer : answers) {
        auto got = answer.get();
        created += got.status == 201;
        again += got.status == 200;
        if (got.status == 200 || got.status == 201) ids.insert(json::parse(got.body)["run"]["id"]);
    }
    EXPECT_EQ(created, 1);
    EXPECT_EQ(again, 7);
    EXPECT_EQ(ids.size(), 1u);
    EXPECT_EQ(json::parse(get(second.port(), "/api/v1/stages/3/scores").body)["entries"].size(), 1u);
}

TEST(ScoreServerTest, KilledDuringSubmissionsEveryAcceptedEntryIsThereAfterARestart) {
    e2e::TestDatabase database;
    // Distinct runs: the first n records of one long replay.
    const std::string whole = replay("stage0");
    std::vector<std::string> runs;
    for (int records = 50; records <= 5000; records += 50) runs.push_back(whole.substr(0, records * 24));
    std::vector<std::string> accepted;
    {
        e2e::ScoreServer server(database, {"--submit-rate", "1000", "--workers", "2"});
        auto ace = registered(server.port(), "Ace");
        std::mutex lock;
        std::vector<std::thread> senders;
        std::atomic<std::size_t> next{0};
        for (int t = 0; t < 3; ++t) {
            senders.emplace_back([&] {
                for (std::size_t i; (i = next++) < runs.size();) {
                    probe::Answer answer;
                    try {
                        answer = ace.submit(server.port(), 0, runs[i]);
                    } catch (const std::exception&) {
                        return;
                    }
                    if (answer.status == 201) {
                        std::lock_guard guard(lock);
                        accepted.push_back(json::parse(answer.body)["run"]["id"]);
                    }
                }
            });
        }
        ASSERT_TRUE(waitUntil([&] {
            std::lock_guard guard(lock);
            return accepted.size() >= 5;
        }));
        server.killHard();
        for (auto& thread : senders) thread.join();
    }
    ASSERT_GE(accepted.size(), 5u);
    EXPECT_LT(accepted.size(), runs.size()) << "the kill came after every submission";
    e2e::ScoreServer restarted(database);
    for (const std::string& id : accepted) EXPECT_EQ(get(restarted.port(), "/api/v1/runs/" + id).status, 200) << id;
    if (database.isSqlite()) {
        auto db = e2e::connectTo(database);
        auto check = db->query("PRAGMA integrity_check");
        ASSERT_EQ(check.size(), 1u);
        EXPECT_EQ(*check[0][0], "ok");
    }
}

}  // namespace

namespace {

TEST(ScoreServerTest, TheSubmitCommandPutsAReplayOnTheTableAndSaysSoInItsExitStatus) {
    e2e::TestDatabase database;
    e2e::ScoreServer server(database, {"--submit-rate", "1000"});
    const std::string url = "http://127.0.0.1:" + std::to_string(server.port());
    const std::string key = (database.dir() / "ace.key").string();
    auto submit = [&](const std::string& server, const std::string& name, const std::string& file, int stage) {
        return e2e::runCommand(e2e::binaryDir() + "/kvr2013-scores submit --server " + server + " --key '" + key +
                               "' --name " + name + " --stage " + std::to_string(stage) + " --replay '" + kReplays +
                               file + ".bin'");
    };
    struct Case {
        std::string what, server, name, file;
        int stage, status;
    } cases[] = {
        {"a new entry", url, "Ace", "top_edge", 1, 0},
        {"the same run again", url, "Ace", "top_edge", 1, 0},
        {"a torn file", url, "Ace", "torn_last_record", 0, 1},
        {"an invalid name", url, "A B", "top_edge", 1, 2},
        {"no server there", "http://127.0.0.1:1", "Ace", "top_edge", 1, 2},
    };
    for (const Case& c : cases) {
        auto result = submit(c.server, c.name, c.file, c.stage);
        EXPECT_EQ(result.status, c.status) << c.what << ": " << result.output;
    }
    EXPECT_EQ(std::filesystem::status(key).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    auto table = json::parse(get(server.port(), "/api/v1/stages/1/scores").body)["entries"];
    ASSERT_EQ(table.size(), 1u);
    EXPECT_EQ(table[0]["player"], "Ace");
}

}  // namespace

namespace {

// Under pg_virtualenv only: its throwaway cluster is "regress".
TEST(ScoreServerTest, APostgresqlRestartedUnderTheServerIsReconnected) {
    e2e::TestDatabase database;
    const char* version = std::getenv("PGVERSION");
    if (database.isSqlite() || !version) GTEST_SKIP() << "needs the PostgreSQL of pg_virtualenv";
    e2e::ScoreServer server(database, {"--submit-rate", "1000"});
    auto ace = registered(server.port(), "Ace");
    auto before = ace.submit(server.port(), 1, replay("top_edge"));
    ASSERT_EQ(before.status, 201);
    std::string id = json::parse(before.body)["run"]["id"];
    auto restart = e2e::runCommand(std::string("pg_ctlcluster ") + version + " regress restart");
    ASSERT_EQ(restart.status, 0) << restart.output;
    EXPECT_EQ(get(server.port(), "/api/v1/runs/" + id).status, 200);
    EXPECT_EQ(ace.submit(server.port(), 2, replay("bottom_edge")).status, 201);
    EXPECT_EQ(get(server.port(), "/healthz").status, 200);
}

}  // namespace

namespace {

// A small tmpfs in a mount namespace of this test program's own (the server
// it starts inherits it); false where this process may not mount.
bool mountSmallDisk(const std::filesystem::path& dir, const char* size) {
    std::filesystem::create_directories(dir);
    if (unshare(CLONE_NEWNS) != 0) return false;
    if (mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return false;
    return mount("tmpfs", dir.c_str(), "tmpfs", 0, (std::string("size=") + size).c_str()) == 0;
}

TEST(ScoreServerTest, AFullDiskAnswers5xxAndKeepsEveryEntryItAccepted) {
    e2e::TestDatabase database;
    if (!database.isSqlite()) GTEST_SKIP() << "the disk of a PostgreSQL is its own";
    auto disk = database.dir() / "disk";
    if (!mountSmallDisk(disk, "2m")) GTEST_SKIP() << "no right to mount a tmpfs here";
    database.moveTo("sqlite:" + (disk / "scores.db").string());
    std::vector<std::string> accepted;
    int status = 0;
    {
        e2e::ScoreServer server(database, {"--submit-rate", "100000"});
        auto ace = registered(server.port(), "Ace");
        // Different runs, each a longer opening of one replay, until the disk is full.
        const std::string whole = replay("stage2");
        for (std::size_t records = 500; records * 24 <= whole.size(); records += 500) {
            auto answer = ace.submit(server.port(), 2, whole.substr(0, records * 24));
            status = answer.status;
            if (status == 201) accepted.push_back(json::parse(answer.body)["run"]["id"]);
            if (status != 201 && status != 200) break;
        }
        EXPECT_GE(status, 500) << "the disk never filled";
        EXPECT_LT(status, 600);
        EXPECT_GE(accepted.size(), 2u);
        // Still answering, and every accepted entry is whole.
        EXPECT_EQ(get(server.port(), "/healthz").status, 200);
        for (const std::string& id : accepted) EXPECT_EQ(get(server.port(), "/api/v1/runs/" + id).status, 200) << id;
        EXPECT_EQ(server.stop(), 0);
    }
    auto db = e2e::connectTo(database);
    auto check = db->query("PRAGMA integrity_check");
    ASSERT_EQ(check.size(), 1u);
    EXPECT_EQ(*check[0][0], "ok");
    EXPECT_EQ(db->query("SELECT id FROM runs").size(), accepted.size());
    umount2(disk.c_str(), MNT_DETACH);
}

}  // namespace

namespace {

TEST(ScoreServerTest, ARequestThatDoesNotArriveInTimeIsAnswered408AndIdleConnectionsClose) {
    e2e::TestDatabase database;
    e2e::ScoreServer server(database, {"--read-timeout-ms", "300"});
    struct Case {
        std::string what, sent;
        int status;  // 0: closed without an answer
    } cases[] = {
        {"half a header", "GET /healthz HTTP/1.1\r\nHost: x\r\n", 408},
        {"a header, half its body", "POST /api/v1/players HTTP/1.1\r\nHost: x\r\nContent-Length: 10\r\n\r\n{\"na", 408},
        {"nothing at all", "", 0},
    };
    for (const Case& c : cases) {
        probe::Connection connection(server.port());
        connection.send(c.sent);
        auto answer = connection.read(5s);
        EXPECT_EQ(answer.status, c.status) << c.what;
        EXPECT_TRUE(connection.closedByServer(5s)) << c.what;
    }
    // After an answer, a kept-alive connection left idle is closed too.
    probe::Connection idle(server.port());
    idle.send(probe::request("GET", "/healthz", {}, ""));
    EXPECT_EQ(idle.read().status, 200);
    EXPECT_TRUE(idle.closedByServer(5s));
}

}  // namespace

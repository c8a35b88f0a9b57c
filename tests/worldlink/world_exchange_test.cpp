// The world link's exchanges against a server the test plays: what each
// answer to a record, a name or a table read does to the outbox and to how
// the world is reachable, and that nothing a lying server sends gets past
// as an answer.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "fake_server.h"
#include "worldlink/world_exchange.h"

using namespace worldlink;
using namespace worldlink_test;
using world::NameAnswer;
using world::Reach;

namespace {

struct Now {
    long long unixMillis = 1700000000000LL;
    Clock::time_point steady{};
};

class WorldExchangeTest : public ::testing::Test {
protected:
    WorldExchangeTest()
        : exchange({"http://world.test", dir.path.string()}, server, server,
                   {[this] { return now.unixMillis; }, [this] { return now.steady; }}) {
        server.answer = [this](const HttpRequest& request) { return answer(request); };
    }

    // Registration and tables as a working server gives them; the run's answer is the case's.
    HttpResponse answer(const HttpRequest& request) {
        if (hasPath(request, "/api/v1/players")) return registration;
        if (hasPath(request, "/api/v1/runs/start")) return {201, R"({"token": "abcd01", "stage": 1})", ""};
        if (hasPath(request, "/api/v1/runs?")) {
            if (submission.status == 0) throw scoreclient::TransportError("connection refused");
            return submission;
        }
        if (hasPath(request, "/api/v1/stages/1/scores/around/Ace")) return around;
        if (hasPath(request, "/api/v1/stages/1/scores")) return table;
        return {404, R"({"error": "no such resource"})", ""};
    }

    void joinAsAce() {
        exchange.wantOnline("Ace");
        exchange.registerWanted();
        ASSERT_EQ(exchange.reach(), Reach::Online);
    }

    std::vector<std::string> refusedFiles() const {
        std::vector<std::string> names;
        std::error_code error;
        for (const auto& item : std::filesystem::directory_iterator(dir.path / "outbox/refused", error)) {
            names.push_back(item.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    TempDir dir;
    FakeServer server;
    Now now;
    WorldExchange exchange;
    HttpResponse registration{201, kRegistered, ""};
    HttpResponse submission{201, kRunSeven, ""};
    HttpResponse table{200,
                       R"({"stage": 1, "entries": [
                           {"rank": 1, "player": "Max", "score": 5000, "distance": 900, "frames": 3000, "live": true, "run_id": "3"},
                           {"rank": 2, "player": "Bea", "score": 1000, "distance": 400, "frames": 2000, "live": false, "run_id": "5"},
                           {"rank": 3, "player": "Ace", "score": 900, "distance": 300, "frames": 1000, "live": true, "run_id": "7"}]})",
                       ""};
    HttpResponse around{200,
                        R"({"stage": 1, "player": "Ace", "rank": 3, "entries": [
                            {"rank": 2, "player": "Bea", "score": 1000, "distance": 400, "frames": 2000, "live": false, "run_id": "5"},
                            {"rank": 3, "player": "Ace", "score": 900, "distance": 300, "frames": 1000, "live": true, "run_id": "7"}]})",
                        ""};
};

TEST_F(WorldExchangeTest, EachAnswerToARecordDecidesWhereItsFileGoesAndHowTheWorldIsReached) {
    struct Case {
        const char* what;
        HttpResponse answer;  // status 0: no answer at all
        std::size_t waiting, refused;
        const char* reason;  // in the refused file's reason
        Reach reach;
        long shortestWaitSeconds;  // -1: no wait, the next record may go at once
    };
    const Case cases[] = {
        {"a new entry", {201, kRunSeven, ""}, 0, 0, "", Reach::Online, -1},
        {"already on the table", {200, kRunSeven, ""}, 0, 0, "", Reach::Online, -1},
        {"not signed as the server wants", {401, R"({"error": "bad signature"})", ""}, 0, 1, "bad signature", Reach::Online, -1},
        {"another player's run", {409, R"({"error": "this run is someone else's", "run_id": "3"})", ""}, 0, 1,
         "this run is someone else's", Reach::Online, -1},
        {"too large", {413, R"({"error": "the replay is too large"})", ""}, 0, 1, "HTTP 413: the replay is too large",
         Reach::Online, -1},
        {"does not play to its end", {422, R"({"error": "the replay does not play to its end"})", ""}, 0, 1,
         "does not play to its end", Reach::Online, -1},
        {"a refusal without a message", {400, "<html>no</html>", ""}, 0, 1, "HTTP 400", Reach::Online, -1},
        {"rate limited", {429, R"({"error": "too many submissions"})", "120"}, 1, 0, "", Reach::Online, 120},
        {"the database failed", {500, R"({"error": "internal error"})", ""}, 1, 0, "", Reach::Offline, 5},
        {"the verifier queue full", {503, R"({"error": "the verifier queue is full"})", "7"}, 1, 0, "", Reach::Offline, 7},
        {"taken, with a body that is not JSON", {201, "{\"run\": {\"id\": \"7\"", ""}, 1, 0, "", Reach::Offline, 5},
        {"taken, with the run's id a number", {201, R"({"run": {"id": 7}})", ""}, 1, 0, "", Reach::Offline, 5},
        {"taken, with the run a list", {200, R"({"run": ["7"]})", ""}, 1, 0, "", Reach::Offline, 5},
        {"a status no server of ours gives", {302, "", ""}, 1, 0, "", Reach::Offline, 5},
        {"no answer", {0, "", ""}, 1, 0, "", Reach::Offline, 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir caseDir;
        FakeServer caseServer;
        WorldExchange link({"http://world.test", caseDir.path.string()}, caseServer, caseServer,
                           {[this] { return now.unixMillis; }, [this] { return now.steady; }});
        submission = c.answer;
        caseServer.answer = [this](const HttpRequest& request) { return answer(request); };
        link.wantOnline("Ace");
        link.registerWanted();
        const std::string replay = writeReplay(caseDir, "replay_01.bin", 3);
        ASSERT_TRUE(link.keepRecord(1, replay));
        link.sendOutbox();

        EXPECT_EQ(link.outbox().waiting().size(), c.waiting);
        EXPECT_EQ(link.reach(), c.reach);
        EXPECT_EQ(caseServer.count("POST", "/api/v1/runs?stage=1"), 1);
        std::vector<std::string> refused;
        std::error_code error;
        for (const auto& item : std::filesystem::directory_iterator(caseDir.path / "outbox/refused", error)) {
            if (item.path().extension() == ".bin") refused.push_back(item.path().string());
        }
        ASSERT_EQ(refused.size(), c.refused);
        if (c.refused == 1) {
            std::ifstream in(refused[0], std::ios::binary);
            EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), {}), std::string(72, '\x01'));
            std::ifstream why(refused[0] + ".reason");
            std::string reason((std::istreambuf_iterator<char>(why)), {});
            EXPECT_NE(reason.find(c.reason), std::string::npos) << reason;
        }
        if (c.shortestWaitSeconds < 0) {
            EXPECT_FALSE(link.retryAt().has_value());
        } else {
            ASSERT_TRUE(link.retryAt().has_value());
            EXPECT_GE(*link.retryAt() - now.steady, std::chrono::seconds(c.shortestWaitSeconds));
            EXPECT_LE(*link.retryAt() - now.steady, std::chrono::seconds(c.shortestWaitSeconds + 300));
        }
    }
}

TEST_F(WorldExchangeTest, RecordsGoOldestFirstAndAWaitStopsTheRestUntilTheNextTry) {
    joinAsAce();
    const std::string first = writeReplay(dir, "a.bin", 2, 'a');
    const std::string second = writeReplay(dir, "b.bin", 2, 'b');
    ASSERT_TRUE(exchange.keepRecord(1, first));
    now.unixMillis += 1;
    ASSERT_TRUE(exchange.keepRecord(1, second));

    submission = {503, R"({"error": "busy"})", "2"};
    exchange.sendOutbox();
    ASSERT_EQ(server.count("POST", "/api/v1/runs?"), 1);
    EXPECT_EQ(server.requests.back().body, std::string(48, 'a'));
    EXPECT_EQ(exchange.outbox().waiting().size(), 2u);

    submission = {201, kRunSeven, ""};
    // A record kept during the wait the server asked for waits too.
    ASSERT_TRUE(exchange.keepRecord(1, writeReplay(dir, "c.bin", 2, 'c')));
    now.steady += std::chrono::seconds(1);
    exchange.catchUp();
    EXPECT_EQ(server.count("POST", "/api/v1/runs?"), 1);
    now.steady += std::chrono::seconds(4);
    exchange.catchUp();
    ASSERT_EQ(server.count("POST", "/api/v1/runs?"), 4);
    EXPECT_TRUE(exchange.outbox().waiting().empty());
    std::string order;
    for (const auto& request : server.requests) {
        if (hasPath(request, "/api/v1/runs?")) order += request.body[0];
    }
    EXPECT_EQ(order, "aabc");
}

TEST_F(WorldExchangeTest, ARecordAcceptedGetsItsWorldRankAndTheTitleItsStanding) {
    joinAsAce();
    ASSERT_TRUE(exchange.keepRecord(1, writeReplay(dir, "replay_01.bin", 2)));
    EXPECT_FALSE(exchange.lastRecordRank().has_value());
    exchange.sendOutbox();
    EXPECT_EQ(exchange.lastRecordRank(), 3);
    const auto standing = exchange.standing(1);
    ASSERT_TRUE(standing.has_value());
    EXPECT_EQ(standing->rank, 3);
    EXPECT_EQ(standing->entries, 3);
    EXPECT_EQ(standing->bestScore, 5000);
    EXPECT_EQ(standing->bestPlayer, "Max");
    ASSERT_TRUE(exchange.entryAbovePlayer(1).has_value());
    EXPECT_EQ(exchange.entryAbovePlayer(1)->player, "Bea");
    EXPECT_EQ(exchange.worldBest(1)->runId, "3");
    EXPECT_EQ(exchange.table(1)->around.size(), 2u);
}

TEST_F(WorldExchangeTest, AStageTableThatIsNotOneLeavesTheLastGoodAnswerAndSaysOffline) {
    joinAsAce();
    exchange.refresh(1);
    ASSERT_EQ(exchange.standing(1)->rank, 3);
    const char* const lies[] = {
        "not json",
        R"({"entries": {"rank": 1}})",
        R"({"entries": [{"rank": "1", "player": "Max", "score": 5, "distance": 1, "frames": 1, "live": true, "run_id": "3"}]})",
        R"({"entries": [{"rank": 1, "player": "Max", "score": -5, "distance": 1, "frames": 1, "live": true, "run_id": "3"}]})",
        R"({"entries": [{"rank": 1, "player": "Max", "score": 5, "distance": 1, "frames": 1, "live": 1, "run_id": "3"}]})",
        R"({"entries": [{"rank": 1, "player": "Max", "score": 5, "distance": 1, "frames": 1, "live": true, "run_id": "../x"}]})",
        R"({"entries": [{"rank": 1, "player": "Max", "score": 5, "distance": 1, "frames": 1, "live": true}]})",
        R"({"entries": [{"rank": 1, "player": "Max", "score": 99999999999, "distance": 1, "frames": 1, "live": true, "run_id": "3"}]})",
    };
    for (const char* lie : lies) {
        SCOPED_TRACE(lie);
        table = {200, lie, ""};
        exchange.refresh(1);
        EXPECT_EQ(exchange.reach(), Reach::Offline);
        EXPECT_EQ(exchange.standing(1)->entries, 3);
    }
    table.status = 500;
    exchange.refresh(1);
    EXPECT_EQ(exchange.reach(), Reach::Offline);
}

TEST_F(WorldExchangeTest, APlayerWithoutAnEntryRacesTheLowestOneAndHasNoRank) {
    joinAsAce();
    around = {404, R"({"error": "that player has no entry on this stage"})", ""};
    exchange.refresh(1);
    EXPECT_EQ(exchange.reach(), Reach::Online);
    EXPECT_EQ(exchange.standing(1)->rank, 0);
    EXPECT_TRUE(exchange.table(1)->around.empty());
    EXPECT_EQ(exchange.entryAbovePlayer(1)->player, "Ace");  // the table's last row
}

TEST_F(WorldExchangeTest, EachAnswerToANameIsWhatTheNameScreenShows) {
    struct Case {
        const char* what;
        HttpResponse answer;  // status 0: no answer
        NameAnswer name;
        Reach reach;
        const char* message;
    };
    const Case cases[] = {
        {"registered now", {201, kRegistered, ""}, NameAnswer::Accepted, Reach::Online, ""},
        {"registered before", {200, kRegistered, ""}, NameAnswer::Accepted, Reach::Online, ""},
        {"taken", {409, R"({"error": "that name is taken"})", ""}, NameAnswer::Taken, Reach::Off, "that name is taken"},
        {"banned", {403, R"({"error": "this player is banned"})", ""}, NameAnswer::Refused, Reach::Off,
         "this player is banned"},
        {"refused without a message", {400, "", ""}, NameAnswer::Refused, Reach::Off, "HTTP 400"},
        {"the server failing", {500, R"({"error": "internal error"})", ""}, NameAnswer::Offline, Reach::Offline, ""},
        {"accepted in words that are not JSON", {201, "yes", ""}, NameAnswer::Offline, Reach::Offline, ""},
        {"accepted with the player a string", {201, R"({"player": "Ace"})", ""}, NameAnswer::Offline, Reach::Offline, ""},
        {"no answer", {0, "", ""}, NameAnswer::Offline, Reach::Offline, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir caseDir;
        FakeServer caseServer;
        caseServer.answer = [&c](const HttpRequest&) {
            if (c.answer.status == 0) throw scoreclient::TransportError("connection refused");
            return c.answer;
        };
        WorldExchange link({"http://world.test", caseDir.path.string()}, caseServer, caseServer,
                           {[this] { return now.unixMillis; }, [this] { return now.steady; }});
        link.wantOnline("Ace");
        EXPECT_EQ(link.nameAnswer(), NameAnswer::Pending);
        EXPECT_EQ(link.reach(), Reach::Joining);
        link.registerWanted();
        EXPECT_EQ(link.nameAnswer(), c.name);
        EXPECT_EQ(link.reach(), c.reach);
        EXPECT_EQ(link.nameMessage(), c.message);
        EXPECT_EQ(link.playerName(), c.name == NameAnswer::Accepted ? "Ace" : "");
        // The key is made before the first request, private to the player.
        struct stat info {};
        ASSERT_EQ(::stat(link.keyFile().c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0600u);
    }
}

TEST_F(WorldExchangeTest, TurnedOffNothingIsSentAndNoRecordIsKept) {
    joinAsAce();
    exchange.turnOff();
    const std::size_t before = server.requests.size();
    ASSERT_TRUE(exchange.keepRecord(1, writeReplay(dir, "replay_01.bin", 2)));
    exchange.refresh(1);
    exchange.requestToken(1, exchange.forgetToken(1));
    exchange.catchUp();
    EXPECT_EQ(server.requests.size(), before);
    EXPECT_EQ(exchange.reach(), Reach::Off);
    EXPECT_TRUE(exchange.outbox().waiting().empty());
}

TEST_F(WorldExchangeTest, ALiveRunsTokenGoesWithItsRecordAndALateOneWithNone) {
    joinAsAce();
    exchange.requestToken(1, exchange.forgetToken(1));
    ASSERT_TRUE(exchange.keepRecord(1, writeReplay(dir, "replay_01.bin", 2)));
    exchange.sendOutbox();
    EXPECT_TRUE(hasPath(server.requests.end()[-3], "/api/v1/runs?stage=1&token=abcd01"))
        << server.requests.end()[-3].url;

    // The token asked for by an earlier countdown comes after this run's record.
    const int serial = exchange.forgetToken(1);
    ASSERT_TRUE(exchange.keepRecord(1, writeReplay(dir, "replay_01.bin", 3)));
    exchange.requestToken(1, serial);
    exchange.sendOutbox();
    EXPECT_TRUE(hasPath(server.requests.end()[-3], "/api/v1/runs?stage=1")) << server.requests.end()[-3].url;
    EXPECT_EQ(server.requests.end()[-3].url.find("token"), std::string::npos);
}

TEST_F(WorldExchangeTest, AWorldReplayIsDownloadedOnceIntoTheCache) {
    joinAsAce();
    server.answer = [&](const HttpRequest& request) -> HttpResponse {
        if (hasPath(request, "/api/v1/runs/5/replay")) return {200, std::string(48, '\x02'), ""};
        return {200, std::string(47, '\x02'), ""};  // run 6: a torn record
    };
    world::WorldEntry entry;
    entry.runId = "5";
    entry.player = "Bea";
    exchange.fetch(entry, 1);
    exchange.fetch(entry, 1);
    const auto cached = exchange.cachedReplay("5");
    ASSERT_TRUE(cached.has_value());
    EXPECT_EQ(cached->entry.player, "Bea");
    EXPECT_EQ(cached->stage, 1);
    std::ifstream in(cached->path, std::ios::binary);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), {}), std::string(48, '\x02'));
    EXPECT_EQ(server.count("GET", "/api/v1/runs/5/replay"), 1);

    entry.runId = "6";
    exchange.fetch(entry, 1);
    EXPECT_FALSE(exchange.cachedReplay("6").has_value());
    EXPECT_EQ(exchange.reach(), Reach::Offline);
}

}  // namespace

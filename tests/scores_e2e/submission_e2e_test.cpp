// The submission API end to end: the real server on an ephemeral port and
// the real verifier, every refusal with its status, duplicates and copies,
// the live flag and the corpus scored exactly as the verifier scores it.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <chrono>
#include <fstream>
#include <sstream>
#include <set>
#include <thread>

#include "score_server_process.h"

namespace {

using nlohmann::json;
using namespace std::chrono_literals;

const std::string kStage0 = e2e::sourceDir() + "/tests/corpus/replays/stage0.bin";
const std::string kTopEdge = e2e::sourceDir() + "/tests/corpus/replays/top_edge.bin";  // stage 1, 251 frames

std::string replayBytes(const std::string& file) { return e2e::readFile(file); }

// Turns one held button's 1 into a 2: a different file, the same run (any
// non-zero value means held).
std::string sameRunOtherBits(std::string replay) {
    for (std::size_t i = 0; i + 1 < replay.size(); i += 2) {
        if (replay[i] == 1 && replay[i + 1] == 0) {
            replay[i] = 2;
            return replay;
        }
    }
    ADD_FAILURE() << "no held button in the replay";
    return replay;
}

class SubmissionTest : public ::testing::Test {
protected:
    void SetUp() override {
        server_ = std::make_unique<e2e::ScoreServer>(database_, std::vector<std::string>{"--submit-rate", "100000"});
        ace_.name = "Ace";
        ASSERT_EQ(ace_.registerOn(port()).status, 201);
    }
    unsigned short port() const { return server_->port(); }

    e2e::TestDatabase database_;
    std::unique_ptr<e2e::ScoreServer> server_;
    e2e::Player ace_;
};

TEST_F(SubmissionTest, RegistrationAnswersByNameAndKey) {
    e2e::Player other;
    struct Case {
        const e2e::Player* player;
        std::string name;
        int status;
    } cases[] = {
        {&ace_, "Ace", 200},             // the same registration again
        {&other, "ACE", 409},            // the name without regard to case
        {&ace_, "Bee", 409},             // the key is registered as Ace
        {&other, "", 400},
        {&other, "ThirteenChars", 400},
        {&other, "two words", 400},
        {&other, "emoji\xF0\x9F\x98\x80", 400},
        {&other, "b.e-E9", 201},
    };
    for (const Case& c : cases) {
        e2e::Player player = *c.player;
        player.name = c.name;
        EXPECT_EQ(player.registerOn(port()).status, c.status) << "\"" << c.name << "\"";
    }
    // A body whose key is not the signing key.
    std::string body = "{\"name\":\"Cat\",\"public_key\":\"" + ace_.key.publicHex + "\"}";
    EXPECT_EQ(probe::exchange(port(), other.signedRequest("POST", "/api/v1/players", body)).status, 400);
}

TEST_F(SubmissionTest, EverySignatureFaultIsRefusedWith401) {
    const std::string replay = replayBytes(kTopEdge);
    const std::string target = "/api/v1/runs?stage=1";
    const long long now = static_cast<long long>(std::time(nullptr));
    auto send = [&](std::vector<std::pair<std::string, std::string>> headers, const std::string& body) {
        headers.emplace_back("Content-Type", "application/octet-stream");
        return probe::exchange(port(), probe::request("POST", target, headers, body)).status;
    };
    auto without = [&](const std::string& name) {
        auto headers = ace_.signedHeaders("POST", target, replay);
        std::erase_if(headers, [&](const auto& h) { return h.first == name; });
        return headers;
    };
    auto replaced = [&](const std::string& name, const std::string& value) {
        auto headers = ace_.signedHeaders("POST", target, replay);
        for (auto& header : headers) {
            if (header.first == name) header.second = value;
        }
        return headers;
    };
    e2e::Player stranger;
    struct Case {
        std::string what;
        std::vector<std::pair<std::string, std::string>> headers;
        std::string body;
    } cases[] = {
        {"no signature at all", {}, replay},
        {"no key", without(scoreproto::kKeyHeader), replay},
        {"no nonce", without(scoreproto::kNonceHeader), replay},
        {"no timestamp", without(scoreproto::kTimestampHeader), replay},
        {"upper-case key", replaced(scoreproto::kKeyHeader, "A" + ace_.key.publicHex.substr(1)), replay},
        {"short nonce", replaced(scoreproto::kNonceHeader, "abc"), replay},
        {"signature of another body", ace_.signedHeaders("POST", target, replay + replay), replay},
        {"signature of another path", ace_.signedHeaders("POST", "/api/v1/runs?stage=2", replay), replay},
        {"another key's signature", replaced(scoreproto::kKeyHeader, stranger.key.publicHex), replay},
        {"timestamp 301 s old", ace_.signedHeaders("POST", target, replay, now - 301), replay},
        {"timestamp 301 s ahead", ace_.signedHeaders("POST", target, replay, now + 301), replay},
        {"timestamp not a number", replaced(scoreproto::kTimestampHeader, "12e5"), replay},
        {"unregistered key", stranger.signedHeaders("POST", target, replay), replay},
    };
    for (const Case& c : cases) EXPECT_EQ(send(c.headers, c.body), 401) << c.what;

    // The same nonce twice: the first is taken, the second refused.
    const std::string nonce = scoreproto::randomNonceHex();
    EXPECT_EQ(send(ace_.signedHeaders("POST", target, replay, now, nonce), replay), 201);
    EXPECT_EQ(send(ace_.signedHeaders("POST", target, replay, now + 1, nonce), replay), 401);
    // Within the skew the timestamp is fine.
    EXPECT_EQ(send(ace_.signedHeaders("POST", target, replay, now - 250), replay), 200);
}

TEST_F(SubmissionTest, ShapesAndStagesAreRefusedBeforeAnyReplay) {
    const std::string record(24, '\0');
    std::string oversized;
    for (int i = 0; i < 36001; ++i) oversized += record;
    struct Case {
        std::string what;
        std::string target;
        std::string body;
        std::string contentType;
        int status;
    } cases[] = {
        {"empty", "/api/v1/runs?stage=0", "", "application/octet-stream", 400},
        {"one record", "/api/v1/runs?stage=0", record, "application/octet-stream", 400},
        {"a torn record", "/api/v1/runs?stage=0", record + record + "x", "application/octet-stream", 400},
        {"23 bytes", "/api/v1/runs?stage=0", std::string(23, '\0'), "application/octet-stream", 400},
        {"36001 records", "/api/v1/runs?stage=0", oversized, "application/octet-stream", 413},
        {"stage 4", "/api/v1/runs?stage=4", record + record, "application/octet-stream", 400},
        {"stage -1", "/api/v1/runs?stage=-1", record + record, "application/octet-stream", 400},
        {"no stage", "/api/v1/runs", record + record, "application/octet-stream", 400},
        {"stage in words", "/api/v1/runs?stage=one", record + record, "application/octet-stream", 400},
        {"sent as JSON", "/api/v1/runs?stage=0", record + record, "application/json", 415},
    };
    for (const Case& c : cases) {
        auto answer = probe::exchange(port(), ace_.signedRequest("POST", c.target, c.body, c.contentType));
        EXPECT_EQ(answer.status, c.status) << c.what;
        EXPECT_TRUE(json::parse(answer.body, nullptr, false).contains("error")) << c.what << ": " << answer.body;
    }
    // A torn file the verifier would still play is refused too.
    auto torn = replayBytes(e2e::sourceDir() + "/tests/corpus/replays/torn_last_record.bin");
    EXPECT_EQ(ace_.submit(port(), 0, torn).status, 400);
    // Not one of them reached the table.
    auto table = probe::exchange(port(), probe::request("GET", "/api/v1/stages/0/scores", {}, ""));
    EXPECT_TRUE(json::parse(table.body)["entries"].empty());
}

TEST_F(SubmissionTest, BodiesOverTheLimitAreRefusedHoweverTheyAreSent) {
    const std::string target = "/api/v1/runs?stage=0";
    const std::string big(864024, '\0');
    auto headers = ace_.signedHeaders("POST", target, big);
    headers.emplace_back("Content-Type", "application/octet-stream");
    std::string head = "POST " + target + " HTTP/1.1\r\nHost: x\r\n";
    for (const auto& [name, value] : headers) head += name + ": " + value + "\r\n";

    auto chunked = [&](const std::string& body, std::size_t chunk) {
        std::string out = head + "Transfer-Encoding: chunked\r\n\r\n";
        for (std::size_t at = 0; at < body.size(); at += chunk) {
            std::string piece = body.substr(at, chunk);
            char size[32];
            std::snprintf(size, sizeof size, "%zx\r\n", piece.size());
            out += size + piece + "\r\n";
        }
        return out + "0\r\n\r\n";
    };
    struct Case {
        std::string what;
        std::string raw;
        std::set<int> statuses;
    } cases[] = {
        // The length alone is enough: answered before the body is sent.
        {"Content-Length over the limit", head + "Content-Length: 864024\r\n\r\n", {413}},
        {"Content-Length of a terabyte", head + "Content-Length: 1000000000000\r\n\r\n", {413}},
        {"chunked, one big chunk", chunked(big, big.size()), {413}},
        {"chunked, many small chunks", chunked(big, 4096), {413}},
        {"chunk size past any limit", head + "Transfer-Encoding: chunked\r\n\r\nffffffffffffffff\r\n", {400, 413}},
        {"gzip", head + "Content-Encoding: gzip\r\nContent-Length: 20\r\n\r\n" + std::string(20, 'z'), {400}},
        {"deflate", head + "Content-Encoding: deflate\r\nContent-Length: 20\r\n\r\n" + std::string(20, 'z'), {400}},
        {"header over 8 KiB", head + "X-Padding: " + std::string(9000, 'p') + "\r\nContent-Length: 0\r\n\r\n", {431}},
        {"not HTTP", "HELLO\r\n\r\n", {400}},
    };
    for (const Case& c : cases) {
        probe::Connection connection(port());
        connection.send(c.raw);
        auto answer = connection.read();
        EXPECT_TRUE(c.statuses.count(answer.status)) << c.what << ": " << answer.status;
        EXPECT_TRUE(connection.closedByServer(5s)) << c.what;
    }
    // A replay within the limit sent chunked is taken like any other.
    auto replay = replayBytes(kTopEdge);
    auto good = ace_.signedHeaders("POST", "/api/v1/runs?stage=1", replay);
    std::string raw = "POST /api/v1/runs?stage=1 HTTP/1.1\r\nHost: x\r\nContent-Type: application/octet-stream\r\n";
    for (const auto& [name, value] : good) raw += name + ": " + value + "\r\n";
    raw += "Transfer-Encoding: chunked\r\n\r\n";
    for (std::size_t at = 0; at < replay.size(); at += 1000) {
        std::string piece = replay.substr(at, 1000);
        char size[32];
        std::snprintf(size, sizeof size, "%zx\r\n", piece.size());
        raw += size + piece + "\r\n";
    }
    raw += "0\r\n\r\n";
    EXPECT_EQ(probe::exchange(port(), raw).status, 201);
    // The server still answers.
    EXPECT_EQ(probe::exchange(port(), probe::request("GET", "/healthz", {}, "")).status, 200);
}

TEST_F(SubmissionTest, SeveralRequestsOnOneConnectionThenAnOversizedOne) {
    probe::Connection connection(port());
    // Two pipelined requests and one more after their answers.
    connection.send(probe::request("GET", "/healthz", {}, "") + probe::request("GET", "/api/v1/stages/0/scores", {}, ""));
    EXPECT_EQ(connection.read().status, 200);
    EXPECT_EQ(connection.read().status, 200);
    connection.send(ace_.signedRequest("POST", "/api/v1/runs?stage=1", replayBytes(kTopEdge), "application/octet-stream"));
    EXPECT_EQ(connection.read().status, 201);
    const std::string big(864001, '\0');
    connection.send(ace_.signedRequest("POST", "/api/v1/runs?stage=0", big, "application/octet-stream"));
    EXPECT_EQ(connection.read().status, 413);
    EXPECT_TRUE(connection.closedByServer(5s));
}

TEST_F(SubmissionTest, TheSameRunIsOneEntryAndAnotherPlayersCopyIsRefused) {
    e2e::Player bee;
    bee.name = "Bee";
    ASSERT_EQ(bee.registerOn(port()).status, 201);
    const std::string replay = replayBytes(kTopEdge);
    auto first = ace_.submit(port(), 1, replay);
    ASSERT_EQ(first.status, 201) << first.body;
    const std::string id = json::parse(first.body)["run"]["id"];

    struct Case {
        std::string what;
        const e2e::Player* player;
        std::string replay;
        int status;
    } cases[] = {
        {"the same file again", &ace_, replay, 200},
        {"other bits, the same run", &ace_, sameRunOtherBits(replay), 200},
        {"another player's copy", &bee, replay, 409},
        {"another player's copy with other bits", &bee, sameRunOtherBits(replay), 409},
    };
    for (const Case& c : cases) {
        auto answer = c.player->submit(port(), 1, c.replay);
        ASSERT_EQ(answer.status, c.status) << c.what << ": " << answer.body;
        auto body = json::parse(answer.body);
        if (c.status == 200) {
            EXPECT_EQ(body["run"]["id"], id) << c.what;
        } else if (c.status == 409) {
            EXPECT_EQ(body["run_id"], id) << c.what;
        }
    }
    // On another stage the same buttons are another run.
    EXPECT_EQ(bee.submit(port(), 2, replay).status, 201);
}

TEST_F(SubmissionTest, AnEntryIsLiveOnlyWhenItsTokenIsOlderThanTheRun) {
    auto token = [&](int stage) {
        auto answer = probe::exchange(
            port(), ace_.signedRequest("POST", "/api/v1/runs/start", "{\"stage\":" + std::to_string(stage) + "}"));
        EXPECT_EQ(answer.status, 201);
        return json::parse(answer.body)["token"].get<std::string>();
    };
    // Each run a different replay: the same run again keeps its first entry.
    auto quick = ace_.submit(port(), 1, replayBytes(kTopEdge), token(1));
    ASSERT_EQ(quick.status, 201);
    EXPECT_FALSE(json::parse(quick.body)["run"]["live"]);

    const std::string bottom = e2e::sourceDir() + "/tests/corpus/replays/bottom_edge.bin";  // stage 2
    auto untokened = ace_.submit(port(), 2, replayBytes(bottom));
    ASSERT_EQ(untokened.status, 201);
    EXPECT_FALSE(json::parse(untokened.body)["run"]["live"]);

    // A token of stage 3 for a stage 0 run counts for nothing.
    const std::string edge = e2e::sourceDir() + "/tests/corpus/replays/edge_top_with_wall.bin";  // stage 0, 740 frames
    std::string wrongStage = token(3);
    // The empty replay's frames: how long a 2-record run lasts at 16 ms a frame.
    std::string twoRecords(48, '\0');
    std::string right = token(3);
    auto started = std::chrono::steady_clock::now();
    auto wrong = ace_.submit(port(), 0, replayBytes(edge), wrongStage);
    ASSERT_EQ(wrong.status, 201);
    EXPECT_FALSE(json::parse(wrong.body)["run"]["live"]);
    // Wait as long as the run takes, then it is live.
    auto probeRun = ace_.submit(port(), 3, twoRecords);
    ASSERT_EQ(probeRun.status, 201) << probeRun.body;
    int frames = json::parse(probeRun.body)["run"]["frames"];
    EXPECT_FALSE(json::parse(probeRun.body)["run"]["live"]);
    std::string twoOther(48, '\0');
    // UP held on both frames (the fourth field of a record): another run of about the same length.
    twoOther[6] = 1;
    twoOther[24 + 6] = 1;
    auto deadline = started + std::chrono::milliseconds(frames * 16 + 200);
    while (std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(20ms);
    auto live = ace_.submit(port(), 3, twoOther, right);
    ASSERT_EQ(live.status, 201) << live.body;
    EXPECT_LT(std::abs(json::parse(live.body)["run"]["frames"].get<int>() - frames), 10);
    EXPECT_TRUE(json::parse(live.body)["run"]["live"]);
}

TEST_F(SubmissionTest, EveryCorpusReplayScoresExactlyAsTheVerifierSaysAndReverifyAgrees) {
    std::ifstream expected(e2e::sourceDir() + "/tests/corpus/expected.txt");
    std::string text;
    std::set<std::string> traces;
    int submitted = 0;
    while (std::getline(expected, text)) {
        if (text.empty() || text[0] == '#') continue;
        std::istringstream fields(text);
        std::string name, hiscore, trace;
        int stage = 0;
        fields >> name >> stage >> hiscore >> trace;
        std::string line;
        std::getline(fields, line);
        line.erase(0, line.find_first_not_of(' '));
        std::string replay = replayBytes(e2e::sourceDir() + "/tests/corpus/replays/" + name + ".bin");
        auto answer = ace_.submit(port(), stage, replay);
        if (replay.empty() || replay.size() % 24 != 0) {
            EXPECT_EQ(answer.status, 400) << name;
            continue;
        }
        // A second replay of one run is the entry already there.
        ASSERT_EQ(answer.status, traces.insert(trace).second ? 201 : 200) << name << ": " << answer.body;
        auto run = json::parse(answer.body)["run"];
        EXPECT_EQ(run["line"], line) << name;
        EXPECT_EQ(run["trace_sha256"], trace) << name;
        EXPECT_EQ(run["stage"], stage) << name;
        ++submitted;
    }
    EXPECT_GE(submitted, 10);
    // The benchmark replays, against the verifier run here.
    for (const auto& entry : std::filesystem::directory_iterator(e2e::sourceDir() + "/bench/data")) {
        std::string name = entry.path().stem().string();
        int stage = name.rfind("stage", 0) == 0 ? name[5] - '0' : 0;
        auto direct = e2e::runVerifier(stage, entry.path());
        auto answer = ace_.submit(port(), stage, replayBytes(entry.path().string()));
        ASSERT_TRUE(answer.status == 201 || answer.status == 200) << name << ": " << answer.body;
        auto run = json::parse(answer.body)["run"];
        EXPECT_EQ(run["line"], direct.line) << name;
        EXPECT_EQ(run["trace_sha256"], direct.traceSha256) << name;
    }

    // Played again, every entry is unchanged; a doctored one is named.
    const std::string admin = e2e::binaryDir() + "/kvr2013-scores admin --database '" + database_.url() + "' reverify";
    auto clean = e2e::runCommand(admin);
    EXPECT_EQ(clean.status, 0) << clean.output;
    EXPECT_NE(clean.output.find(" 0 changed"), std::string::npos) << clean.output;
    auto db = e2e::connectTo(database_);
    auto rows = db->query("SELECT id FROM runs WHERE stage = 2 ORDER BY id LIMIT 1");
    ASSERT_EQ(rows.size(), 1u);
    std::string doctored = *rows[0][0];
    db->query("UPDATE runs SET score = 999999, line = 'stage=2 frames=30196 score=999999' WHERE id = $1",
              {std::int64_t{std::stoll(doctored)}});
    auto found = e2e::runCommand(admin + " --stage 2");
    EXPECT_EQ(found.status, 1) << found.output;
    EXPECT_NE(found.output.find("run " + doctored + " "), std::string::npos) << found.output;
    EXPECT_NE(found.output.find(" 1 changed"), std::string::npos) << found.output;
}

}  // namespace

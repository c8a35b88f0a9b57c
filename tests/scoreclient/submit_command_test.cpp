// The submit command against a scripted server: what each answer means for
// the exit status, that every request is signed as the server checks it, and
// that the key file is made private the first time and reused after.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "scoreclient/submit_command.h"
#include "scoreproto/request_signature.h"

using namespace scoreclient;

namespace {

// Answers from a script, one per request; a status of 0 stands for no answer.
struct ScriptedServer : HttpTransport {
    std::deque<long> statuses;
    std::vector<HttpRequest> requests;
    HttpResponse send(const HttpRequest& request) override {
        requests.push_back(request);
        if (statuses.empty()) throw TransportError("no more answers scripted");
        const long status = statuses.front();
        statuses.pop_front();
        if (status == 0) throw TransportError("connect to 127.0.0.1 port 9: Connection refused");
        return {status, "{\"answer\": " + std::to_string(status) + "}", "7"};
    }
};

std::string header(const HttpRequest& request, const std::string& name) {
    for (const auto& [key, value] : request.headers) {
        if (key == name) return value;
    }
    return "";
}

class SubmitCommand : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/kvr-submit-test-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir = pattern;
        args = {"http://127.0.0.1:8080", dir + "/player.key", "Ace", 2, dir + "/run.bin"};
        std::ofstream(args.replayFile, std::ios::binary) << std::string(48, '\0');
        environment.unixSeconds = [] { return 1700000000LL; };
        environment.wait = [this](std::chrono::milliseconds delay) { waits.push_back(delay); };
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string dir;
    SubmitArgs args;
    SubmitEnvironment environment;
    std::vector<std::chrono::milliseconds> waits;
};

TEST_F(SubmitCommand, EachAnswerGivesItsExitStatusAndEveryRequestIsSignedOnce) {
    struct Case {
        const char* what;
        std::deque<long> statuses;  // registration first, then the run
        int exit;
        std::size_t requests, waits;
    };
    const Case cases[] = {
        {"a new entry", {201, 201}, 0, 2, 0},
        {"both already there", {200, 200}, 0, 2, 0},
        {"a copy of another player's run", {201, 409}, 1, 2, 0},
        {"a body over the limit", {201, 413}, 1, 2, 0},
        {"a replay that does not play to its end", {200, 422}, 1, 2, 0},
        {"rate limited", {200, 429}, 1, 2, 0},
        {"the name is taken", {409}, 1, 1, 0},
        {"connection refused", {0}, 2, 1, 0},
        {"the queue full once", {200, 503, 201}, 0, 3, 1},
        {"the queue full every time", {200, 503, 503, 503}, 2, 4, 2},
        {"the server failing at registration", {500, 500, 500}, 2, 3, 2},
    };
    for (const auto& c : cases) {
        ScriptedServer server;
        server.statuses = c.statuses;
        waits.clear();
        std::ostringstream out, err;
        EXPECT_EQ(runSubmit(args, server, environment, out, err), c.exit) << c.what << ": " << err.str();
        ASSERT_EQ(server.requests.size(), c.requests) << c.what;
        if (c.exit != 2) {
            EXPECT_EQ(out.str(), "{\"answer\": " + std::to_string(c.statuses.back()) + "}\n") << c.what;
        }
        // Each retry waits the server's Retry-After (7 s) first.
        EXPECT_EQ(waits, std::vector<std::chrono::milliseconds>(c.waits, std::chrono::seconds(7))) << c.what;

        const auto key = scoreproto::loadPlayerKey(args.keyFile);
        std::set<std::string> nonces;
        for (const auto& request : server.requests) {
            const auto path = request.url.substr(args.server.size());
            EXPECT_EQ(header(request, scoreproto::kKeyHeader), key.publicHex) << c.what;
            EXPECT_EQ(header(request, scoreproto::kTimestampHeader), "1700000000") << c.what;
            const std::string text = scoreproto::signingText(request.method, path, "1700000000",
                                                             header(request, scoreproto::kNonceHeader), request.body);
            EXPECT_TRUE(scoreproto::verifySignatureHex(key.publicHex, text, header(request, scoreproto::kSignatureHeader)))
                << c.what << ": " << path;
            nonces.insert(header(request, scoreproto::kNonceHeader));
        }
        EXPECT_EQ(nonces.size(), server.requests.size()) << c.what << ": a nonce was sent twice";
        EXPECT_EQ(server.requests[0].url, "http://127.0.0.1:8080/api/v1/players") << c.what;
        EXPECT_EQ(server.requests[0].body, "{\"name\": \"Ace\", \"public_key\": \"" + key.publicHex + "\"}") << c.what;
        if (c.requests > 1 && c.statuses[0] < 300) {
            EXPECT_EQ(server.requests[1].url, "http://127.0.0.1:8080/api/v1/runs?stage=2") << c.what;
            EXPECT_EQ(header(server.requests[1], "Content-Type"), "application/octet-stream") << c.what;
            EXPECT_EQ(server.requests[1].body, std::string(48, '\0')) << c.what;
        }
    }
}

TEST_F(SubmitCommand, TheKeyFileIsMadePrivateOnceAndKeptAfter) {
    ScriptedServer server;
    server.statuses = {201, 201, 200, 200};
    std::ostringstream out, err;
    ASSERT_EQ(runSubmit(args, server, environment, out, err), 0) << err.str();
    struct stat info {};
    ASSERT_EQ(::stat(args.keyFile.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    const std::string first = header(server.requests[0], scoreproto::kKeyHeader);
    ASSERT_EQ(runSubmit(args, server, environment, out, err), 0) << err.str();
    EXPECT_EQ(header(server.requests[2], scoreproto::kKeyHeader), first);
}

TEST_F(SubmitCommand, ATornReplayOrABrokenKeyFileIsNotSent) {
    ScriptedServer server;
    std::ostringstream out, err;
    std::ofstream(args.replayFile, std::ios::binary) << std::string(50, '\0');
    EXPECT_EQ(runSubmit(args, server, environment, out, err), 1);
    std::ofstream(args.replayFile, std::ios::binary) << std::string(48, '\0');
    std::ofstream(args.keyFile) << "public 00\n";
    EXPECT_EQ(runSubmit(args, server, environment, out, err), 2);
    args.replayFile = dir + "/missing.bin";
    EXPECT_EQ(runSubmit(args, server, environment, out, err), 2);
    EXPECT_TRUE(server.requests.empty());
}

TEST(SubmitArgs, AMistypedCommandLineIsAUsageError) {
    const std::vector<std::vector<const char*>> bad = {
        {"submit"},
        {"submit", "--server", "http://h", "--key", "k", "--name", "Ace", "--stage", "4", "--replay", "r"},
        {"submit", "--server", "http://h", "--key", "k", "--name", "Ace", "--stage", "1x", "--replay", "r"},
        {"submit", "--server", "http://h", "--key", "k", "--name", "two words", "--stage", "1", "--replay", "r"},
        {"submit", "--server", "ftp://h", "--key", "k", "--name", "Ace", "--stage", "1", "--replay", "r"},
        {"submit", "--server", "http://h", "--name", "Ace", "--stage", "1", "--replay", "r"},
        {"submit", "--server", "http://h", "--key", "k", "--name", "Ace", "--stage", "1"},
        {"submit", "--server", "http://h", "--key", "k", "--name", "Ace", "--stage", "1", "--replay", "r", "--hiscore", "9"},
        {"submit", "--server", "http://h", "--key", "k", "--name", "Ace", "--stage", "1", "--replay"},
    };
    for (auto argv : bad) {
        argv.insert(argv.begin(), "kvr2013-scores");
        EXPECT_THROW(parseSubmitArgs(static_cast<int>(argv.size()), argv.data()), SubmitUsageError) << argv.size();
    }
    const char* good[] = {"kvr2013-scores", "submit", "--stage", "3", "--server", "https://scores.example/",
                          "--key", "k", "--name", "ace.1", "--replay", "r"};
    const SubmitArgs args = parseSubmitArgs(12, good);
    EXPECT_EQ(args.server, "https://scores.example");
    EXPECT_EQ(args.stage, 3);
    EXPECT_EQ(args.name, "ace.1");
}

}  // namespace

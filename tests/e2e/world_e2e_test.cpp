// The real game online with the real score server on 127.0.0.1: a
// config.ini set up by hand registers its name at start, and a record left
// in the outbox while the server was away reaches the world table at the
// next start, with the score the verifier gives its replay; a server that
// takes the connection and never answers slows no frame and not the exit.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "e2e_support.h"
#include "world_server.h"

namespace {

using namespace e2e;
namespace fs = std::filesystem;

const std::string kRecords = "HI_SCORE1 = 0\nHI_SCORE2 = 0\nHI_SCORE3 = 0\nHI_SCORE4 = 0\nMODE = 0\n";

std::string onlineConfig(const std::string& server) {
    return kRecords + "ONLINE = 1\nPLAYER_NAME = Ace\nSCORE_SERVER = " + server + "\n";
}

int countRecordsIn(const fs::path& outbox) {
    int records = 0;
    std::error_code error;
    for (const auto& item : fs::directory_iterator(outbox, error)) records += item.path().extension() == ".bin";
    return records;
}

// "score=27200" out of the verifier's line.
std::string scoreOf(const std::string& verifierLine) {
    const auto at = verifierLine.find("score=");
    if (at == std::string::npos) return "";
    return verifierLine.substr(at + 6, verifierLine.find(' ', at) - at - 6);
}

// A loopback port whose connections the kernel completes and nobody answers.
class SilentServer {
public:
    SilentServer() {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && ::listen(fd_, 8) == 0 &&
            ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
            port_ = ntohs(address.sin_port);
        }
    }
    ~SilentServer() { ::close(fd_); }
    std::string url() const { return "http://127.0.0.1:" + std::to_string(port_); }
    // Whether a client has connected by now (it is then left unanswered).
    bool connected() const {
        pollfd waiting{fd_, POLLIN, 0};
        return ::poll(&waiting, 1, 0) == 1;
    }

private:
    int fd_ = -1;
    unsigned short port_ = 0;
};

// The game's own count of late frames (KVR_FRAME_STATS=1), from its last stderr line of them.
struct FrameStats {
    long long frames = -1, lateOver2Ms = -1;
};
FrameStats frameStatsIn(const std::string& stderrText) {
    FrameStats stats;
    const auto at = stderrText.rfind("frame-stats ");
    if (at != std::string::npos) {
        std::sscanf(stderrText.c_str() + at, "frame-stats frames %lld late-ms-total %*d late-ms-mean %*f late-over-2ms %lld",
                    &stats.frames, &stats.lateOver2Ms);
    }
    return stats;
}

class WorldE2E : public GameWindowTest {
protected:
    void SetUp() override {
        if (scoreServerBinary().empty()) GTEST_SKIP() << "this build has no score server";
        GameWindowTest::SetUp();
    }
    // Another start in the same directory: the last one's run log must not
    // pass for this one's.
    void restartAtTitle(const std::vector<std::string>& args = {}) {
        fs::remove(dir / "run.log");
        startAtTitle(args);
    }
    WorkDir serverFiles{WorkDir::NoResources};
};

TEST_F(WorldE2E, AConfigSetUpByHandMakesTheKeyAndRegistersTheNameAtStart) {
    WorldServer server(serverFiles / "server");
    ASSERT_TRUE(server.started()) << server.errors();
    dir.write("config.ini", onlineConfig(server.url()));
    startAtTitle();
    EXPECT_TRUE(waitUntil([&] { return server.query("SELECT name FROM players;") == "Ace\n"; }))
        << server.query("SELECT name FROM players;") << server.errors();

    struct stat key {};
    ASSERT_EQ(::stat((dir / "player.key").c_str(), &key), 0);
    EXPECT_EQ(key.st_mode & 0777, 0600u);
    // The server holds the key the file holds.
    const std::string publicKey = server.query("SELECT public_key FROM players;");
    ASSERT_EQ(publicKey.size(), 65u) << publicKey;
    EXPECT_NE(dir.read("player.key").find("public " + publicKey), std::string::npos);
    quitWithEscape();
    // The name is registered once: a second start finds the same player.
    restartAtTitle();
    quitWithEscape();
    EXPECT_EQ(server.query("SELECT count(*) FROM players;"), "1\n");
}

TEST_F(WorldE2E, ARecordLeftInTheOutboxWhileTheServerWasAwayArrivesAtTheNextStart) {
    const fs::path replay = fs::path(KVR_SOURCE_DIR) / "tests/corpus/replays/stage0.bin";
    fs::create_directories(dir / "outbox");
    const fs::path waiting = dir / "outbox" / "1700000000000-0000-s0.bin";
    fs::copy_file(replay, waiting);

    // Nothing listens on port 1: the game starts and plays as it would offline.
    dir.write("config.ini", onlineConfig("http://127.0.0.1:1"));
    startAtTitle();
    EXPECT_TRUE(waitUntil([&] { return fs::exists(dir / "player.key"); }));
    quitWithEscape();
    EXPECT_EQ(readFile(waiting), readFile(replay)) << "the record is kept whole while the server is away";

    WorldServer server(serverFiles / "server");
    ASSERT_TRUE(server.started()) << server.errors();
    restartAtTitle({"--score-server", server.url()});
    // The server plays the replay through before it answers.
    EXPECT_TRUE(waitUntil([&] { return countRecordsIn(dir / "outbox") == 0; }, std::chrono::seconds(90)))
        << server.errors();
    EXPECT_FALSE(fs::exists(dir / "outbox/refused")) << readFile(dir / "outbox/refused");
    quitWithEscape();

    const std::string verified = runCommand(std::string(KVR_BINARY_DIR) + "/kvr2013-verify --stage 0 --replay " +
                                            shellQuote(replay.string()));
    ASSERT_FALSE(scoreOf(verified).empty()) << verified;
    const std::string table = server.get("/api/v1/stages/0/scores");
    EXPECT_NE(table.find("\"player\":\"Ace\""), std::string::npos) << table;
    const std::string score = "\"score\":" + scoreOf(verified);
    EXPECT_TRUE(table.find(score + ",") != std::string::npos || table.find(score + "}") != std::string::npos)
        << table << verified;
    EXPECT_NE(table.find("\"live\":false"), std::string::npos) << "no start token came with it: " << table;
}

TEST_F(WorldE2E, AServerThatNeverAnswersSlowsNoFrameAndNotTheExit) {
    struct Played {
        FrameStats stats;
        std::chrono::milliseconds took{};
    };
    // Shorter than the link's 10 s read timeout: its first request is still
    // in flight when the frame loop ends.
    const std::vector<std::string> args = {"--frames", "300"};
    const Launch launch{.environment = {{"KVR_FRAME_STATS", "1"}}};
    const auto play = [&](const std::string& config) {
        dir.write("config.ini", config);
        fs::remove(dir / "run.log");
        const auto start = std::chrono::steady_clock::now();
        GameProcess run(dir, args, launch);
        const auto status = run.waitForExit(std::chrono::seconds(60));
        Played played;
        played.took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
        EXPECT_EQ(status, 0) << run.standardError();
        played.stats = frameStatsIn(run.standardError());
        return played;
    };
    const Played offline = play(kRecords);
    SilentServer silent;
    const Played online = play(onlineConfig(silent.url()));
    EXPECT_TRUE(silent.connected()) << "the game asked the server nothing";

    ASSERT_EQ(offline.stats.frames, 300) << "no frame-stats line from the game";
    EXPECT_EQ(online.stats.frames, offline.stats.frames);
    // A machine shared with other work makes some frames late either way.
    EXPECT_LE(online.stats.lateOver2Ms, offline.stats.lateOver2Ms + 30)
        << "late frames online " << online.stats.lateOver2Ms << ", offline " << offline.stats.lateOver2Ms;
    // The request in flight is given up at exit instead of waited for.
    EXPECT_LT(online.took, offline.took + std::chrono::seconds(3))
        << online.took.count() << " ms online, " << offline.took.count() << " ms offline";
}

}  // namespace

// The real game online with the real score server on 127.0.0.1: joining
// with real key presses, a record flown live reaching the world table with
// the verifier's score, the title's world line, the world table's WATCH and
// RACE; a config.ini set up by hand registering its name at start; a record
// flown while the server was away arriving at the next start; the server
// behind nginx with TLS, trusted only through the CA the game is given; and
// a whole live run beside a server that takes the connection and never
// answers keeping its frame pacing.
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
#include "ghost_view.h"
#include "screenshot.h"
#include "tls_front.h"
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

// The verifier's line for a replay of stage 0.
std::string verifierLineOf(const fs::path& replay) {
    std::string line = runCommand(std::string(KVR_BINARY_DIR) + "/kvr2013-verify --stage 0 --replay " +
                                  shellQuote(replay.string()));
    if (!line.empty() && line.back() == '\n') line.pop_back();
    return line;
}

// Whether a stage table's JSON holds an entry of that score.
bool holdsScore(const std::string& table, const std::string& score) {
    const std::string field = "\"score\":" + score;
    return table.find(field + ",") != std::string::npos || table.find(field + "}") != std::string::npos;
}

// ONLINE is the 14th row of the options screen.
constexpr int kOnlineRow = 13;

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
    // Z on the title flies stage 0; without input the craft falls. True
    // once its record is saved.
    bool flyARecord() {
        pressKey(window, "z");
        return waitUntil([&] { return configNumber(dir.read("config.ini"), "HI_SCORE1") > 0 && dir.exists("replay/replay_00.bin"); },
                         30s);
    }
    // Presses key until the title starts again (the results hold Z back for a while).
    bool pressUntilTitle(const std::string& key) {
        const int titles = countOf(game->runLog(), "TitleMain\n");
        for (int attempt = 0; attempt < 80; ++attempt) {
            if (countOf(game->runLog(), "TitleMain\n") > titles) return true;
            pressKey(window, key);
        }
        return countOf(game->runLog(), "TitleMain\n") > titles;
    }
    // Whether the title's world line, under the hi-score, reads text.
    bool titleShows(const std::string& text) {
        SDL_Surface* shown = takeScreenshot(dir, window);
        if (shown == nullptr) return false;
        const bool found = showsWhiteText(shown, text, 300, 66, 1);
        SDL_FreeSurface(shown);
        return found;
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

TEST_F(WorldE2E, ARecordFlownWhileTheServerWasAwayArrivesAtTheNextStart) {
    // Nothing listens on port 1: the game plays as it would offline and
    // keeps the record in its outbox.
    dir.write("config.ini", onlineConfig("http://127.0.0.1:1"));
    startAtTitle();
    ASSERT_TRUE(flyARecord()) << game->runLog();
    ASSERT_TRUE(waitUntil([&] { return countRecordsIn(dir / "outbox") == 1; })) << game->runLog();
    quitWithEscape();
    const std::string replay = dir.read("replay/replay_00.bin");
    fs::path kept;
    for (const auto& item : fs::directory_iterator(dir / "outbox")) {
        if (item.path().extension() == ".bin") kept = item.path();
    }
    EXPECT_EQ(readFile(kept), replay) << "the outbox keeps the record whole while the server is away";

    WorldServer server(serverFiles / "server");
    ASSERT_TRUE(server.started()) << server.errors();
    restartAtTitle({"--score-server", server.url()});
    // The server plays the replay through before it answers.
    EXPECT_TRUE(waitUntil([&] { return countRecordsIn(dir / "outbox") == 0; }, std::chrono::seconds(90)))
        << server.errors();
    EXPECT_FALSE(fs::exists(dir / "outbox/refused")) << readFile(dir / "outbox/refused");
    quitWithEscape();

    const std::string score = scoreOf(verifierLineOf(dir / "replay/replay_00.bin"));
    ASSERT_FALSE(score.empty());
    const std::string table = server.get("/api/v1/stages/0/scores");
    EXPECT_NE(table.find("\"player\":\"Ace\""), std::string::npos) << table;
    EXPECT_TRUE(holdsScore(table, score)) << table;
    EXPECT_NE(table.find("\"live\":false"), std::string::npos) << "its start token never came: " << table;
}

TEST_F(WorldE2E, JoinedWithRealKeysARecordIsOnTheTableLiveThenWatchedAndRaced) {
    WorldServer server(serverFiles / "server");
    ASSERT_TRUE(server.started()) << server.errors();
    // GHOST = 0: the only ghost a run can show is the one RACE asks for.
    dir.write("config.ini", kRecords + "GHOST = 0\nSCORE_SERVER = " + server.url() + "\n");
    startAtTitle();

    // Options, down to ONLINE, on: the name screen asks for a name first.
    pressKey(window, "o");
    ASSERT_TRUE(game->waitForLog("OptionsMain\n")) << game->runLog();
    for (int row = 0; row < kOnlineRow; ++row) pressKey(window, "Down");
    pressKey(window, "Return");
    for (const char* letter : {"a", "c", "e"}) pressKey(window, letter);
    pressKey(window, "Return");
    ASSERT_TRUE(game->waitForLog("Name screen: registering ace\n")) << game->runLog();
    EXPECT_TRUE(waitUntil([&] { return server.query("SELECT name FROM players;") == "ace\n"; })) << server.errors();
    EXPECT_TRUE(waitUntil([&] {
        const std::string config = dir.read("config.ini");
        return config.find("ONLINE = 1\n") != std::string::npos && config.find("PLAYER_NAME = ace\n") != std::string::npos;
    })) << dir.read("config.ini");
    ASSERT_TRUE(pressUntilTitle("x")) << game->runLog();

    // A record flown live: the server holds it with the verifier's score.
    ASSERT_TRUE(flyARecord()) << game->runLog();
    std::string table;
    ASSERT_TRUE(waitUntil([&] {
        table = server.get("/api/v1/stages/0/scores");
        return table.find("\"player\":\"ace\"") != std::string::npos;
    }, std::chrono::seconds(60))) << table << server.errors();
    const std::string verified = verifierLineOf(dir / "replay/replay_00.bin");
    const std::string score = scoreOf(verified);
    ASSERT_FALSE(score.empty()) << verified;
    EXPECT_TRUE(holdsScore(table, score)) << table << verified;
    EXPECT_NE(table.find("\"live\":true"), std::string::npos) << "its start token came with it: " << table;

    // The title's world line.
    ASSERT_TRUE(pressUntilTitle("z")) << game->runLog();
    EXPECT_TRUE(waitUntil([&] { return titleShows("WORLD #1 OF 1  BEST " + score); }))
        << "no world line; log: " << game->runLog();
    keepScreenshot(dir, "world_title.png");

    // W: the world table; its first row WATCHed plays to the results with the verifier's line.
    pressKey(window, "w");
    ASSERT_TRUE(game->waitForLog("WorldTableMain\n")) << game->runLog();
    SDL_Surface* shown = takeScreenshot(dir, window);
    ASSERT_NE(shown, nullptr);
    keepScreenshot(dir, "world_table.png");
    EXPECT_GT(litPixels(shown, 0, 60, 640, 120), 200) << "the table shows no row";
    SDL_FreeSurface(shown);
    pressKey(window, "Return");
    pressKey(window, "Return");
    ASSERT_TRUE(game->waitForLog("World table: watching ")) << game->runLog();
    ASSERT_TRUE(waitUntil([&] { return countOf(game->runLog(), "Theatre: results at frame") == 1; }, 60s))
        << game->runLog();
    EXPECT_NE(game->standardOutput().find(verified), std::string::npos) << game->standardOutput();
    ASSERT_TRUE(pressUntilTitle("x")) << game->runLog();

    // RACE: the next run flies beside the world entry's ghost.
    pressKey(window, "w");
    ASSERT_TRUE(waitUntil([&] { return countOf(game->runLog(), "WorldTableMain\n") == 2; })) << game->runLog();
    pressKey(window, "Return");
    pressKey(window, "Right");
    pressKey(window, "Return");
    ASSERT_TRUE(game->waitForLog("World table: racing ")) << game->runLog();
    std::string why;
    SDL_Surface* raced = pictureWithTheCraftsApart(*game, dir, window, &why);
    ASSERT_NE(raced, nullptr) << why;
    keepScreenshot(dir, "world_race.png");
    EXPECT_GT(ghostPixels(raced), 100) << "no world ghost on screen";
    SDL_FreeSurface(raced);
    quitWithEscape();
}

TEST_F(WorldE2E, BehindNginxWithTlsTheGameTrustsOnlyTheCaItIsGiven) {
    WorldServer server(serverFiles / "server");
    ASSERT_TRUE(server.started()) << server.errors();
    TlsFront front(serverFiles.path(), server.url());
    const auto configWith = [&](const fs::path& ca) {
        return onlineConfig(front.url()) + "SCORE_SERVER_CA = " + ca.string() + "\n";
    };

    dir.write("config.ini", configWith(front.strangerCaFile()));
    startAtTitle();
    EXPECT_TRUE(waitUntil([&] { return titleShows("WORLD: OFFLINE"); })) << game->runLog();
    EXPECT_EQ(server.query("SELECT count(*) FROM players;"), "0\n");
    quitWithEscape();

    dir.write("config.ini", configWith(front.caFile()));
    restartAtTitle();
    EXPECT_TRUE(waitUntil([&] { return server.query("SELECT name FROM players;") == "Ace\n"; })) << server.errors();
    EXPECT_TRUE(waitUntil([&] { return titleShows("WORLD: NO RUNS YET"); })) << game->runLog();
    quitWithEscape();
}

TEST_F(WorldE2E, AWholeLiveRunBesideAServerThatNeverAnswersKeepsItsPacingAndItsQuickExit) {
    struct Played {
        FrameStats stats;
        std::chrono::milliseconds exit{};
    };
    const Launch launch{.environment = {{"KVR_FRAME_STATS", "1"}}};
    // From the title through a whole run to its record, then Escape.
    const auto play = [&](const std::string& config, Played& played) {
        dir.write("config.ini", config);
        fs::remove_all(dir / "replay");
        fs::remove(dir / "run.log");
        ASSERT_NO_FATAL_FAILURE(startAtTitle({}, launch));
        ASSERT_TRUE(flyARecord()) << game->runLog();
        const auto start = std::chrono::steady_clock::now();
        quitWithEscape();
        played.exit = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
        played.stats = frameStatsIn(game->standardError());
    };
    Played offline, online;
    ASSERT_NO_FATAL_FAILURE(play(kRecords, offline));
    SilentServer silent;
    // The link's first request (the name) waits out its 10 s read timeout
    // while the run asks for a start token and sends its record.
    ASSERT_NO_FATAL_FAILURE(play(onlineConfig(silent.url()), online));
    EXPECT_TRUE(silent.connected()) << "the game asked the server nothing";

    std::printf("frames late by over 2 ms: offline %lld of %lld, online %lld of %lld; exit %lld ms, %lld ms\n",
                offline.stats.lateOver2Ms, offline.stats.frames, online.stats.lateOver2Ms, online.stats.frames,
                static_cast<long long>(offline.exit.count()), static_cast<long long>(online.exit.count()));
    ASSERT_GT(offline.stats.frames, 100) << "no frame-stats line from the game";
    ASSERT_GT(online.stats.frames, 100) << "no frame-stats line from the game";
    // A machine shared with other work makes some frames late either way.
    EXPECT_LE(online.stats.lateOver2Ms, offline.stats.lateOver2Ms + 30)
        << "late frames online " << online.stats.lateOver2Ms << " of " << online.stats.frames << ", offline "
        << offline.stats.lateOver2Ms << " of " << offline.stats.frames;
    // The request in flight is given up at exit instead of waited for.
    EXPECT_LT(online.exit, offline.exit + std::chrono::seconds(3))
        << online.exit.count() << " ms online, " << offline.exit.count() << " ms offline";
    EXPECT_EQ(countRecordsIn(dir / "outbox"), 1) << "the record waits in the outbox";
}

}  // namespace

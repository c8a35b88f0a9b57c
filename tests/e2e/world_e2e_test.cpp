// The real game online with the real score server on 127.0.0.1: a
// config.ini set up by hand registers its name at start, and a record left
// in the outbox while the server was away reaches the world table at the
// next start, with the score the verifier gives its replay.
#include <gtest/gtest.h>
#include <sys/stat.h>

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

}  // namespace

// The threaded link over the real libcurl transport: a server that takes
// the connection and never answers holds up neither the scenes' calls nor
// the game's exit.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

#include "fake_server.h"
#include "worldlink/world_link.h"

using namespace worldlink;
using namespace worldlink_test;
using namespace std::chrono_literals;

namespace {

// A loopback port whose connections the kernel completes and nobody answers.
struct SilentServer {
    SilentServer() {
        fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && ::listen(fd, 8) == 0 &&
            ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
            port = ntohs(address.sin_port);
        }
    }
    ~SilentServer() {
        if (client >= 0) ::close(client);
        ::close(fd);
    }
    // True once a client has connected (its connection then stays open, unanswered).
    bool waitForClient(std::chrono::milliseconds timeout) {
        pollfd wanted{fd, POLLIN, 0};
        if (::poll(&wanted, 1, static_cast<int>(timeout.count())) != 1) return false;
        client = ::accept(fd, nullptr, nullptr);
        return client >= 0;
    }
    int fd = -1, client = -1;
    unsigned short port = 0;
};

template <typename F>
std::chrono::milliseconds timeOf(F&& f) {
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
}

TEST(WorldLink, AServerThatNeverAnswersHoldsUpNoCallAndNotTheExit) {
    SilentServer silent;
    ASSERT_NE(silent.port, 0);
    TempDir dir;
    LinkSettings settings;
    settings.serverUrl = "http://127.0.0.1:" + std::to_string(silent.port);
    settings.dataDir = dir.path.string();
    settings.online = true;
    settings.playerName = "Ace";
    auto link = makeWorldLink(settings);
    // The name is being registered, and the request hangs.
    ASSERT_TRUE(silent.waitForClient(5s));
    EXPECT_EQ(link->reach(), world::Reach::Joining);

    const auto calls = timeOf([&] {
        for (int frame = 0; frame < 100; ++frame) {
            link->refreshStage(1);
            link->beginLiveRun(1);
            (void)link->standing(1);
            (void)link->reach();
            (void)link->table(1);
        }
        link->registerName("Bea");
    });
    EXPECT_LT(calls, 100ms);
    EXPECT_EQ(link->nameAnswer(), world::NameAnswer::Pending);

    const auto exit = timeOf([&] { link.reset(); });
    EXPECT_LT(exit, 2500ms);
}

TEST(WorldLink, WithOnlineOffNothingIsAskedAndTheReachIsOff) {
    SilentServer silent;
    TempDir dir;
    LinkSettings settings;
    settings.serverUrl = "http://127.0.0.1:" + std::to_string(silent.port);
    settings.dataDir = dir.path.string();
    settings.playerName = "Ace";
    auto link = makeWorldLink(settings);
    link->refreshStage(0);
    link->beginLiveRun(0);
    EXPECT_TRUE(link->sendRecord(0, writeReplay(dir, "replay_00.bin", 2)));
    EXPECT_FALSE(silent.waitForClient(300ms));
    EXPECT_EQ(link->reach(), world::Reach::Off);
    EXPECT_FALSE(std::filesystem::exists(dir.path / "player.key"));
    EXPECT_FALSE(std::filesystem::exists(dir.path / "outbox"));
}

}  // namespace

// The world service the game installs when a score server is set: the
// scenes' calls only put a job on the link's queue or read the latest
// answers, and one worker thread of the link's own does every exchange with
// the server, so no frame ever waits for the network. The worker also sends
// the outbox at start, every few minutes after, and again after a wait the
// server asked for. Destroying the link stops a transfer in flight and
// joins the worker within about a second.
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

#include "scoreclient/http_transport.h"
#include "world/world_service.h"
#include "worldlink/world_exchange.h"

namespace worldlink {

struct LinkSettings {
    std::string serverUrl;
    std::string caFile;   // "" : the system's CAs
    std::string dataDir;  // "" : the working directory
    bool online = false;  // ONLINE in the options
    std::string playerName;
};

class WorldLink final : public world::WorldService {
public:
    // The transports stay the link's; they must give up their transfer when
    // *stopping() becomes true (the real ones are told so by makeWorldLink).
    WorldLink(const LinkSettings& settings, std::unique_ptr<scoreclient::HttpTransport> reads,
              std::unique_ptr<scoreclient::HttpTransport> submissions, LinkTime time = realLinkTime());
    ~WorldLink() override;
    WorldLink(const WorldLink&) = delete;
    WorldLink& operator=(const WorldLink&) = delete;

    const std::atomic<bool>* stopping() const { return &stopping_; }
    // Starts the worker; with ONLINE on it registers the name and sends the outbox first.
    void start();

    world::Reach reach() const override { return exchange_.reach(); }
    std::string playerName() const override { return exchange_.playerName(); }
    void refreshStage(int stage) override;
    std::optional<world::WorldStanding> standing(int stage) const override { return exchange_.standing(stage); }
    std::optional<world::WorldTable> table(int stage) const override { return exchange_.table(stage); }
    std::optional<world::WorldEntry> entryAbovePlayer(int stage) const override {
        return exchange_.entryAbovePlayer(stage);
    }
    std::optional<world::WorldEntry> worldBest(int stage) const override { return exchange_.worldBest(stage); }
    void registerName(const std::string& name) override;
    void turnOff() override;
    world::NameAnswer nameAnswer() const override { return exchange_.nameAnswer(); }
    std::string nameMessage() const override { return exchange_.nameMessage(); }
    void beginLiveRun(int stage) override;
    bool sendRecord(int stage, const std::string& replayFile) override;
    std::optional<int> lastRecordRank() const override { return exchange_.lastRecordRank(); }
    void fetchReplay(const world::WorldEntry& entry, int stage) override;
    std::optional<world::CachedReplay> cachedReplay(const std::string& runId) const override {
        return exchange_.cachedReplay(runId);
    }

private:
    struct Job {
        enum class Kind { CatchUp, Register, Token, Refresh, Fetch } kind;
        int stage = 0;
        int serial = 0;
        world::WorldEntry entry{};
        bool operator==(const Job& other) const {
            return kind == other.kind && stage == other.stage && serial == other.serial &&
                   entry.runId == other.entry.runId;
        }
    };
    void enqueue(Job job);
    void work();
    void run(const Job& job);

    std::unique_ptr<scoreclient::HttpTransport> reads_, submissions_;
    LinkTime time_;
    WorldExchange exchange_;
    std::atomic<bool> stopping_{false};
    std::mutex queueMutex_;
    std::condition_variable wake_;
    std::deque<Job> queue_;
    std::thread worker_;
};

// The link over libcurl: reads connect within 2 s and end within 10 s, a
// submission (which waits for the server's verification) within 30 s.
std::unique_ptr<WorldLink> makeWorldLink(const LinkSettings& settings);

}  // namespace worldlink

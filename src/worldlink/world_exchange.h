// The world link's steps, each one or a few HTTP exchanges done to the end
// on the calling thread (the link's worker), and the answers they leave for
// the scenes, read under a mutex from any thread. Nothing here throws: every
// failure of the network or of the server is an answer (Reach::Offline).
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "scoreclient/http_transport.h"
#include "scoreproto/request_signature.h"
#include "world/world_service.h"
#include "worldlink/outbox.h"
#include "worldlink/stage_view.h"

namespace worldlink {

using Clock = std::chrono::steady_clock;

struct LinkPlaces {
    std::string serverUrl;  // "http://host:port", no trailing '/'
    std::string dataDir;    // "" is the working directory
};

struct LinkTime {
    std::function<long long()> unixMillis;  // signatures and outbox names
    std::function<Clock::time_point()> now;   // waits between tries
};
LinkTime realLinkTime();

class WorldExchange {
public:
    // reads: short timeouts; submissions: long enough for a verification.
    WorldExchange(LinkPlaces places, scoreclient::HttpTransport& reads, scoreclient::HttpTransport& submissions,
                  LinkTime time);

    std::string keyFile() const;
    const Outbox& outbox() const { return outbox_; }

    // --- the scene thread's side: quick, never on the network
    // ONLINE on with this name (from the options, or the name screen).
    void wantOnline(const std::string& name);
    void turnOff();
    bool wanted() const;
    // A live run's countdown: forget any older token of the stage; the
    // returned number goes with the request for the new one.
    int forgetToken(int stage);
    // The record's durable copy in the outbox, with the stage's token if it came.
    bool keepRecord(int stage, const std::string& replayFile);

    // --- the worker's side
    // Registers the wanted name (making the key first when there is none).
    void registerWanted();
    void requestToken(int stage, int serial);
    // Sends the waiting records, oldest first, until one has to wait; nothing
    // before the time a failed try set.
    void sendOutbox();
    void refresh(int stage);
    void fetch(const world::WorldEntry& entry, int stage);
    // When the outbox may next be tried, after a try that had to wait.
    std::optional<Clock::time_point> retryAt() const;
    // A pass as the periodic one makes, once any wait is over: register if
    // not yet, then the outbox.
    void catchUp();

    // --- answers, from any thread
    world::Reach reach() const;
    std::string playerName() const;
    world::NameAnswer nameAnswer() const;
    std::string nameMessage() const;
    std::optional<world::WorldStanding> standing(int stage) const;
    std::optional<world::WorldTable> table(int stage) const;
    std::optional<world::WorldEntry> entryAbovePlayer(int stage) const;
    std::optional<world::WorldEntry> worldBest(int stage) const;
    std::optional<int> lastRecordRank() const;
    std::optional<world::CachedReplay> cachedReplay(const std::string& runId) const;

private:
    bool ensureKey();
    std::optional<scoreclient::HttpResponse> post(scoreclient::HttpTransport& transport, const std::string& path,
                                                  const std::string& body, const std::string& contentType);
    std::optional<scoreclient::HttpResponse> get(const std::string& path);
    void setReach(world::Reach reach);
    bool mustStillWait() const;
    void mustWait(const std::string& retryAfter);
    std::string cacheFile(const std::string& runId, int stage) const;

    LinkPlaces places_;
    scoreclient::HttpTransport& reads_;
    scoreclient::HttpTransport& submissions_;
    LinkTime time_;
    Outbox outbox_;
    std::optional<scoreproto::PlayerKey> key_;  // the worker's alone

    mutable std::mutex mutex_;  // everything below
    bool wanted_ = false;
    bool registered_ = false;
    std::string wantedName_, playerName_;
    world::Reach reach_ = world::Reach::Off;
    world::NameAnswer nameAnswer_ = world::NameAnswer::None;
    std::string nameMessage_;
    std::map<int, StageView> stages_;
    std::map<int, std::string> tokens_;
    std::map<int, int> tokenSerials_;
    std::string lastRecord_;  // the outbox name of the record last kept
    std::string lastRunId_;   // its run once the server took it
    int lastRunStage_ = -1;
    std::optional<int> lastRecordRank_;
    std::map<std::string, world::CachedReplay> cached_;
    std::optional<Clock::time_point> retryAt_;
    int failures_ = 0;
};

}  // namespace worldlink

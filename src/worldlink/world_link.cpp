#include "worldlink/world_link.h"

#include <pthread.h>
#include <signal.h>

#include <algorithm>

#include "scoreclient/curl_transport.h"

namespace worldlink {

namespace {

// Between two sends of the outbox when nothing asked for one sooner.
constexpr std::chrono::minutes kOutboxPeriod{3};

}  // namespace

WorldLink::WorldLink(const LinkSettings& settings, std::unique_ptr<scoreclient::HttpTransport> reads,
                     std::unique_ptr<scoreclient::HttpTransport> submissions, LinkTime time)
    : reads_(std::move(reads)),
      submissions_(std::move(submissions)),
      time_(time),
      exchange_({settings.serverUrl, settings.dataDir}, *reads_, *submissions_, std::move(time)) {
    if (settings.online && !settings.playerName.empty()) exchange_.wantOnline(settings.playerName);
}

WorldLink::~WorldLink() {
    {
        std::lock_guard lock(queueMutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (worker_.joinable()) worker_.join();
}

void WorldLink::start() {
    if (worker_.joinable()) return;
    enqueue({Job::Kind::CatchUp});
    worker_ = std::thread([this] { work(); });
}

void WorldLink::enqueue(Job job) {
    {
        std::lock_guard lock(queueMutex_);
        // A screen asking every frame still costs one exchange.
        if (std::find(queue_.begin(), queue_.end(), job) != queue_.end()) return;
        queue_.push_back(std::move(job));
    }
    wake_.notify_one();
}

void WorldLink::refreshStage(int stage) {
    if (exchange_.wanted()) enqueue({Job::Kind::Refresh, stage});
}

void WorldLink::registerName(const std::string& name) {
    exchange_.wantOnline(name);
    enqueue({Job::Kind::Register});
}

void WorldLink::turnOff() {
    exchange_.turnOff();
    std::lock_guard lock(queueMutex_);
    queue_.clear();
}

void WorldLink::beginLiveRun(int stage) {
    const int serial = exchange_.forgetToken(stage);
    if (exchange_.wanted()) enqueue({Job::Kind::Token, stage, serial});
}

bool WorldLink::sendRecord(int stage, const std::string& replayFile) {
    const bool kept = exchange_.keepRecord(stage, replayFile);
    if (exchange_.wanted()) enqueue({Job::Kind::CatchUp});
    return kept;
}

void WorldLink::fetchReplay(const world::WorldEntry& entry, int stage) {
    enqueue({Job::Kind::Fetch, stage, 0, entry});
}

void WorldLink::run(const Job& job) {
    switch (job.kind) {
        case Job::Kind::CatchUp: exchange_.catchUp(); break;
        case Job::Kind::Register:
            exchange_.registerWanted();
            exchange_.sendOutbox();
            break;
        case Job::Kind::Token: exchange_.requestToken(job.stage, job.serial); break;
        case Job::Kind::Refresh: exchange_.refresh(job.stage); break;
        case Job::Kind::Fetch: exchange_.fetch(job.entry, job.stage); break;
    }
}

void WorldLink::work() {
    // A server that closes its end while TLS still writes raises SIGPIPE in
    // the writing thread, which would end the game: here it stays pending
    // and the write fails, which is an answer like any other failure.
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
    Clock::time_point nextPass = time_.now() + kOutboxPeriod;
    while (true) {
        Job job{Job::Kind::CatchUp};
        {
            std::unique_lock lock(queueMutex_);
            while (!stopping_ && queue_.empty()) {
                Clock::time_point due = nextPass;
                if (auto retry = exchange_.retryAt()) due = std::min(due, *retry);
                if (time_.now() >= due) break;
                wake_.wait_until(lock, due);
            }
            if (stopping_) return;
            if (!queue_.empty()) {
                job = queue_.front();
                queue_.pop_front();
            } else {
                nextPass = time_.now() + kOutboxPeriod;
            }
        }
        run(job);
    }
}

std::unique_ptr<WorldLink> makeWorldLink(const LinkSettings& settings) {
    auto reads = std::make_unique<scoreclient::CurlTransport>(
        scoreclient::HttpTimeouts{.connectMillis = 2000, .totalMillis = 10000}, settings.caFile);
    auto submissions = std::make_unique<scoreclient::CurlTransport>(
        scoreclient::HttpTimeouts{.connectMillis = 2000, .totalMillis = 30000}, settings.caFile);
    scoreclient::CurlTransport* readsTransport = reads.get();
    scoreclient::CurlTransport* submissionsTransport = submissions.get();
    auto link = std::make_unique<WorldLink>(settings, std::move(reads), std::move(submissions));
    readsTransport->abandonWhen(link->stopping());
    submissionsTransport->abandonWhen(link->stopping());
    link->start();
    return link;
}

}  // namespace worldlink

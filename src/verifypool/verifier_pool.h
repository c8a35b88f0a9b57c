// The verifications of a server: a fixed number of worker threads, each
// running one verifier child at a time, behind a bounded queue. When the
// queue is full a submission is refused at once (the server answers 503 with
// Retry-After) rather than waiting without bound.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "verifypool/verify_replay.h"

namespace verifypool {

class VerifierPool {
public:
    // workers 0: one per core (std::thread::hardware_concurrency()).
    VerifierPool(std::string verifierPath, unsigned workers, std::size_t queueCapacity, VerifyLimits limits);
    // Plays every job already accepted (queued or in flight), then joins: a
    // request that was promised an answer gets one.
    ~VerifierPool();
    VerifierPool(const VerifierPool&) = delete;
    VerifierPool& operator=(const VerifierPool&) = delete;

    // false at once when the queue is full; otherwise `done` runs on a worker thread later.
    bool submit(int stage, std::string replayBytes, std::function<void(VerifyOutcome)> done);
    std::size_t queueDepth() const;  // accepted, not yet started
    std::size_t inFlight() const;    // being played now
    unsigned workerCount() const { return static_cast<unsigned>(workers_.size()); }

private:
    struct Job {
        int stage = 0;
        std::string replayBytes;
        std::function<void(VerifyOutcome)> done;
    };
    void work();

    const std::string verifierPath_;
    const std::size_t queueCapacity_;
    const VerifyLimits limits_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Job> queue_;
    std::size_t inFlight_ = 0;
    bool stopping_ = false;
    std::vector<std::thread> workers_;
};

}  // namespace verifypool

#include "verifypool/verifier_pool.h"

#include <cstdio>
#include <exception>

namespace verifypool {

VerifierPool::VerifierPool(std::string verifierPath, unsigned workers, std::size_t queueCapacity, VerifyLimits limits)
    : verifierPath_(std::move(verifierPath)), queueCapacity_(queueCapacity), limits_(limits) {
    if (workers == 0) workers = std::max(1u, std::thread::hardware_concurrency());
    workers_.reserve(workers);
    for (unsigned i = 0; i < workers; ++i) workers_.emplace_back([this] { work(); });
}

VerifierPool::~VerifierPool() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    for (auto& worker : workers_) worker.join();
}

bool VerifierPool::submit(int stage, std::string replayBytes, std::function<void(VerifyOutcome)> done) {
    {
        const std::lock_guard lock(mutex_);
        if (stopping_ || queue_.size() >= queueCapacity_) return false;
        queue_.push_back(Job{stage, std::move(replayBytes), std::move(done)});
    }
    wake_.notify_one();
    return true;
}

std::size_t VerifierPool::queueDepth() const {
    const std::lock_guard lock(mutex_);
    return queue_.size();
}

std::size_t VerifierPool::inFlight() const {
    const std::lock_guard lock(mutex_);
    return inFlight_;
}

void VerifierPool::work() {
    for (;;) {
        Job job;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (queue_.empty()) return;  // stopping, and nothing left to play
            job = std::move(queue_.front());
            queue_.pop_front();
            ++inFlight_;
        }
        VerifyOutcome outcome = verifyReplay(verifierPath_, job.stage, job.replayBytes, limits_);
        {
            const std::lock_guard lock(mutex_);
            --inFlight_;
        }
        try {
            job.done(std::move(outcome));
        } catch (const std::exception& error) {
            // A failing answer must not take a worker down with it.
            std::fprintf(stderr, "verifier pool: a finished job's handler threw: %s\n", error.what());
        }
    }
}

}  // namespace verifypool

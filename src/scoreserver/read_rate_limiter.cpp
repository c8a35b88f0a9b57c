#include "scoreserver/read_rate_limiter.h"

#include <algorithm>

namespace scoreserver {

bool ReadRateLimiter::take(const std::string& address, std::int64_t nowMs, double& retryAfterSeconds) {
    std::lock_guard lock(mutex_);
    // Full buckets say nothing: forget them now and then so the map stays small.
    if (nowMs - lastSweepMs_ > 60000) {
        std::erase_if(buckets_, [&](const auto& entry) {
            const Bucket& b = entry.second;
            return b.tokens + static_cast<double>(nowMs - b.updatedMs) * perMilli_ >= capacity_;
        });
        lastSweepMs_ = nowMs;
    }
    auto [it, added] = buckets_.try_emplace(address, Bucket{capacity_, nowMs});
    Bucket& bucket = it->second;
    if (nowMs > bucket.updatedMs) {
        bucket.tokens = std::min(capacity_, bucket.tokens + static_cast<double>(nowMs - bucket.updatedMs) * perMilli_);
        bucket.updatedMs = nowMs;
    }
    if (bucket.tokens >= 1) {
        bucket.tokens -= 1;
        return true;
    }
    retryAfterSeconds = perMilli_ > 0 ? (1 - bucket.tokens) / perMilli_ / 1000.0 : 60.0;
    return false;
}

}  // namespace scoreserver

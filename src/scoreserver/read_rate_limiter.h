// Token buckets for reads, one per client address, kept in this process:
// a read costs the server less than the database write a shared bucket
// would take, so with several processes an address may read that many
// times more. Submissions are limited in the database instead.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_map>

namespace scoreserver {

class ReadRateLimiter {
public:
    ReadRateLimiter(double perMinute, double capacity) : perMilli_(perMinute / 60000.0), capacity_(capacity) {}
    // True when a token was taken; otherwise retryAfterSeconds says when one will be there.
    bool take(const std::string& address, std::int64_t nowMs, double& retryAfterSeconds);

private:
    struct Bucket {
        double tokens;
        std::int64_t updatedMs;
    };
    double perMilli_, capacity_;
    std::mutex mutex_;
    std::unordered_map<std::string, Bucket> buckets_;
    std::int64_t lastSweepMs_ = 0;
};

}  // namespace scoreserver

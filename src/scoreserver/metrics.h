// What /metrics reports, in the Prometheus text format: requests by route
// and status, verifications by outcome, the verification queue, and how
// long requests and verifications take.
#pragma once

#include <array>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <utility>

namespace scoreserver {

// Cumulative buckets in seconds, each with its count of observations.
class LatencyHistogram {
public:
    static constexpr std::array<double, 12> kBounds = {0.001, 0.0025, 0.005, 0.01, 0.025, 0.05,
                                                       0.1,   0.25,   0.5,   1.0,  2.5,   10.0};
    void observe(double seconds);
    void render(std::string& out, const std::string& name) const;

private:
    std::array<unsigned long long, kBounds.size()> counts_{};
    unsigned long long total_ = 0;
    double sum_ = 0;
};

class Metrics {
public:
    void countRequest(const std::string& route, int status, double seconds);
    void countVerification(const std::string& outcome, double seconds);
    // gauges are read when the page is rendered: queue depth and jobs in flight
    std::string render(const std::function<std::pair<std::size_t, std::size_t>()>& queue) const;

private:
    mutable std::mutex mutex_;
    std::map<std::pair<std::string, int>, unsigned long long> requests_;
    std::map<std::string, unsigned long long> verifications_;
    LatencyHistogram requestSeconds_, verificationSeconds_;
};

}  // namespace scoreserver

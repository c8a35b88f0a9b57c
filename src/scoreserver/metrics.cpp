#include "scoreserver/metrics.h"

#include <cstdio>

namespace scoreserver {

namespace {
std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}
}  // namespace

void LatencyHistogram::observe(double seconds) {
    for (std::size_t i = 0; i < kBounds.size(); ++i) {
        if (seconds <= kBounds[i]) ++counts_[i];
    }
    ++total_;
    sum_ += seconds;
}

void LatencyHistogram::render(std::string& out, const std::string& name) const {
    out += "# TYPE " + name + " histogram\n";
    for (std::size_t i = 0; i < kBounds.size(); ++i) {
        out += name + "_bucket{le=\"" + number(kBounds[i]) + "\"} " + std::to_string(counts_[i]) + "\n";
    }
    out += name + "_bucket{le=\"+Inf\"} " + std::to_string(total_) + "\n";
    out += name + "_sum " + number(sum_) + "\n";
    out += name + "_count " + std::to_string(total_) + "\n";
}

void Metrics::countRequest(const std::string& route, int status, double seconds) {
    std::lock_guard lock(mutex_);
    ++requests_[{route, status}];
    requestSeconds_.observe(seconds);
}

void Metrics::countVerification(const std::string& outcome, double seconds) {
    std::lock_guard lock(mutex_);
    ++verifications_[outcome];
    verificationSeconds_.observe(seconds);
}

std::string Metrics::render(const std::function<std::pair<std::size_t, std::size_t>()>& queue) const {
    auto [depth, inFlight] = queue();
    std::lock_guard lock(mutex_);
    std::string out;
    out += "# TYPE kvr_scores_requests_total counter\n";
    for (const auto& [key, count] : requests_) {
        out += "kvr_scores_requests_total{route=\"" + key.first + "\",status=\"" + std::to_string(key.second) +
               "\"} " + std::to_string(count) + "\n";
    }
    requestSeconds_.render(out, "kvr_scores_request_duration_seconds");
    out += "# TYPE kvr_scores_verifications_total counter\n";
    for (const auto& [outcome, count] : verifications_) {
        out += "kvr_scores_verifications_total{outcome=\"" + outcome + "\"} " + std::to_string(count) + "\n";
    }
    verificationSeconds_.render(out, "kvr_scores_verification_duration_seconds");
    out += "# TYPE kvr_scores_verify_queue_depth gauge\nkvr_scores_verify_queue_depth " + std::to_string(depth) + "\n";
    out += "# TYPE kvr_scores_verify_in_flight gauge\nkvr_scores_verify_in_flight " + std::to_string(inFlight) + "\n";
    return out;
}

}  // namespace scoreserver

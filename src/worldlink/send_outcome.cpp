#include "worldlink/send_outcome.h"

#include <algorithm>
#include <charconv>

#include "worldlink/server_answers.h"

namespace worldlink {

namespace {

constexpr std::chrono::seconds kFirstWait{5}, kLongestBackOff{300};
// A Retry-After past this is not believed: the outbox is tried within the hour.
constexpr std::chrono::seconds kLongestRetryAfter{3600};

}  // namespace

SendOutcome submissionOutcome(const scoreclient::HttpResponse& response) {
    const long status = response.status;
    if (status == 200 || status == 201) {
        // "Taken" with no run in the answer is not an answer: the record stays.
        return readAcceptedRunId(response.body) ? SendOutcome::Taken : SendOutcome::Offline;
    }
    if (status == 408 || status == 429) return SendOutcome::Later;
    if (status >= 400 && status < 500) return SendOutcome::Refused;
    return SendOutcome::Offline;
}

std::chrono::seconds retryWait(int failures, const std::string& retryAfter) {
    std::chrono::seconds wait = kFirstWait;
    for (int i = 1; i < failures && wait < kLongestBackOff; ++i) wait *= 2;
    wait = std::min(wait, kLongestBackOff);
    long seconds = 0;
    const auto [end, error] = std::from_chars(retryAfter.data(), retryAfter.data() + retryAfter.size(), seconds);
    if (!retryAfter.empty() && error == std::errc() && end == retryAfter.data() + retryAfter.size() && seconds > 0) {
        wait = std::max(wait, std::min(std::chrono::seconds(seconds), kLongestRetryAfter));
    }
    return wait;
}

}  // namespace worldlink

// What one answer of the server means for a record in the outbox, and how
// long to wait before the next try when it must wait.
#pragma once

#include <chrono>
#include <string>

#include "scoreclient/http_transport.h"

namespace worldlink {

enum class SendOutcome {
    Taken,    // 201 or 200 with the run: the record leaves the outbox
    Refused,  // a 4xx the record will always get: moved to refused/
    Later,    // the server is there but busy (408, 429): kept, tried again after a wait
    Offline,  // no answer, 5xx, or an answer that is not one: kept, tried again after a wait
};

SendOutcome submissionOutcome(const scoreclient::HttpResponse& response);

// The wait after `failures` tries in a row that had to wait: doubling from a
// few seconds to a few minutes, and never shorter than the server's
// Retry-After (whole seconds) when it gave one.
std::chrono::seconds retryWait(int failures, const std::string& retryAfter);

}  // namespace worldlink

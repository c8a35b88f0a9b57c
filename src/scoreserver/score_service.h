// The score server's routes: registration, start tokens and submissions
// (signed), the stage tables, entries and their replays, the web page,
// health and metrics. Submissions are played again on the verifier pool;
// the service decides the score from what the verifier says, never from
// the client.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "scoredb/score_store.h"
#include "scoreserver/http_message.h"
#include "scoreserver/metrics.h"
#include "scoreserver/read_rate_limiter.h"
#include "scoreserver/table_cache.h"

namespace verifypool {
class VerifierPool;
}

namespace scoreserver {

struct ServiceOptions {
    double submissionsPerMinute = 6;  // per player key and per address, in the database
    double submissionBurst = 6;
    double readsPerMinute = 600;  // per address, in this process
    double readBurst = 600;
    std::string webDir;  // static files served besides the API, when set
    // The address of a proxy (nginx) whose X-Real-IP header names the client;
    // from anyone else that header is ignored.
    std::string trustedProxy;
};

// A run counts as live when its start token was issued at least as long
// before the submission arrived as the run takes at 16 ms a frame, less 2 %.
bool isLiveRun(int frames, std::int64_t tokenIssuedMs, std::int64_t arrivalMs);

class ScoreService {
public:
    ScoreService(scoredb::ScoreStore& store, verifypool::VerifierPool& pool, ServiceOptions options);
    void handle(HttpRequest request, Reply reply);
    // Counts a request the listener refused before it reached the service.
    void countRefusal(int status);

private:
    struct Route;
    HttpResponse route(const HttpRequest& request, const std::string& path, const std::string& query,
                       std::string& label, const Reply& reply, bool& answered);
    HttpResponse registerPlayer(const HttpRequest& request);
    HttpResponse startRun(const HttpRequest& request);
    HttpResponse submitRun(const HttpRequest& request, const std::string& query, const Reply& reply, bool& answered);
    HttpResponse stageScores(int stage, const std::string& query);
    HttpResponse around(int stage, const std::string& player);
    HttpResponse runEntry(const std::string& id, bool replay);
    HttpResponse page();
    HttpResponse staticFile(const std::string& path);
    void forgetOldNonces(std::int64_t nowMs);

    scoredb::ScoreStore& store_;
    verifypool::VerifierPool& pool_;
    ServiceOptions options_;
    Metrics metrics_;
    ReadRateLimiter reads_;
    TableCache tables_{std::chrono::milliseconds(1000)};
    std::atomic<std::int64_t> noncesSweptMs_{0};
};

}  // namespace scoreserver

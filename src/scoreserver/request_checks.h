// What the service decides about a request from the request alone, before
// it asks the database or the verifier: which route it names, and the
// refusals a submission earns by its query, its type and its size.
#pragma once

#include <optional>
#include <string>

#include "scoreserver/http_message.h"

namespace scoreserver {

HttpResponse errorResponse(int status, const std::string& message);  // {"error": message}

enum class RouteKind {
    Health, Metrics, Page, RegisterPlayer, StartRun, SubmitRun,
    StageScores, StageAround, Run, RunReplay, Static, NotFound,
};

struct RouteMatch {
    RouteKind kind = RouteKind::NotFound;
    std::string label;  // the metrics' name for it
    int stage = 0;      // StageScores, StageAround
    std::string name;   // the player (StageAround) or the run id (Run, RunReplay), unchecked
    std::optional<HttpResponse> refusal;  // a wrong method or stage: answered as it is
};

// servesStatic: the service has a web directory, so other GETs look there.
RouteMatch matchRoute(const std::string& method, const std::string& path, bool servesStatic);

// A submission's stage from its query and its content type, checked before
// its signature; sets stage when there is no refusal.
std::optional<HttpResponse> refuseSubmissionHeaders(const HttpRequest& request, const std::string& query, int& stage);
// A submission's body that cannot be a replay, checked before it is played.
std::optional<HttpResponse> refuseReplayShape(const std::string& body);

}  // namespace scoreserver

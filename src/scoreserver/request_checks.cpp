#include "scoreserver/request_checks.h"

#include <vector>

#include "scoreproto/replay_shape.h"
#include "scoreserver/request_target.h"
#include "scoreserver/run_views.h"

namespace scoreserver {
namespace {

RouteMatch matched(RouteKind kind, std::string label) { return {kind, std::move(label), 0, {}, std::nullopt}; }

RouteMatch refused(RouteMatch match, int status, const std::string& message) {
    match.refusal = errorResponse(status, message);
    return match;
}

RouteMatch onlyFor(bool methodFits, RouteKind kind, std::string label) {
    RouteMatch match = matched(kind, std::move(label));
    return methodFits ? match : refused(std::move(match), 405, "method not allowed");
}

}  // namespace

HttpResponse errorResponse(int status, const std::string& message) {
    return {status, "application/json", errorJson(message), {}};
}

RouteMatch matchRoute(const std::string& method, const std::string& path, bool servesStatic) {
    const bool get = method == "GET";
    const bool post = method == "POST";
    if (path == "/healthz") return matched(RouteKind::Health, "healthz");
    if (path == "/metrics") return matched(RouteKind::Metrics, "metrics");
    if (path == "/") return onlyFor(get, RouteKind::Page, "page");
    std::vector<std::string> parts = parseRequestTarget(path).segments;
    if (parts.size() >= 2 && parts[0] == "api" && parts[1] == "v1") {
        parts.erase(parts.begin(), parts.begin() + 2);
        if (parts.size() == 1 && parts[0] == "players") return onlyFor(post, RouteKind::RegisterPlayer, "players");
        if (parts.size() == 2 && parts[0] == "runs" && parts[1] == "start") {
            return onlyFor(post, RouteKind::StartRun, "runs_start");
        }
        if (parts.size() == 1 && parts[0] == "runs") return onlyFor(post, RouteKind::SubmitRun, "runs_submit");
        if (parts.size() >= 3 && parts[0] == "stages" && parts[2] == "scores") {
            RouteMatch match;
            if (parts.size() == 3) {
                match = onlyFor(get, RouteKind::StageScores, "stage_scores");
            } else if (parts.size() == 5 && parts[3] == "around") {
                match = onlyFor(get, RouteKind::StageAround, "stage_around");
                match.name = parts[4];
            }
            if (!match.label.empty()) {
                if (!match.refusal && !parseStageNumber(parts[1], match.stage)) {
                    return refused(std::move(match), 400, "the stage must be 0 to 3");
                }
                return match;
            }
        }
        if (parts.size() == 2 && parts[0] == "runs") {
            RouteMatch match = onlyFor(get, RouteKind::Run, "run");
            match.name = parts[1];
            return match;
        }
        if (parts.size() == 3 && parts[0] == "runs" && parts[2] == "replay") {
            RouteMatch match = onlyFor(get, RouteKind::RunReplay, "run_replay");
            match.name = parts[1];
            return match;
        }
        return refused(matched(RouteKind::NotFound, "not_found"), 404, "no such resource");
    }
    if (servesStatic && get) return matched(RouteKind::Static, "static");
    return refused(matched(RouteKind::NotFound, "not_found"), 404, "no such resource");
}

std::optional<HttpResponse> refuseSubmissionHeaders(const HttpRequest& request, const std::string& query, int& stage) {
    if (!parseStageNumber(queryValue(query, "stage"), stage)) return errorResponse(400, "the stage must be 0 to 3");
    if (request.header("content-type").substr(0, 24) != "application/octet-stream") {
        return errorResponse(415, "a replay is sent as application/octet-stream");
    }
    return std::nullopt;
}

std::optional<HttpResponse> refuseReplayShape(const std::string& body) {
    switch (scoreproto::checkReplayShape(body.size())) {
        case scoreproto::ReplayShape::Ok: return std::nullopt;
        case scoreproto::ReplayShape::Empty: return errorResponse(400, "the replay is empty");
        case scoreproto::ReplayShape::TornRecord: return errorResponse(400, "the replay ends inside a record");
        case scoreproto::ReplayShape::TooFewRecords: return errorResponse(400, "the replay is too short");
        case scoreproto::ReplayShape::TooManyRecords: return errorResponse(413, "the replay has more than 36000 records");
    }
    return errorResponse(400, "bad replay");
}

}  // namespace scoreserver

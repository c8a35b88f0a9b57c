#include "scoreserver/score_service.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "scoreproto/player_name.h"
#include "scoreproto/replay_shape.h"
#include "scoreproto/request_signature.h"
#include "scoreserver/request_checks.h"
#include "scoreserver/request_target.h"
#include "scoreserver/run_views.h"
#include "scoreserver/score_page.h"
#include "scoreserver/signed_request.h"
#include "verifypool/verifier_pool.h"

namespace scoreserver {
namespace {

constexpr std::int64_t kDefaultTableLimit = 100, kMaxTableLimit = 1000, kAroundSpan = 5;
constexpr int kMillisPerFrame = 16;

std::int64_t nowMillis() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

HttpResponse json(int status, std::string body) { return {status, "application/json", std::move(body), {}}; }
HttpResponse error(int status, const std::string& message) { return errorResponse(status, message); }

HttpResponse retryLater(int status, const std::string& message, double seconds) {
    HttpResponse response = error(status, message);
    long whole = static_cast<long>(std::ceil(seconds));
    response.headers.emplace_back("Retry-After", std::to_string(whole < 1 ? 1 : whole));
    return response;
}

}  // namespace

bool isLiveRun(int frames, std::int64_t tokenIssuedMs, std::int64_t arrivalMs) {
    // In whole numbers: elapsed >= frames * 16 ms * 0.98.
    return (arrivalMs - tokenIssuedMs) * 100 >= static_cast<std::int64_t>(frames) * kMillisPerFrame * 98;
}

ScoreService::ScoreService(scoredb::ScoreStore& store, verifypool::VerifierPool& pool, ServiceOptions options)
    : store_(store), pool_(pool), options_(std::move(options)), reads_(options_.readsPerMinute, options_.readBurst) {}

void ScoreService::countRefusal(int status) { metrics_.countRequest("refused", status, 0); }

void ScoreService::handle(HttpRequest request, Reply reply) {
    auto started = std::chrono::steady_clock::now();
    if (!options_.trustedProxy.empty() && request.peer == options_.trustedProxy) {
        auto client = request.header("x-real-ip");
        if (!client.empty()) request.peer = std::string(client);
    }
    RequestTarget target = parseRequestTarget(request.target);
    const std::string& path = target.path;
    const std::string& query = target.query;
    // The route is named while routing; the reply counts it on its way out,
    // whichever thread sends it.
    auto label = std::make_shared<std::string>("other");
    Reply counted = [this, started, reply = std::move(reply), label](HttpResponse response) {
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        metrics_.countRequest(*label, response.status, seconds);
        reply(std::move(response));
    };
    bool answered = false;
    HttpResponse response;
    try {
        response = route(request, path, query, *label, counted, answered);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "kvr2013-scores: %s %s: %s\n", request.method.c_str(), path.c_str(), failure.what());
        if (answered) return;
        response = error(500, "internal error");
    }
    if (!answered) counted(std::move(response));
}

HttpResponse ScoreService::route(const HttpRequest& request, const std::string& path, const std::string& query,
                                 std::string& label, const Reply& reply, bool& answered) {
    RouteMatch match = matchRoute(request.method, path, !options_.webDir.empty());
    if (match.kind == RouteKind::Health) {
        label = match.label;
        store_.playerByName("");  // the database answers
        return json(200, "{\"status\":\"ok\"}");
    }
    if (match.kind == RouteKind::Metrics) {
        label = match.label;
        HttpResponse out{200, "text/plain; version=0.0.4", metrics_.render([this] {
                             return std::make_pair(pool_.queueDepth(), pool_.inFlight());
                         }),
                         {}};
        return out;
    }
    double retryAfter = 0;
    if (!reads_.take(request.peer, nowMillis(), retryAfter)) {
        label = "limited";
        return retryLater(429, "too many requests", retryAfter);
    }
    label = match.label;
    if (match.refusal) return *match.refusal;
    switch (match.kind) {
        case RouteKind::Page: return page();
        case RouteKind::RegisterPlayer: return registerPlayer(request);
        case RouteKind::StartRun: return startRun(request);
        case RouteKind::SubmitRun: return submitRun(request, query, reply, answered);
        case RouteKind::StageScores: return stageScores(match.stage, query);
        case RouteKind::StageAround: return around(match.stage, match.name);
        case RouteKind::Run: return runEntry(match.name, false);
        case RouteKind::RunReplay: return runEntry(match.name, true);
        case RouteKind::Static: return staticFile(path);
        case RouteKind::Health:
        case RouteKind::Metrics:
        case RouteKind::NotFound: break;
    }
    return error(404, "no such resource");
}

HttpResponse ScoreService::registerPlayer(const HttpRequest& request) {
    std::int64_t now = nowMillis();
    SignatureCheck signature = checkSignedRequest(request, now / 1000, store_);
    if (!signature.ok) return error(401, signature.refusal);
    std::string name, publicKey;
    if (!parseRegistration(request.body, name, publicKey)) return error(400, "the body must be {\"name\", \"public_key\"}");
    if (publicKey != signature.publicKey) return error(400, "public_key must be the key that signs the request");
    if (!scoreproto::isValidPlayerName(name)) {
        return error(400, "a name is 1 to 12 letters, digits, '-' or '.'");
    }
    scoredb::Player player;
    switch (store_.registerPlayer(name, scoreproto::nameKey(name), publicKey, now, player)) {
        case scoredb::Registration::Created: return json(201, playerJson(player));
        case scoredb::Registration::AlreadyRegistered:
            if (player.bannedReason) return error(403, "this player is banned");
            return json(200, playerJson(player));
        case scoredb::Registration::NameTaken: return error(409, "that name is taken");
        case scoredb::Registration::KeyTaken: return error(409, "that key is registered under another name");
    }
    return error(500, "internal error");
}

HttpResponse ScoreService::startRun(const HttpRequest& request) {
    std::int64_t now = nowMillis();
    SignatureCheck signature = checkSignedRequest(request, now / 1000, store_);
    if (!signature.ok) return error(401, signature.refusal);
    auto player = store_.playerByKey(signature.publicKey);
    if (!player) return error(401, "unknown player");
    if (player->bannedReason) return error(403, "this player is banned");
    long stage = 0;
    if (!parseStage(request.body, stage) || !scoreproto::isValidStage(stage)) {
        return error(400, "the stage must be 0 to 3");
    }
    std::string token = scoreproto::randomNonceHex() + scoreproto::randomNonceHex();
    store_.issueStartToken(token, signature.publicKey, static_cast<int>(stage), now);
    return json(201, tokenJson(token, static_cast<int>(stage)));
}

HttpResponse ScoreService::submitRun(const HttpRequest& request, const std::string& query, const Reply& reply,
                                     bool& answered) {
    std::int64_t now = nowMillis();
    int stage = 0;
    if (auto refusal = refuseSubmissionHeaders(request, query, stage)) return *refusal;
    SignatureCheck signature = checkSignedRequest(request, now / 1000, store_);
    if (!signature.ok) return error(401, signature.refusal);
    auto player = store_.playerByKey(signature.publicKey);
    if (!player) return error(401, "unknown player");
    if (player->bannedReason) return error(403, "this player is banned");
    for (const std::string& bucket : {"key:" + signature.publicKey, "address:" + request.peer}) {
        auto decision = store_.takeRateToken(bucket, options_.submissionBurst, options_.submissionsPerMinute, now);
        if (!decision.allowed) return retryLater(429, "too many submissions", decision.retryAfterSeconds);
    }
    if (auto refusal = refuseReplayShape(request.body)) return *refusal;

    forgetOldNonces(now);
    std::string token = queryValue(query, "token");
    std::int64_t playerId = player->id;
    std::string publicKey = signature.publicKey;
    std::int64_t arrival = request.arrivalMs ? request.arrivalMs : now;
    auto queued = std::chrono::steady_clock::now();
    std::string replay = request.body;
    bool accepted = pool_.submit(stage, request.body, [=, this](verifypool::VerifyOutcome outcome) {
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - queued).count();
        try {
            if (outcome.kind != verifypool::VerifyOutcome::Kind::Played) {
                metrics_.countVerification("failed", seconds);
                std::fprintf(stderr, "kvr2013-scores: verification failed: %s\n", outcome.failure.c_str());
                return reply(error(422, "the replay could not be played"));
            }
            if (outcome.result == "limit") {
                metrics_.countVerification("unfinished", seconds);
                return reply(error(422, "the replay does not play to its end"));
            }
            metrics_.countVerification("played", seconds);
            bool live = false;
            if (!token.empty()) {
                auto issued = store_.takeStartToken(token, publicKey, stage);
                live = issued && isLiveRun(outcome.frames, *issued, arrival);
            }
            scoredb::NewRun run;
            run.playerId = playerId;
            run.stage = stage;
            run.score = outcome.score;
            run.distance = outcome.distance;
            run.frames = outcome.frames;
            run.result = outcome.result;
            run.live = live;
            run.submittedMs = arrival;
            run.line = outcome.line;
            run.traceSha256 = outcome.traceSha256;
            run.replay = replay;
            auto inserted = store_.insertRun(run);
            switch (inserted.kind) {
                case scoredb::InsertedRun::Kind::Created:
                    tables_.clear();
                    return reply(json(201, runJson(inserted.run)));
                case scoredb::InsertedRun::Kind::AlreadyThere:
                    if (inserted.run.removedReason) return reply(error(409, "this run was removed from the table"));
                    return reply(json(200, runJson(inserted.run)));
                case scoredb::InsertedRun::Kind::CopyOfAnother: return reply(json(409, copyJson(inserted.run.id)));
            }
        } catch (const std::exception& failure) {
            std::fprintf(stderr, "kvr2013-scores: storing a run: %s\n", failure.what());
        }
        reply(error(500, "internal error"));
    });
    if (!accepted) return retryLater(503, "the verifier queue is full", 1);
    answered = true;
    return {};
}

HttpResponse ScoreService::stageScores(int stage, const std::string& query) {
    std::int64_t limit = kDefaultTableLimit, offset = 0;
    std::string limitText = queryValue(query, "limit"), offsetText = queryValue(query, "offset");
    if ((!limitText.empty() && !parseCount(limitText, limit)) || (!offsetText.empty() && !parseCount(offsetText, offset))) {
        return error(400, "limit and offset are whole numbers");
    }
    if (limit > kMaxTableLimit) limit = kMaxTableLimit;
    std::string key = "table " + std::to_string(stage) + " " + std::to_string(limit) + " " + std::to_string(offset);
    return json(200, tables_.get(key, [&] {
        return stageTableJson(stage, limit, offset, store_.stageTable(stage, limit, offset));
    }));
}

HttpResponse ScoreService::around(int stage, const std::string& player) {
    if (!scoreproto::isValidPlayerName(player)) return error(400, "not a player name");
    auto entries = store_.around(stage, scoreproto::nameKey(player), kAroundSpan);
    std::string name;
    for (const auto& entry : entries) {
        if (scoreproto::nameKey(entry.run.player) == scoreproto::nameKey(player)) name = entry.run.player;
    }
    if (name.empty()) return error(404, "that player has no entry on this stage");
    return json(200, aroundJson(stage, name, entries));
}

HttpResponse ScoreService::runEntry(const std::string& idText, bool replay) {
    std::int64_t id = 0;
    if (!parseCount(idText, id)) return error(404, "no such run");
    auto run = store_.runById(id);
    if (!run || run->removedReason) return error(404, "no such run");
    if (!replay) return json(200, runJson(*run));
    auto bytes = store_.replayById(id);
    if (!bytes) return error(404, "no such run");
    HttpResponse out{200, "application/octet-stream", std::move(*bytes), {}};
    out.headers.emplace_back("Content-Disposition", "attachment; filename=\"kvr2013-stage" +
                                                        std::to_string(run->stage) + "-run" + idText + ".bin\"");
    return out;
}

HttpResponse ScoreService::page() {
    return {200, "text/html; charset=utf-8", tables_.get("page", [&] {
                std::array<std::vector<scoredb::RankedRun>, 4> tables;
                for (int stage = 0; stage < 4; ++stage) {
                    tables[static_cast<std::size_t>(stage)] = store_.stageTable(stage, kDefaultTableLimit, 0);
                }
                return scorePage(tables);
            }),
            {}};
}

HttpResponse ScoreService::staticFile(const std::string& path) {
    namespace fs = std::filesystem;
    // Only plain names below the directory: no "..", no hidden files.
    for (const auto& part : parseRequestTarget(path).segments) {
        if (part.empty() || part[0] == '.' || part.find('\\') != std::string::npos) return error(404, "no such file");
    }
    fs::path file = fs::path(options_.webDir) / path.substr(1);
    std::error_code ec;
    if (fs::is_directory(file, ec)) file /= "index.html";
    if (!fs::is_regular_file(file, ec)) return error(404, "no such file");
    std::ifstream in(file, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    static const std::pair<const char*, const char*> kTypes[] = {
        {".html", "text/html; charset=utf-8"}, {".js", "text/javascript"}, {".css", "text/css"},
        {".wasm", "application/wasm"},         {".png", "image/png"},      {".json", "application/json"},
        {".data", "application/octet-stream"}};
    std::string type = "application/octet-stream";
    for (const auto& [extension, mime] : kTypes) {
        if (file.extension() == extension) type = mime;
    }
    return {200, type, std::move(bytes), {}};
}

void ScoreService::forgetOldNonces(std::int64_t nowMs) {
    // A nonce older than twice the skew window carries a timestamp no check accepts.
    std::int64_t last = noncesSweptMs_.load();
    if (nowMs - last < 60000 || !noncesSweptMs_.compare_exchange_strong(last, nowMs)) return;
    store_.forgetNoncesBefore(nowMs - 2 * scoreproto::kMaxClockSkewSeconds * 1000);
}

}  // namespace scoreserver

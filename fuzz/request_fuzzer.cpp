// Fuzzes what the score server decides about one HTTP request before it asks
// the database or the verifier: the listener's reading (header and body
// limits, compressed and oversized bodies, malformed framing), then the
// route, the query numbers, the JSON bodies, the signature headers and a
// submission's size, in the order the service applies them. The input is
// the bytes a client sends before closing its side.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "scoreproto/player_name.h"
#include "scoreproto/replay_shape.h"
#include "scoreserver/http_listener.h"
#include "scoreserver/request_checks.h"
#include "scoreserver/request_framing.h"
#include "scoreserver/request_target.h"
#include "scoreserver/run_views.h"
#include "scoreserver/signed_request.h"

namespace {

bool among(int status, std::initializer_list<int> statuses) {
    for (int allowed : statuses) {
        if (status == allowed) return true;
    }
    return false;
}

void expectErrorBody(const scoreserver::HttpResponse& response) {
    FUZZ_EXPECT(response.contentType == "application/json");
    FUZZ_EXPECT(response.body.rfind("{\"error\":", 0) == 0);
}

// The signed routes: a refusal is a 401 with a reason, and no forged request passes.
void checkSignatureOf(const scoreserver::HttpRequest& request) {
    // Any fixed clock: the timestamps a fuzzer writes are as near to it as to any other.
    constexpr std::int64_t kNowSeconds = 1'800'000'000;
    const scoreserver::SignatureCheck check = scoreserver::checkSignature(request, kNowSeconds);
    if (check.ok) {
        FUZZ_EXPECT(check.publicKey.size() == 64);
    } else {
        FUZZ_EXPECT(!check.refusal.empty());
    }
}

void checkSubmission(const scoreserver::HttpRequest& request, const std::string& query) {
    int stage = -1;
    if (auto refusal = scoreserver::refuseSubmissionHeaders(request, query, stage)) {
        FUZZ_EXPECT(among(refusal->status, {400, 415}));
        expectErrorBody(*refusal);
        return;
    }
    FUZZ_EXPECT(scoreproto::isValidStage(stage));
    checkSignatureOf(request);
    // The database's checks come next; the size check after them is the last
    // one made before the replay is played.
    if (auto refusal = scoreserver::refuseReplayShape(request.body)) {
        FUZZ_EXPECT(among(refusal->status, {400, 413}));
        expectErrorBody(*refusal);
        return;
    }
    FUZZ_EXPECT(request.body.size() % scoreproto::kRecordBytes == 0);
    FUZZ_EXPECT(request.body.size() >= 2 * scoreproto::kRecordBytes);
    FUZZ_EXPECT(request.body.size() <= scoreproto::kMaxReplayBytes);
}

void checkServiceAnswer(const scoreserver::HttpRequest& request) {
    const scoreserver::RequestTarget target = scoreserver::parseRequestTarget(request.target);
    FUZZ_EXPECT(target.path.find('?') == std::string::npos);
    const scoreserver::RouteMatch match = scoreserver::matchRoute(request.method, target.path, true);
    FUZZ_EXPECT(!match.label.empty());
    if (match.refusal) {
        FUZZ_EXPECT(among(match.refusal->status, {400, 404, 405}));
        expectErrorBody(*match.refusal);
        return;
    }
    FUZZ_EXPECT(match.kind != scoreserver::RouteKind::NotFound);
    switch (match.kind) {
        case scoreserver::RouteKind::RegisterPlayer: {
            FUZZ_EXPECT(request.method == "POST");
            checkSignatureOf(request);
            std::string name, publicKey;
            if (scoreserver::parseRegistration(request.body, name, publicKey) && scoreproto::isValidPlayerName(name)) {
                FUZZ_EXPECT(scoreproto::isValidPlayerName(scoreproto::nameKey(name)));
            }
            break;
        }
        case scoreserver::RouteKind::StartRun: {
            FUZZ_EXPECT(request.method == "POST");
            checkSignatureOf(request);
            long stage = 0;
            (void)scoreserver::parseStage(request.body, stage);
            break;
        }
        case scoreserver::RouteKind::SubmitRun: checkSubmission(request, target.query); break;
        case scoreserver::RouteKind::StageScores:
        case scoreserver::RouteKind::StageAround: {
            FUZZ_EXPECT(request.method == "GET");
            FUZZ_EXPECT(scoreproto::isValidStage(match.stage));
            std::int64_t count = -1;
            for (const char* name : {"limit", "offset"}) {
                if (scoreserver::parseCount(scoreserver::queryValue(target.query, name), count)) {
                    FUZZ_EXPECT(count >= 0 && count <= 999'999'999'999);
                }
            }
            if (match.kind == scoreserver::RouteKind::StageAround) (void)scoreproto::isValidPlayerName(match.name);
            break;
        }
        case scoreserver::RouteKind::Run:
        case scoreserver::RouteKind::RunReplay: {
            std::int64_t id = -1;
            if (scoreserver::parseCount(match.name, id)) FUZZ_EXPECT(id >= 0);
            break;
        }
        default: break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const scoreserver::ListenerOptions options;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const scoreserver::FramedRequest framed = scoreserver::frameRequest(bytes, options.headerLimit, options.bodyLimit);
    FUZZ_EXPECT(!(framed.request && framed.refusal));
    if (framed.refusal) {
        FUZZ_EXPECT(among(framed.refusal->status, {400, 413, 431}));
        FUZZ_EXPECT(!framed.refusal->message.empty());
        return 0;
    }
    if (!framed.request) {
        // Only a client that sent nothing is let go without an answer.
        FUZZ_EXPECT(size == 0 || bytes.find_first_not_of("\r\n") == std::string_view::npos);
        return 0;
    }
    const scoreserver::HttpRequest& request = *framed.request;
    FUZZ_EXPECT(request.body.size() <= options.bodyLimit);
    FUZZ_EXPECT(!request.method.empty());
    for (const auto& header : request.headers) {
        for (char c : header.first) FUZZ_EXPECT(!(c >= 'A' && c <= 'Z'));
    }
    checkServiceAnswer(request);
    return 0;
}

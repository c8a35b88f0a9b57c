// What the server answers from a request's bytes alone: the listener's
// framing refusals and the service's routes, as tables of requests.
#include <gtest/gtest.h>

#include <string>

#include "scoreserver/request_checks.h"
#include "scoreserver/request_framing.h"

namespace {

using scoreserver::RouteKind;

TEST(RequestRouteTest, EachPathAndMethodFindsItsRouteOrItsRefusal) {
    struct Case {
        const char* method;
        const char* path;
        RouteKind kind;
        int refusal;  // 0: none
        const char* label;
    } cases[] = {
        {"GET", "/healthz", RouteKind::Health, 0, "healthz"},
        {"POST", "/metrics", RouteKind::Metrics, 0, "metrics"},
        {"GET", "/", RouteKind::Page, 0, "page"},
        {"POST", "/", RouteKind::Page, 405, "page"},
        {"POST", "/api/v1/players", RouteKind::RegisterPlayer, 0, "players"},
        {"GET", "/api/v1/players", RouteKind::RegisterPlayer, 405, "players"},
        {"POST", "/api/v1/runs/start", RouteKind::StartRun, 0, "runs_start"},
        {"POST", "//api//v1/runs/", RouteKind::SubmitRun, 0, "runs_submit"},
        {"GET", "/api/v1/stages/3/scores", RouteKind::StageScores, 0, "stage_scores"},
        {"GET", "/api/v1/stages/4/scores", RouteKind::StageScores, 400, "stage_scores"},
        {"POST", "/api/v1/stages/4/scores", RouteKind::StageScores, 405, "stage_scores"},
        {"GET", "/api/v1/stages/0/scores/around/Ace", RouteKind::StageAround, 0, "stage_around"},
        {"GET", "/api/v1/stages/+1/scores/around/Ace", RouteKind::StageAround, 400, "stage_around"},
        {"GET", "/api/v1/stages/0/scores/near/Ace", RouteKind::NotFound, 404, "not_found"},
        {"GET", "/api/v1/runs/17", RouteKind::Run, 0, "run"},
        {"PUT", "/api/v1/runs/17/replay", RouteKind::RunReplay, 405, "run_replay"},
        {"GET", "/api/v1/nothing", RouteKind::NotFound, 404, "not_found"},
        {"GET", "/api/v2/runs", RouteKind::Static, 0, "static"},
        {"GET", "/index.html", RouteKind::Static, 0, "static"},
        {"POST", "/index.html", RouteKind::NotFound, 404, "not_found"},
    };
    for (const Case& c : cases) {
        auto match = scoreserver::matchRoute(c.method, c.path, true);
        EXPECT_EQ(match.kind, c.kind) << c.method << " " << c.path;
        EXPECT_EQ(match.label, c.label) << c.method << " " << c.path;
        EXPECT_EQ(match.refusal ? match.refusal->status : 0, c.refusal) << c.method << " " << c.path;
    }
    EXPECT_EQ(scoreserver::matchRoute("GET", "/api/v1/stages/2/scores/around/Ace", true).stage, 2);
    EXPECT_EQ(scoreserver::matchRoute("GET", "/api/v1/runs/17/replay", true).name, "17");
    EXPECT_EQ(scoreserver::matchRoute("GET", "/index.html", false).refusal->status, 404);
}

TEST(RequestFramingTest, TheListenerRefusesWhatCannotBeReadWhole) {
    const std::string submit = "POST /api/v1/runs?stage=0 HTTP/1.1\r\nHost: s\r\n";
    struct Case {
        std::string bytes;
        int refusal;  // 0: read whole; -1: closed without an answer
        std::size_t bodyBytes;
    } cases[] = {
        {"GET /healthz HTTP/1.1\r\nHost: s\r\n\r\n", 0, 0},
        {submit + "Content-Length: 5\r\n\r\nhello", 0, 5},
        {submit + "Transfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n2\r\nde\r\n0\r\n\r\n", 0, 5},
        {submit + "Content-Length: 864000\r\n\r\n" + std::string(864000, 'x'), 0, 864000},
        {submit + "Content-Length: 864001\r\n\r\n", 413, 0},
        {submit + "Transfer-Encoding: chunked\r\n\r\nd2f01\r\n" + std::string(864001, 'x') + "\r\n0\r\n\r\n", 413, 0},
        {submit + "Content-Encoding: gzip\r\nContent-Length: 2\r\n\r\nzz", 400, 0},
        {submit + "Content-Encoding: Identity\r\nContent-Length: 2\r\n\r\nzz", 0, 2},
        {submit + "Content-Length: 10\r\n\r\nshort", 400, 0},
        {submit + "X-Long: " + std::string(9000, 'a') + "\r\n\r\n", 431, 0},
        {"GET /healthz HTTP/1.1\r\nHost", 400, 0},
        {"NOT HTTP\r\n\r\n", 400, 0},
        {"", -1, 0},
    };
    for (const Case& c : cases) {
        auto framed = scoreserver::frameRequest(c.bytes, 8192, 864000);
        const std::string start = c.bytes.substr(0, 60);
        if (c.refusal == 0) {
            ASSERT_TRUE(framed.request) << start;
            EXPECT_EQ(framed.request->body.size(), c.bodyBytes) << start;
        } else {
            EXPECT_FALSE(framed.request) << start;
            EXPECT_EQ(framed.refusal ? framed.refusal->status : -1, c.refusal) << start;
        }
    }
    auto read = scoreserver::frameRequest("GET / HTTP/1.1\r\nX-KVR-Key: ab\r\n\r\n", 8192, 864000);
    ASSERT_TRUE(read.request);
    EXPECT_EQ(read.request->header("x-kvr-key"), "ab");
}

}  // namespace

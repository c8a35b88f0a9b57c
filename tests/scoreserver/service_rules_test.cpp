// The score service's rules that need no socket: when a run is live, the
// read buckets, the signature check and what the page escapes.
#include <gtest/gtest.h>

#include <ctime>

#include "scoreproto/request_signature.h"
#include "scoreserver/metrics.h"
#include "scoreserver/read_rate_limiter.h"
#include "scoreserver/request_target.h"
#include "scoreserver/score_page.h"
#include "scoreserver/score_service.h"
#include "scoreserver/table_cache.h"
#include "scoreserver/signed_request.h"

namespace {

using scoreserver::HttpRequest;

TEST(LiveRunTest, ATokenMustBeAsOldAsTheRunLessTwoPercent) {
    struct Case {
        int frames;
        std::int64_t elapsedMs;
        bool live;
    } cases[] = {
        {1000, 16000, true},   // exactly real time
        {1000, 15680, true},   // 2 % faster: still live
        {1000, 15679, false},  // a millisecond faster than that
        {1000, 0, false},
        {1000, -5000, false},  // a token from the future
        {36195, 36195 * 16, true},
        {2, 32, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(scoreserver::isLiveRun(c.frames, 1'000'000, 1'000'000 + c.elapsedMs), c.live)
            << c.frames << " frames in " << c.elapsedMs << " ms";
    }
}

TEST(ReadRateLimiterTest, EachAddressHasItsOwnBucketThatRefills) {
    scoreserver::ReadRateLimiter limiter(60, 2);  // one a second, two at once
    double retry = 0;
    EXPECT_TRUE(limiter.take("a", 0, retry));
    EXPECT_TRUE(limiter.take("a", 0, retry));
    EXPECT_FALSE(limiter.take("a", 0, retry));
    EXPECT_NEAR(retry, 1.0, 1e-9);
    EXPECT_TRUE(limiter.take("b", 0, retry));
    EXPECT_FALSE(limiter.take("a", 500, retry));
    EXPECT_NEAR(retry, 0.5, 1e-9);
    EXPECT_TRUE(limiter.take("a", 1000, retry));
    // A long wait fills the bucket to its size, no more.
    EXPECT_TRUE(limiter.take("a", 100000, retry));
    EXPECT_TRUE(limiter.take("a", 100000, retry));
    EXPECT_FALSE(limiter.take("a", 100000, retry));
}

HttpRequest signedRequest(const scoreproto::PlayerKey& key, long long timestamp, const std::string& body) {
    HttpRequest request;
    request.method = "POST";
    request.target = "/api/v1/runs?stage=1";
    request.body = body;
    std::string stamp = std::to_string(timestamp), nonce = scoreproto::randomNonceHex();
    request.headers = {{"x-kvr-key", key.publicHex},
                       {"x-kvr-timestamp", stamp},
                       {"x-kvr-nonce", nonce},
                       {"x-kvr-signature",
                        scoreproto::signHex(key, scoreproto::signingText("POST", request.target, stamp, nonce, body))}};
    return request;
}

TEST(SignatureCheckTest, OnlyAGoodSignatureWithinTheSkewPasses) {
    auto key = scoreproto::generatePlayerKey();
    const long long now = 1'800'000'000;
    auto tampered = signedRequest(key, now, "abc");
    tampered.body = "abd";
    auto otherTarget = signedRequest(key, now, "abc");
    otherTarget.target = "/api/v1/runs?stage=2";
    auto otherMethod = signedRequest(key, now, "abc");
    otherMethod.method = "PUT";
    auto noSignature = signedRequest(key, now, "abc");
    noSignature.headers.pop_back();
    struct Case {
        std::string what;
        HttpRequest request;
        bool ok;
    } cases[] = {
        {"good", signedRequest(key, now, "abc"), true},
        {"300 s old", signedRequest(key, now - 300, "abc"), true},
        {"301 s old", signedRequest(key, now - 301, "abc"), false},
        {"301 s ahead", signedRequest(key, now + 301, "abc"), false},
        {"body changed", tampered, false},
        {"path changed", otherTarget, false},
        {"method changed", otherMethod, false},
        {"no signature", noSignature, false},
    };
    for (const Case& c : cases) {
        auto check = scoreserver::checkSignature(c.request, now);
        EXPECT_EQ(check.ok, c.ok) << c.what << ": " << check.refusal;
        if (c.ok) {
            EXPECT_EQ(check.publicKey, key.publicHex);
        }
    }
}

TEST(ScorePageTest, NamesAndTextAreEscaped) {
    EXPECT_EQ(scoreserver::htmlEscape("<b a=\"x\">&'"), "&lt;b a=&quot;x&quot;&gt;&amp;&#39;");
}

TEST(MetricsTest, HistogramBucketsAreCumulative) {
    scoreserver::Metrics metrics;
    metrics.countRequest("page", 200, 0.003);
    metrics.countRequest("page", 200, 0.2);
    metrics.countRequest("run", 404, 20);
    std::string text = metrics.render([] { return std::make_pair(std::size_t{3}, std::size_t{1}); });
    for (const char* line : {"kvr_scores_requests_total{route=\"page\",status=\"200\"} 2\n",
                             "kvr_scores_requests_total{route=\"run\",status=\"404\"} 1\n",
                             "kvr_scores_request_duration_seconds_bucket{le=\"0.0025\"} 0\n",
                             "kvr_scores_request_duration_seconds_bucket{le=\"0.005\"} 1\n",
                             "kvr_scores_request_duration_seconds_bucket{le=\"0.25\"} 2\n",
                             "kvr_scores_request_duration_seconds_bucket{le=\"10\"} 2\n",
                             "kvr_scores_request_duration_seconds_bucket{le=\"+Inf\"} 3\n",
                             "kvr_scores_verify_queue_depth 3\n", "kvr_scores_verify_in_flight 1\n"}) {
        EXPECT_NE(text.find(line), std::string::npos) << line << text;
    }
}

}  // namespace

namespace {

TEST(RequestTargetTest, NumbersAreWholeDecimalsAndStagesZeroToThree) {
    struct Case {
        std::string text;
        bool count;
        bool stage;
    } cases[] = {
        {"0", true, true},    {"3", true, true},      {"03", true, true},  {"4", true, false},
        {"-1", false, false}, {"+1", false, false},   {" 1", false, false}, {"1e3", false, false},
        {"", false, false},   {"0x1", false, false},  {"%31", false, false},
        {"999999999999", true, false}, {"1000000000000", false, false},
    };
    for (const Case& c : cases) {
        std::int64_t value = 0;
        int stage = 0;
        EXPECT_EQ(scoreserver::parseCount(c.text, value), c.count) << "\"" << c.text << "\"";
        EXPECT_EQ(scoreserver::parseStageNumber(c.text, stage), c.stage) << "\"" << c.text << "\"";
    }
}

TEST(RequestTargetTest, PathsSplitIntoSegmentsAndQueriesIntoValues) {
    auto target = scoreserver::parseRequestTarget("//api/v1//runs?stage=2&token=ab&stage=3&flag");
    EXPECT_EQ(target.path, "//api/v1//runs");
    EXPECT_EQ(target.segments, (std::vector<std::string>{"api", "v1", "runs"}));
    EXPECT_EQ(scoreserver::queryValue(target.query, "stage"), "2");  // the first one counts
    EXPECT_EQ(scoreserver::queryValue(target.query, "token"), "ab");
    EXPECT_EQ(scoreserver::queryValue(target.query, "flag"), "");
    EXPECT_EQ(scoreserver::queryValue(target.query, "tok"), "");
    EXPECT_TRUE(scoreserver::parseRequestTarget("/").segments.empty());
}

}  // namespace

namespace {

TEST(TableCacheTest, AnswersFromTheCacheUntilClearedOrOld) {
    scoreserver::TableCache cache(std::chrono::milliseconds(60000));
    int renders = 0;
    auto render = [&] { return "table " + std::to_string(++renders); };
    EXPECT_EQ(cache.get("a", render), "table 1");
    EXPECT_EQ(cache.get("a", render), "table 1");
    EXPECT_EQ(cache.get("b", render), "table 2");
    cache.clear();
    EXPECT_EQ(cache.get("a", render), "table 3");
    // A table rendered while an entry arrives is answered, never kept.
    EXPECT_EQ(cache.get("c", [&] {
        cache.clear();
        return std::string("stale");
    }), "stale");
    EXPECT_EQ(cache.get("c", render), "table 4");

    scoreserver::TableCache fresh(std::chrono::milliseconds(0));
    EXPECT_EQ(fresh.get("a", render), "table 5");
    EXPECT_EQ(fresh.get("a", render), "table 6");
}

}  // namespace

// The link's write requests pass the score server's own signature check
// (the code the server runs on every write), and fail it when anything
// signed is changed on the way.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "fake_server.h"
#include "scoreproto/request_signature.h"
#include "scoreserver/signed_request.h"
#include "worldlink/world_exchange.h"

using namespace worldlink;
using namespace worldlink_test;

namespace {

constexpr long long kNowMillis = 1700000000000LL;

// The request as the server's listener hands it on: the target as sent, header names in lower case.
scoreserver::HttpRequest asServerSees(const HttpRequest& sent) {
    scoreserver::HttpRequest request;
    request.method = sent.method;
    request.target = sent.url.substr(std::string("http://world.test").size());
    for (auto [name, value] : sent.headers) {
        for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        request.headers.emplace_back(name, value);
    }
    request.body = sent.body;
    return request;
}

TEST(RequestSigning, TheServersCheckAcceptsEveryWriteAndRefusesAnyChange) {
    TempDir dir;
    FakeServer server;
    server.answer = [](const HttpRequest& request) -> HttpResponse {
        if (hasPath(request, "/api/v1/players")) return {201, kRegistered, ""};
        if (hasPath(request, "/api/v1/runs/start")) return {201, R"({"token": "0f", "stage": 2})", ""};
        return {201, kRunSeven, ""};
    };
    WorldExchange link({"http://world.test", dir.path.string()}, server, server,
                       {[] { return kNowMillis; }, [] { return Clock::time_point{}; }});
    link.wantOnline("Ace");
    link.registerWanted();
    link.requestToken(2, link.forgetToken(2));
    ASSERT_TRUE(link.keepRecord(2, writeReplay(dir, "replay_02.bin", 2)));
    link.sendOutbox();
    std::vector<HttpRequest> writes;
    for (const auto& request : server.requests) {
        if (request.method == "POST") writes.push_back(request);
    }
    ASSERT_EQ(writes.size(), 3u);

    const std::string key = scoreproto::loadPlayerKey(link.keyFile()).publicHex;
    EXPECT_EQ(nlohmann::json::parse(writes[0].body).at("public_key"), key);
    EXPECT_EQ(writes[2].url, "http://world.test/api/v1/runs?stage=2&token=0f");
    for (const auto& sent : writes) {
        SCOPED_TRACE(sent.url);
        const auto check = scoreserver::checkSignature(asServerSees(sent), kNowMillis / 1000);
        EXPECT_TRUE(check.ok) << check.refusal;
        EXPECT_EQ(check.publicKey, key);

        auto otherBody = asServerSees(sent);
        otherBody.body += ' ';
        EXPECT_FALSE(scoreserver::checkSignature(otherBody, kNowMillis / 1000).ok);
        auto otherTarget = asServerSees(sent);
        otherTarget.target += "&stage=3";
        EXPECT_FALSE(scoreserver::checkSignature(otherTarget, kNowMillis / 1000).ok);
        // Signed for now: ten minutes later the server's clock check refuses it.
        EXPECT_FALSE(scoreserver::checkSignature(asServerSees(sent), kNowMillis / 1000 + 600).ok);
    }
}

}  // namespace

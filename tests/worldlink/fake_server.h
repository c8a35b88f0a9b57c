// A score server played by the test: every request is kept, and the answer
// is what the test's function says (which may throw TransportError, as a
// server that is not there does).
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "scoreclient/http_transport.h"

namespace worldlink_test {

using scoreclient::HttpRequest;
using scoreclient::HttpResponse;

struct FakeServer : scoreclient::HttpTransport {
    std::function<HttpResponse(const HttpRequest&)> answer;
    std::vector<HttpRequest> requests;
    HttpResponse send(const HttpRequest& request) override {
        requests.push_back(request);
        return answer(request);
    }
    int count(const std::string& method, const std::string& pathStart) const {
        int n = 0;
        for (const auto& r : requests) {
            n += r.method == method && r.url.find("http://world.test" + pathStart) == 0;
        }
        return n;
    }
};

inline bool hasPath(const HttpRequest& request, const std::string& pathStart) {
    return request.url.find("http://world.test" + pathStart) == 0;
}

// The answers of a server that takes everything.
inline const char* const kRegistered = R"({"player": {"name": "Ace", "public_key": "00"}})";
inline const char* const kRunSeven = R"({"run": {"id": "7", "player": "Ace", "stage": 1, "score": 900}})";

// A directory of its own for each test, removed after it.
struct TempDir {
    TempDir();
    ~TempDir();
    std::string file(const std::string& name) const { return (path / name).string(); }
    std::filesystem::path path;
};

// A replay file of whole 24-byte records.
std::string writeReplay(const TempDir& dir, const std::string& name, std::size_t records, char fill = '\x01');

}  // namespace worldlink_test

// A request as the score service sees it and the answer it gives, kept free
// of Boost.Beast so only the HTTP listener's file pulls Beast in.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace scoreserver {

struct HttpRequest {
    std::string method;
    std::string target;  // path with its query, as sent
    std::vector<std::pair<std::string, std::string>> headers;  // names in lower case
    std::string body;
    std::string peer;  // the client's address
    std::int64_t arrivalMs = 0;  // unix milliseconds when its header was read

    // The first header of that (lower-case) name, or "".
    std::string_view header(std::string_view lowerName) const {
        for (const auto& [name, value] : headers) {
            if (name == lowerName) return value;
        }
        return {};
    }
    bool hasHeader(std::string_view lowerName) const {
        for (const auto& header : headers) {
            if (header.first == lowerName) return true;
        }
        return false;
    }
};

struct HttpResponse {
    int status = 200;
    std::string contentType = "application/json";
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers;
};

using Reply = std::function<void(HttpResponse)>;
// Answers one request; the reply may be called later from another thread.
using RequestHandler = std::function<void(HttpRequest, Reply)>;

}  // namespace scoreserver

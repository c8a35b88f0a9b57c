// The one HTTP exchange the command-line client needs, behind an interface
// so the client's decisions (what to sign, what each answer means) are
// tested without a network.
#pragma once

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace scoreclient {

struct HttpRequest {
    std::string method;
    std::string url;  // the server's base URL and the path with its query
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
};

struct HttpResponse {
    long status = 0;
    std::string body;
    std::string retryAfter;  // the Retry-After header, empty when there is none
};

// No answer at all: the server could not be reached or stopped mid-answer.
class TransportError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class HttpTransport {
public:
    virtual ~HttpTransport() = default;
    // Throws TransportError when no HTTP answer came back.
    virtual HttpResponse send(const HttpRequest& request) = 0;
};

}  // namespace scoreclient

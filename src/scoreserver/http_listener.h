// The HTTP/1.1 side of the score server: accepts connections on a few
// threads, reads each request with bounded headers and body (by
// Content-Length or chunked alike), refuses compressed bodies, gives slow
// clients a deadline, keeps connections alive between requests, and on
// SIGTERM or SIGINT stops accepting, lets the requests in flight finish and
// returns from run().
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>

#include "scoreserver/http_message.h"

namespace scoreserver {

struct ListenerOptions {
    std::string host = "127.0.0.1";
    unsigned short port = 8080;  // 0: any free port
    unsigned threads = 2;
    std::size_t headerLimit = 8192;
    std::size_t bodyLimit = 864000;
    // A request's header must arrive within this, and so must its body;
    // an idle kept-alive connection is closed after it too.
    std::chrono::milliseconds readTimeout{10000};
    std::chrono::milliseconds drainTimeout{30000};
};

class HttpListener {
public:
    // Binds at once (throws std::runtime_error when it cannot).
    HttpListener(const ListenerOptions& options, RequestHandler handler,
                 std::function<void(int status)> onRefusedBeforeHandler);
    ~HttpListener();
    unsigned short port() const;
    // Serves until SIGTERM or SIGINT, then drains and returns.
    void run();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace scoreserver

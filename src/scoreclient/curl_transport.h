// HttpTransport over libcurl, with a connect timeout and a timeout for the
// whole exchange (a submission waits for its verification). Certificates are
// always checked: against the system's CAs, or a private server's CA file.
#pragma once

#include <atomic>
#include <string>

#include "scoreclient/http_transport.h"

namespace scoreclient {

struct HttpTimeouts {
    long connectMillis = 5000;
    long totalMillis = 60000;
};

class CurlTransport : public HttpTransport {
public:
    // caFile: a CA certificate file for the server's certificate; "" is the system's.
    explicit CurlTransport(HttpTimeouts timeouts = {}, std::string caFile = "");
    HttpResponse send(const HttpRequest& request) override;
    // From now on a transfer stops (a TransportError) within about a second
    // of *flag becoming true, so a game quitting never waits on a server.
    void abandonWhen(const std::atomic<bool>* flag) { abandon_ = flag; }

private:
    HttpTimeouts timeouts_;
    std::string caFile_;
    const std::atomic<bool>* abandon_ = nullptr;
};

}  // namespace scoreclient

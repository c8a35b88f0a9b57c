// HttpTransport over libcurl, with a connect timeout and a timeout for the
// whole exchange (a submission waits for its verification).
#pragma once

#include "scoreclient/http_transport.h"

namespace scoreclient {

struct HttpTimeouts {
    long connectMillis = 5000;
    long totalMillis = 60000;
};

class CurlTransport : public HttpTransport {
public:
    explicit CurlTransport(HttpTimeouts timeouts = {});
    HttpResponse send(const HttpRequest& request) override;

private:
    HttpTimeouts timeouts_;
};

}  // namespace scoreclient

// A write request signed by the player's key, as the server checks it: the
// headers carry the key, the time, a fresh nonce and the signature over
// method, path with query, time, nonce and the body's SHA-256.
#pragma once

#include <string>

#include "scoreclient/http_transport.h"
#include "scoreproto/request_signature.h"

namespace scoreclient {

// `serverUrl` is the base ("http://host:port", no trailing slash), `path`
// begins with '/' and holds the query; the path is signed as it is sent.
HttpRequest signedRequest(const scoreproto::PlayerKey& key, const std::string& method, const std::string& serverUrl,
                          const std::string& path, std::string body, const std::string& contentType,
                          long long unixSeconds);

}  // namespace scoreclient

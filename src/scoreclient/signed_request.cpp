#include "scoreclient/signed_request.h"

namespace scoreclient {

HttpRequest signedRequest(const scoreproto::PlayerKey& key, const std::string& method, const std::string& serverUrl,
                          const std::string& path, std::string body, const std::string& contentType,
                          long long unixSeconds) {
    const std::string timestamp = std::to_string(unixSeconds);
    const std::string nonce = scoreproto::randomNonceHex();
    const std::string signature = scoreproto::signHex(key, scoreproto::signingText(method, path, timestamp, nonce, body));
    HttpRequest request;
    request.method = method;
    request.url = serverUrl + path;
    request.headers = {{"Content-Type", contentType},
                       {scoreproto::kKeyHeader, key.publicHex},
                       {scoreproto::kTimestampHeader, timestamp},
                       {scoreproto::kNonceHeader, nonce},
                       {scoreproto::kSignatureHeader, signature}};
    request.body = std::move(body);
    return request;
}

}  // namespace scoreclient

#include "scoreserver/signed_request.h"

#include "scoreproto/request_signature.h"

namespace scoreserver {
namespace {

bool isLowerHex(std::string_view text, std::size_t length) {
    if (text.size() != length) return false;
    for (char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    }
    return true;
}

std::string lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

SignatureCheck refused(std::string message) { return {false, {}, std::move(message)}; }

}  // namespace

SignatureCheck checkSignature(const HttpRequest& request, std::int64_t nowSeconds) {
    auto key = request.header(lower(scoreproto::kKeyHeader));
    auto timestamp = request.header(lower(scoreproto::kTimestampHeader));
    auto nonce = request.header(lower(scoreproto::kNonceHeader));
    auto signature = request.header(lower(scoreproto::kSignatureHeader));
    if (key.empty() || timestamp.empty() || nonce.empty() || signature.empty()) {
        return refused("the request is not signed");
    }
    if (!isLowerHex(key, scoreproto::kPublicKeyBytes * 2) || !isLowerHex(nonce, scoreproto::kNonceBytes * 2) ||
        !isLowerHex(signature, scoreproto::kSignatureBytes * 2)) {
        return refused("malformed signature headers");
    }
    long long seconds = 0;
    if (!scoreproto::parseTimestamp(timestamp, seconds)) return refused("malformed timestamp");
    long long skew = seconds - nowSeconds;
    if (skew > scoreproto::kMaxClockSkewSeconds || skew < -scoreproto::kMaxClockSkewSeconds) {
        return refused("the timestamp is too far from the server's clock");
    }
    std::string text = scoreproto::signingText(request.method, request.target, timestamp, nonce, request.body);
    if (!scoreproto::verifySignatureHex(key, text, signature)) return refused("bad signature");
    return {true, std::string(key), {}};
}

SignatureCheck checkSignedRequest(const HttpRequest& request, std::int64_t nowSeconds, scoredb::ScoreStore& store) {
    SignatureCheck check = checkSignature(request, nowSeconds);
    if (!check.ok) return check;
    std::string nonce(request.header(lower(scoreproto::kNonceHeader)));
    if (!store.useNonce(check.publicKey, nonce, nowSeconds * 1000)) return refused("the nonce was used before");
    return check;
}

}  // namespace scoreserver

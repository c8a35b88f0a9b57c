// The checks every write request passes before it is acted on: the four
// signature headers well formed, the timestamp within the allowed skew,
// the Ed25519 signature good over method, path, timestamp, nonce and the
// body's digest, and the nonce never seen before for that key.
#pragma once

#include <cstdint>
#include <string>

#include "scoredb/score_store.h"
#include "scoreserver/http_message.h"

namespace scoreserver {

struct SignatureCheck {
    bool ok = false;
    std::string publicKey;  // when ok
    std::string refusal;    // the message of the 401 otherwise
};

// Everything but the nonce, which needs the database.
SignatureCheck checkSignature(const HttpRequest& request, std::int64_t nowSeconds);

// The whole check, the nonce recorded as used when the rest holds.
SignatureCheck checkSignedRequest(const HttpRequest& request, std::int64_t nowSeconds, scoredb::ScoreStore& store);

}  // namespace scoreserver

// Fuzzes what the score server reads from a submission before any replay is
// played: the body's size rules, and the signature headers (key, timestamp,
// nonce, signature) as text. The input is split at its first four newlines
// into key, timestamp, nonce and signature; the rest is the body.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "scoreproto/hex.h"
#include "scoreproto/player_name.h"
#include "scoreproto/replay_shape.h"
#include "scoreproto/request_signature.h"

namespace {

std::string_view nextField(std::string_view& rest) {
    const auto end = rest.find('\n');
    const std::string_view field = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    return field;
}

// Whatever hex text reads as bytes writes back as the very same text.
void checkHexRoundTrip(std::string_view text, std::size_t bytes) {
    if (const auto read = scoreproto::fromHex(text, bytes)) FUZZ_EXPECT(scoreproto::toHex(*read) == text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const scoreproto::PlayerKey player = scoreproto::generatePlayerKey();
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    const std::string_view key = nextField(rest);
    const std::string_view timestamp = nextField(rest);
    const std::string_view nonce = nextField(rest);
    const std::string_view signature = nextField(rest);
    const std::string_view body = rest;

    const auto shape = scoreproto::checkReplayShape(body.size());
    FUZZ_EXPECT((shape == scoreproto::ReplayShape::Ok) ==
                (body.size() % 24 == 0 && body.size() >= 48 && body.size() <= scoreproto::kMaxReplayBytes));

    long long seconds = -1;
    if (scoreproto::parseTimestamp(timestamp, seconds)) {
        FUZZ_EXPECT(seconds >= 0);
        FUZZ_EXPECT(std::stoll(std::string(timestamp)) == seconds);
    }
    checkHexRoundTrip(key, scoreproto::kPublicKeyBytes);
    checkHexRoundTrip(nonce, scoreproto::kNonceBytes);
    checkHexRoundTrip(signature, scoreproto::kSignatureBytes);

    const std::string text = scoreproto::signingText("POST", "/api/v1/runs?stage=0", timestamp, nonce, body);
    // A forged signature under our key, or any under a key that did not sign, fails.
    FUZZ_EXPECT(!scoreproto::verifySignatureHex(player.publicHex, text, signature));
    (void)scoreproto::verifySignatureHex(key, text, signature);
    // What our key signs verifies, and not once the text changes.
    const std::string signed_ = scoreproto::signHex(player, text);
    FUZZ_EXPECT(scoreproto::verifySignatureHex(player.publicHex, text, signed_));
    FUZZ_EXPECT(!scoreproto::verifySignatureHex(player.publicHex, text + "x", signed_));

    if (scoreproto::isValidPlayerName(key)) {
        FUZZ_EXPECT(scoreproto::isValidPlayerName(scoreproto::nameKey(key)));
        FUZZ_EXPECT(scoreproto::nameKey(scoreproto::nameKey(key)) == scoreproto::nameKey(key));
    }
    return 0;
}

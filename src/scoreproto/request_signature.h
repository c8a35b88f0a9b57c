// How a write request proves which player sent it: the player's Ed25519 key
// signs the method, the path with its query, a timestamp, a one-time nonce
// and the SHA-256 of the body, and the four headers below carry the proof.
// The server checks the signature here and the timestamp and nonce itself.
#pragma once

#include <string>
#include <string_view>

namespace scoreproto {

// Header names on every signed (write) request:
inline constexpr const char* kKeyHeader = "X-KVR-Key";              // public key, 64 lowercase hex chars (Ed25519, 32 bytes)
inline constexpr const char* kTimestampHeader = "X-KVR-Timestamp";  // unix seconds, decimal
inline constexpr const char* kNonceHeader = "X-KVR-Nonce";          // 32 lowercase hex chars, random, one-time
inline constexpr const char* kSignatureHeader = "X-KVR-Signature";  // 128 lowercase hex chars, detached signature of signingText
inline constexpr long kMaxClockSkewSeconds = 300;

inline constexpr std::size_t kPublicKeyBytes = 32, kSecretKeyBytes = 64, kSignatureBytes = 64, kNonceBytes = 16;

std::string sha256Hex(std::string_view bytes);
// METHOD "\n" PATH(with query) "\n" TIMESTAMP "\n" NONCE "\n" sha256Hex(body)
std::string signingText(std::string_view method, std::string_view path, std::string_view timestamp,
                        std::string_view nonce, std::string_view body);

struct PlayerKey {
    std::string publicHex;
    std::string secret;  // 64 raw bytes (seed and public key, as libsodium keeps it)
};
PlayerKey generatePlayerKey();
std::string signHex(const PlayerKey& key, std::string_view text);
// False for any malformed key or signature text as well as a wrong signature.
bool verifySignatureHex(std::string_view publicHex, std::string_view text, std::string_view signatureHex);
std::string randomNonceHex();

// Key file: created mode 0600, replaced atomically; loadPlayerKey throws
// std::runtime_error with a readable message.
void savePlayerKey(const std::string& file, const PlayerKey& key);
PlayerKey loadPlayerKey(const std::string& file);

// Reads the timestamp header's text strictly (decimal digits only); false
// when it is not one.
bool parseTimestamp(std::string_view text, long long& seconds);

}  // namespace scoreproto

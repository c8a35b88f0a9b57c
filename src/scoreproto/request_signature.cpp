// Signing and checking requests with libsodium's Ed25519 and SHA-256.
#include "scoreproto/request_signature.h"

#include <sodium.h>

#include <charconv>
#include <stdexcept>

#include "scoreproto/hex.h"
#include "scoreproto/sodium_init.h"

namespace scoreproto {

std::string sha256Hex(std::string_view bytes) {
    ensureSodium();
    unsigned char digest[crypto_hash_sha256_BYTES];
    crypto_hash_sha256(digest, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    return toHex(std::string_view(reinterpret_cast<const char*>(digest), sizeof digest));
}

std::string signingText(std::string_view method, std::string_view path, std::string_view timestamp,
                        std::string_view nonce, std::string_view body) {
    std::string text;
    text.reserve(method.size() + path.size() + timestamp.size() + nonce.size() + 4 + 64);
    text.append(method).append("\n").append(path).append("\n").append(timestamp).append("\n");
    text.append(nonce).append("\n").append(sha256Hex(body));
    return text;
}

PlayerKey generatePlayerKey() {
    ensureSodium();
    unsigned char publicKey[crypto_sign_PUBLICKEYBYTES];
    unsigned char secretKey[crypto_sign_SECRETKEYBYTES];
    crypto_sign_keypair(publicKey, secretKey);
    PlayerKey key{toHex(std::string_view(reinterpret_cast<const char*>(publicKey), sizeof publicKey)),
                  std::string(reinterpret_cast<const char*>(secretKey), sizeof secretKey)};
    sodium_memzero(secretKey, sizeof secretKey);
    return key;
}

std::string signHex(const PlayerKey& key, std::string_view text) {
    ensureSodium();
    if (key.secret.size() != crypto_sign_SECRETKEYBYTES) throw std::invalid_argument("a player key's secret is 64 bytes");
    unsigned char signature[crypto_sign_BYTES];
    crypto_sign_detached(signature, nullptr, reinterpret_cast<const unsigned char*>(text.data()), text.size(),
                         reinterpret_cast<const unsigned char*>(key.secret.data()));
    return toHex(std::string_view(reinterpret_cast<const char*>(signature), sizeof signature));
}

bool verifySignatureHex(std::string_view publicHex, std::string_view text, std::string_view signatureHex) {
    ensureSodium();
    const auto publicKey = fromHex(publicHex, crypto_sign_PUBLICKEYBYTES);
    const auto signature = fromHex(signatureHex, crypto_sign_BYTES);
    if (!publicKey || !signature) return false;
    return crypto_sign_verify_detached(reinterpret_cast<const unsigned char*>(signature->data()),
                                       reinterpret_cast<const unsigned char*>(text.data()), text.size(),
                                       reinterpret_cast<const unsigned char*>(publicKey->data())) == 0;
}

std::string randomNonceHex() {
    ensureSodium();
    unsigned char nonce[kNonceBytes];
    randombytes_buf(nonce, sizeof nonce);
    return toHex(std::string_view(reinterpret_cast<const char*>(nonce), sizeof nonce));
}

bool parseTimestamp(std::string_view text, long long& seconds) {
    if (text.empty() || text.size() > 19) return false;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    return error == std::errc() && end == text.data() + text.size();
}

}  // namespace scoreproto

// The player's key file: the whole identity of a player, so it is written
// readable by its owner only, and replaced atomically so a crash or a power
// cut leaves either the old key or the new one, never half of one.
//
//   # kvr2013-scores player key: whoever holds this file is this player
//   public <64 hex>
//   secret <128 hex>
#include <fcntl.h>
#include <sodium.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "durable_file/durable_file.h"
#include "scoreproto/hex.h"
#include "scoreproto/request_signature.h"
#include "scoreproto/sodium_init.h"

namespace scoreproto {

namespace {

constexpr const char* kFirstLine = "# kvr2013-scores player key: whoever holds this file is this player";

[[noreturn]] void failWithErrno(const std::string& what, const std::string& file) {
    throw std::runtime_error(what + " " + file + ": " + std::strerror(errno));
}

}  // namespace

void savePlayerKey(const std::string& file, const PlayerKey& key) {
    if (key.secret.size() != kSecretKeyBytes) throw std::invalid_argument("a player key's secret is 64 bytes");
    const std::string text = std::string(kFirstLine) + "\npublic " + key.publicHex + "\nsecret " + toHex(key.secret) + "\n";

    // Created private (0600) by the one atomic replace every saved file goes through.
    if (const int error = durable::replaceFile(file, text, ".tmp", S_IRUSR | S_IWUSR); error != 0) {
        errno = error;
        failWithErrno("cannot write the key file", file);
    }
}

PlayerKey loadPlayerKey(const std::string& file) {
    ensureSodium();
    std::ifstream in(file);
    if (!in) throw std::runtime_error("cannot read the key file " + file + ": " + std::strerror(errno));
    std::string publicHex, secretHex, line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream words(line);
        std::string field, value, extra;
        words >> field >> value;
        if (words >> extra) throw std::runtime_error("the key file " + file + " has an unreadable line");
        if (field == "public" && publicHex.empty()) {
            publicHex = value;
        } else if (field == "secret" && secretHex.empty()) {
            secretHex = value;
        } else {
            throw std::runtime_error("the key file " + file + " has an unreadable line");
        }
    }
    const auto publicKey = fromHex(publicHex, kPublicKeyBytes);
    const auto secret = fromHex(secretHex, kSecretKeyBytes);
    if (!publicKey || !secret) throw std::runtime_error("the key file " + file + " holds no whole key");
    // The secret carries its public half; a file whose two halves disagree
    // would sign requests the server can never check.
    unsigned char derived[crypto_sign_PUBLICKEYBYTES];
    crypto_sign_ed25519_sk_to_pk(derived, reinterpret_cast<const unsigned char*>(secret->data()));
    if (std::memcmp(derived, publicKey->data(), sizeof derived) != 0) {
        throw std::runtime_error("the key file " + file + " holds a public key that is not its secret's");
    }
    return PlayerKey{publicHex, *secret};
}

}  // namespace scoreproto

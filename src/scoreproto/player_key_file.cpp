// The player's key file: the whole identity of a player, so it is written
// readable by its owner only, and replaced by a rename so a crash leaves
// either the old key or the new one, never half of one.
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

#include "scoreproto/hex.h"
#include "scoreproto/request_signature.h"
#include "scoreproto/sodium_init.h"

namespace scoreproto {

namespace {

constexpr const char* kFirstLine = "# kvr2013-scores player key: whoever holds this file is this player";

[[noreturn]] void failWithErrno(const std::string& what, const std::string& file) {
    throw std::runtime_error(what + " " + file + ": " + std::strerror(errno));
}

void writeAll(int fd, const std::string& text, const std::string& file) {
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) failWithErrno("cannot write the key file", file);
        written += static_cast<std::size_t>(n);
    }
}

}  // namespace

void savePlayerKey(const std::string& file, const PlayerKey& key) {
    if (key.secret.size() != kSecretKeyBytes) throw std::invalid_argument("a player key's secret is 64 bytes");
    const std::string text = std::string(kFirstLine) + "\npublic " + key.publicHex + "\nsecret " + toHex(key.secret) + "\n";

    std::vector<char> temporary(file.begin(), file.end());
    const std::string suffix = ".tmp-XXXXXX";
    temporary.insert(temporary.end(), suffix.begin(), suffix.end());
    temporary.push_back('\0');
    // mkstemp creates the file with mode 0600 whatever the umask.
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) failWithErrno("cannot create the key file", file);
    const std::string temporaryName(temporary.data());
    try {
        writeAll(fd, text, file);
        if (::fchmod(fd, S_IRUSR | S_IWUSR) != 0) failWithErrno("cannot make private the key file", file);
        if (::fsync(fd) != 0) failWithErrno("cannot write the key file", file);
    } catch (...) {
        ::close(fd);
        ::unlink(temporaryName.c_str());
        throw;
    }
    ::close(fd);
    if (::rename(temporaryName.c_str(), file.c_str()) != 0) {
        const int saved = errno;
        ::unlink(temporaryName.c_str());
        errno = saved;
        failWithErrno("cannot replace the key file", file);
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

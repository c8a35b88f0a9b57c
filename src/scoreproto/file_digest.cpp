#include "scoreproto/file_digest.h"

#include <sodium.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>

#include "scoreproto/hex.h"
#include "scoreproto/sodium_init.h"

namespace scoreproto {

std::string sha256FileHex(const std::string& file) {
    ensureSodium();
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> in(std::fopen(file.c_str(), "rb"), &std::fclose);
    if (!in) throw std::runtime_error("cannot read " + file + ": " + std::strerror(errno));
    crypto_hash_sha256_state state;
    crypto_hash_sha256_init(&state);
    unsigned char block[1 << 16];
    std::size_t n = 0;
    while ((n = std::fread(block, 1, sizeof block, in.get())) > 0) crypto_hash_sha256_update(&state, block, n);
    if (std::ferror(in.get())) throw std::runtime_error("cannot read " + file + ": " + std::strerror(errno));
    unsigned char digest[crypto_hash_sha256_BYTES];
    crypto_hash_sha256_final(&state, digest);
    return toHex(std::string_view(reinterpret_cast<const char*>(digest), sizeof digest));
}

}  // namespace scoreproto

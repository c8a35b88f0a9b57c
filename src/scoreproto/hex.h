// Lowercase hexadecimal, the one spelling of keys, nonces, signatures and
// digests on the wire. Reading is strict: an uppercase or odd-length text is
// not the same key written another way, it is a malformed one.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace scoreproto {

std::string toHex(std::string_view bytes);
// The bytes of `hex`, or nothing when it is not lowercase hex of exactly
// `expectedBytes` bytes.
std::optional<std::string> fromHex(std::string_view hex, std::size_t expectedBytes);

}  // namespace scoreproto

// SHA-256 of a whole file read in blocks, for traces far larger than a
// replay: the digest of a run's trace is that run's identity.
#pragma once

#include <string>

namespace scoreproto {

// Lowercase hex; throws std::runtime_error when the file cannot be read.
std::string sha256FileHex(const std::string& file);

}  // namespace scoreproto

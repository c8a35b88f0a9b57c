// Turns a fuzz input into the bytes of a recording file. An input that starts
// with 'T' has the rest repeated past the 36000-frame buffer, so the capacity
// check is reached without committing megabyte seeds.
#pragma once

#include <cstdint>
#include <vector>

#include "kiln2/kiln2.h"

namespace fuzz {

inline std::vector<uint8_t> recordFileBytes(const uint8_t* data, size_t size, size_t tiledBytes) {
    if (size < 2 || data[0] != 'T') return std::vector<uint8_t>(data, data + size);
    std::vector<uint8_t> bytes;
    bytes.reserve(tiledBytes + size);
    while (bytes.size() < tiledBytes) bytes.insert(bytes.end(), data + 1, data + size);
    return bytes;
}

inline int16_t int16At(const std::vector<uint8_t>& bytes, size_t offset) {
    return static_cast<int16_t>(static_cast<uint16_t>(bytes[offset] | bytes[offset + 1] << 8));
}

// The loaders log through the framework: headless, to stdout (closed by
// -close_fd_mask=1), never to "run.log".
inline void quietFramework() {
    Kiln_useHeadlessBackend(
        {.readResourceFiles = false, .writeRunLog = false, .logToStderr = false, .recordDrawCalls = false});
}

}  // namespace fuzz

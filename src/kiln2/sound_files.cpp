// Checking sound files without an audio device: when the game runs silently
// (no device, or the headless backend) a missing or broken sound must still
// be the error it would be with sound.
#include <cstdio>
#include <cstring>
#include <vector>

#include "kiln2/backend.h"
#include "kiln2/file_bytes.h"

namespace {

bool readAll(const std::string& file, std::vector<uint8_t>& bytes, std::string& error) {
    std::string reason;
    if (kilnReadFileBytes(file, bytes, reason)) return true;
    error = "Couldn't open " + file + ": " + reason;
    return false;
}

uint32_t u32At(const std::vector<uint8_t>& b, size_t at) {
    return static_cast<uint32_t>(b[at]) | static_cast<uint32_t>(b[at + 1]) << 8 |
           static_cast<uint32_t>(b[at + 2]) << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

bool tagAt(const std::vector<uint8_t>& b, size_t at, const char* tag) {
    return at + 4 <= b.size() && std::memcmp(b.data() + at, tag, 4) == 0;
}

// The WAVE encodings a mixer can play: PCM, ADPCM (MS, IMA), float, A-law,
// mu-law, and the extensible header that wraps them.
bool playableFormat(uint32_t tag) {
    switch (tag) {
        case 0x0001: case 0x0002: case 0x0003: case 0x0006: case 0x0007: case 0x0011: case 0xFFFE: return true;
        default: return false;
    }
}

}  // namespace

bool kilnCheckWavFile(const std::string& file, std::string& error) {
    std::vector<uint8_t> b;
    if (!readAll(file, b, error)) return false;
    if (b.size() < 12) {
        error = "Couldn't read first 4 bytes of audio data";
        return false;
    }
    if (!tagAt(b, 0, "RIFF") || !tagAt(b, 8, "WAVE")) {
        error = "Unrecognized audio format";
        return false;
    }
    bool haveFormat = false;
    bool haveData = false;
    // Chunks follow one another, each padded to an even length.
    for (size_t at = 12; at + 8 <= b.size();) {
        const uint32_t length = u32At(b, at + 4);
        if (tagAt(b, at, "fmt ")) {
            if (length < 16 || at + 8 + 16 > b.size()) {
                error = "Complex WAVE files not supported";
                return false;
            }
            const uint32_t formatTag = u32At(b, at + 8) & 0xFFFFu;
            const uint32_t channels = (u32At(b, at + 8) >> 16) & 0xFFFFu;
            if (!playableFormat(formatTag) || channels == 0) {
                error = "Unknown WAVE data format";
                return false;
            }
            haveFormat = true;
        } else if (tagAt(b, at, "data")) {
            haveData = true;
            break;
        }
        at += 8 + static_cast<size_t>(length) + (length & 1u);
    }
    if (!haveFormat) {
        error = "Missing fmt chunk";
        return false;
    }
    if (!haveData) {
        error = "Missing data chunk";
        return false;
    }
    return true;
}

bool kilnCheckFileOpens(const std::string& file, std::string& error) {
    std::FILE* in = std::fopen(file.c_str(), "rb");
    if (!in) {
        error = "Couldn't open '" + file + "'";
        return false;
    }
    std::fclose(in);
    return true;
}

// Small helpers for the recording tests: a keypad frame as twelve flags, and
// replay files written or read byte by byte, independently of the keypad.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "config/temp_dir.h"
#include "keypad/keypad_state.h"

inline std::array<bool, 12> flagsOf(const KeypadState& s) {
    return {s.pressA,   s.pressB,   s.pressLeft,   s.pressUp,   s.pressRight,   s.pressDown,
            s.triggerA, s.triggerB, s.triggerLeft, s.triggerUp, s.triggerRight, s.triggerDown};
}

inline std::string littleEndian(const std::vector<int16_t>& values) {
    std::string bytes;
    for (int16_t value : values) {
        const uint16_t bits = static_cast<uint16_t>(value);
        bytes += static_cast<char>(bits & 0xff);
        bytes += static_cast<char>(bits >> 8);
    }
    return bytes;
}

inline std::vector<int16_t> valuesIn(const std::string& file) {
    const std::string bytes = readText(file);
    std::vector<int16_t> values;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        values.push_back(static_cast<int16_t>(static_cast<uint8_t>(bytes[i]) | (static_cast<uint8_t>(bytes[i + 1]) << 8)));
    }
    return values;
}

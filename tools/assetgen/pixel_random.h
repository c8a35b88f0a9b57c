// A tiny fixed-seed integer generator for scattering stars and noise, so every
// run of the generator draws the same picture and the same sound.
#pragma once

#include <cstdint>

namespace assetgen {

class PixelRandom {
public:
    explicit PixelRandom(std::uint32_t seed) : state_(seed == 0 ? 0x9E3779B9u : seed) {}

    // xorshift32: fast, tiny, and identical on every platform.
    std::uint32_t next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    // Uniform-ish value in [0, n) for n > 0.
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint32_t>(n)); }

private:
    std::uint32_t state_;
};

} // namespace assetgen

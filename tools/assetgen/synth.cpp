// Integer oscillators, envelopes and the finishing pass shared by the
// effects and the music.
#include "synth.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <stdexcept>

namespace assetgen {

int samplesForMs(int ms) { return ms * kSampleRate / 1000; }

std::int64_t noteMilliHz(int midiNote) {
    // Equal temperament, octave 4 (MIDI 60-71), A4 = 440 Hz.
    static constexpr std::array<std::int64_t, 12> kOctave4{261626, 277183, 293665, 311127, 329628, 349228,
                                                           369994, 391995, 415305, 440000, 466164, 493883};
    if (midiNote < 0 || midiNote > 127) {
        throw std::runtime_error("noteMilliHz: note out of range");
    }
    int octave = midiNote / 12 - 5;
    std::int64_t f = kOctave4[static_cast<std::size_t>(midiNote % 12)];
    return octave >= 0 ? f << octave : f >> (-octave);
}

std::uint32_t phaseStep(std::int64_t milliHz) {
    return static_cast<std::uint32_t>((milliHz << 32) / (static_cast<std::int64_t>(kSampleRate) * 1000));
}

int sineWave(std::uint32_t phase) {
    // Parabola approximation of a sine: 4t(1-|t|) over a half turn.
    auto t = static_cast<std::int32_t>(static_cast<std::int16_t>(phase >> 16));  // -32768..32767
    std::int64_t y = 4LL * t * (32768 - std::abs(t)) / 32768;
    return static_cast<int>(std::clamp<std::int64_t>(y, -kFullScale, kFullScale));
}

int triangleWave(std::uint32_t phase) {
    std::uint32_t p = phase + 0x40000000u;  // start at zero, rising
    int ramp = static_cast<int>(p >> 16);   // 0..65535
    int tri = ramp < 32768 ? ramp * 2 - 32768 : (65535 - ramp) * 2 - 32767;
    return std::clamp(tri, -kFullScale, kFullScale);
}

int sawWave(std::uint32_t phase) {
    int s = static_cast<int>(static_cast<std::int16_t>((phase + 0x80000000u) >> 16));
    return std::clamp(s, -kFullScale, kFullScale);
}

int pulseWave(std::uint32_t phase, int dutyEighths) {
    // High for duty/8 of the cycle; the two levels are set so the wave
    // averages to zero whatever the duty.
    dutyEighths = std::clamp(dutyEighths, 1, 7);
    const int span = 2 * kFullScale;
    bool high = (phase >> 29) < static_cast<std::uint32_t>(dutyEighths);
    return high ? span * (8 - dutyEighths) / 16 : -span * dutyEighths / 16;
}

int NoiseSource::next(std::int64_t clockMilliHz) {
    std::uint32_t step = phaseStep(clockMilliHz);
    std::uint32_t before = phase_;
    phase_ += step;
    if (phase_ < before || step == 0) {  // one clock per wrap of the phase
        std::uint32_t tap = metallic_ ? 6u : 1u;
        std::uint32_t bit = (shift_ ^ (shift_ >> tap)) & 1u;
        shift_ = (shift_ >> 1) | (bit << 14);
    }
    return (shift_ & 1u) != 0 ? kFullScale : -kFullScale;
}

int rampUp(int i, int n) {
    if (n <= 0 || i >= n) {
        return kUnity;
    }
    return std::max(0, i) * kUnity / n;
}

int rampDown(int i, int n) { return kUnity - rampUp(i, n); }

int decayCurve(int i, int n, int power) {
    if (i >= n || n <= 0) {
        return 0;
    }
    std::int64_t t = static_cast<std::int64_t>(n - std::max(0, i)) * kUnity / n;
    std::int64_t g = kUnity;
    for (int k = 0; k < power; ++k) {
        g = g * t / kUnity;
    }
    return static_cast<int>(g);
}

int noteEnvelope(int i, int n, int attack, int decay, int sustain, int release) {
    if (i < 0 || i >= n) {
        return 0;
    }
    std::int64_t g;
    if (i < attack) {
        g = static_cast<std::int64_t>(i) * kUnity / attack;
    } else if (decay > 0 && i < attack + decay) {
        g = kUnity - static_cast<std::int64_t>(kUnity - sustain) * (i - attack) / decay;
    } else {
        g = sustain;
    }
    int fromEnd = n - i;
    if (fromEnd < release) {
        g = g * fromEnd / release;
    }
    return static_cast<int>(g);
}

std::int64_t glide(std::int64_t from, std::int64_t to, int i, int n) {
    if (i >= n) {
        return to;
    }
    std::int64_t left = static_cast<std::int64_t>(n - std::max(0, i));
    return to + (from - to) * left * left / (static_cast<std::int64_t>(n) * n);
}

void addSample(MixBuffer& mix, std::size_t index, int value, int gain, int volume) {
    if (index >= mix.size()) {
        mix.resize(index + 1, 0);
    }
    std::int64_t v = static_cast<std::int64_t>(value) * gain / kUnity * volume / 256;
    mix[index] += static_cast<std::int32_t>(v);
}

std::vector<std::int16_t> finishSound(const MixBuffer& mix, int peak, bool edgeRamps) {
    if (mix.empty()) {
        throw std::runtime_error("finishSound: empty sound");
    }
    std::int64_t sum = 0;
    for (std::int32_t s : mix) {
        sum += s;
    }
    const auto count = static_cast<std::int64_t>(mix.size());
    const std::int64_t mean = sum / count;
    std::int64_t loudest = 1;
    for (std::int32_t s : mix) {
        loudest = std::max(loudest, std::abs(s - mean));
    }
    const int fadeIn = samplesForMs(2);
    const int fadeOut = samplesForMs(4);
    std::vector<std::int16_t> out(mix.size());
    for (std::size_t i = 0; i < mix.size(); ++i) {
        std::int64_t v = (mix[i] - mean) * peak / loudest;
        auto index = static_cast<int>(i);
        if (edgeRamps) {
            v = v * rampUp(index, fadeIn) / kUnity;
            v = v * rampUp(static_cast<int>(count) - 1 - index, fadeOut) / kUnity;
        }
        out[i] = static_cast<std::int16_t>(std::clamp<std::int64_t>(v, -kFullScale, kFullScale));
    }
    return out;
}

} // namespace assetgen

// The sound toolkit: integer oscillators (sine-like, triangle, saw, pulse,
// noise), envelopes and the final level, DC and edge treatment. Everything is
// integer maths so a sound comes out bit for bit the same on every machine.
#pragma once

#include <cstdint>
#include <vector>

namespace assetgen {

inline constexpr int kSampleRate = 22050;
inline constexpr int kFullScale = 32767;
// Target peaks: effects sit at about -4.5 dBFS; the looped music peaks at
// about -9 dBFS, which puts its loudness (RMS) under that of every effect so
// an effect always cuts through it. The results jingle plays on its own and
// may be louder, about -6 dBFS.
inline constexpr int kEffectPeak = 19482;
inline constexpr int kMusicPeak = 11599;
inline constexpr int kJinglePeak = 16422;

// Unity gain for the Q16 envelope values below.
inline constexpr int kUnity = 65536;

using MixBuffer = std::vector<std::int32_t>;

int samplesForMs(int ms);

// Frequencies are in milli-hertz so pitches stay exact in integers.
std::int64_t noteMilliHz(int midiNote);
std::uint32_t phaseStep(std::int64_t milliHz);

// Oscillators over a 32-bit phase (a full turn is 2^32); all return about
// -32767..32767 and average to zero over a cycle.
int sineWave(std::uint32_t phase);
int triangleWave(std::uint32_t phase);
int sawWave(std::uint32_t phase);
int pulseWave(std::uint32_t phase, int dutyEighths);

// A 15-bit shift-register noise clocked at `milliHz` clocks per second, with
// the long (hissy) or the short (metallic) feedback tap.
class NoiseSource {
public:
    explicit NoiseSource(bool metallic = false) : metallic_(metallic) {}
    int next(std::int64_t clockMilliHz);

private:
    std::uint32_t phase_ = 0;
    std::uint32_t shift_ = 1;
    bool metallic_;
};

// Envelopes: gains in Q16 (kUnity = 1.0) for sample i of n.
int rampUp(int i, int n);
int rampDown(int i, int n);
// (1 - i/n)^power: an exponential-looking decay that is exactly 0 at n.
int decayCurve(int i, int n, int power);
// Attack, linear fall to a sustain level, and a release that ends exactly at n.
int noteEnvelope(int i, int n, int attack, int decay, int sustain, int release);

// A pitch glide from `from` to `to` over n samples, fast at first like an
// exponential one (quadratic ease-out).
std::int64_t glide(std::int64_t from, std::int64_t to, int i, int n);

// Adds value * gain / kUnity * volume / 256 into the buffer, growing it as needed.
void addSample(MixBuffer& mix, std::size_t index, int value, int gain, int volume);

// Finishing: removes any DC, scales the peak to `peak` and converts to 16-bit
// samples. With `edgeRamps` the first and last few milliseconds are ramped so a
// one-shot sound starts and ends at zero; looped music leaves them alone (its
// notes already start and end at zero, and a ramp would dip at the loop point).
std::vector<std::int16_t> finishSound(const MixBuffer& mix, int peak, bool edgeRamps);

} // namespace assetgen

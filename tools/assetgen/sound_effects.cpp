// The five sound effects of a run. Each is built sample by sample from the
// oscillators and envelopes of the synth, then levelled to the same peak so
// none of them hides another.
#include "sounds.h"
#include "synth.h"

#include <algorithm>
#include <array>

namespace assetgen {
namespace {

std::int64_t hz(int h) { return static_cast<std::int64_t>(h) * 1000; }

// One ringing bell note of the pickup chime: a sine with a quieter pulse an
// octave up for sparkle, dying away over `ring` samples.
void chimeNote(MixBuffer& mix, int start, int midi, int ring, int volume) {
    const std::int64_t f = noteMilliHz(midi);
    const std::uint32_t step = phaseStep(f);
    const std::uint32_t sparkleStep = phaseStep(f * 2);
    std::uint32_t phase = 0;
    std::uint32_t sparkle = 0;
    for (int i = 0; i < ring; ++i) {
        int value = sineWave(phase) * 3 / 4 + pulseWave(sparkle, 2) / 5;
        int gain = std::min(rampUp(i, 44), decayCurve(i, ring, 2));
        addSample(mix, static_cast<std::size_t>(start + i), value, gain, volume);
        phase += step;
        sparkle += sparkleStep;
    }
}

} // namespace

Samples makeItemGetSound() {
    // E major arpeggio upward, one note every 45 ms, the top note ringing longest.
    MixBuffer mix;
    const std::array<int, 5> notes{76, 80, 83, 88, 92};  // E5 G#5 B5 E6 G#6
    const int gap = samplesForMs(45);
    for (std::size_t k = 0; k < notes.size(); ++k) {
        bool last = k + 1 == notes.size();
        chimeNote(mix, static_cast<int>(k) * gap, notes[k], samplesForMs(last ? 260 : 160), last ? 220 : 180);
    }
    return finishSound(mix, kEffectPeak, true);
}

Samples makeMissSound() {
    // A square and a slightly detuned saw sliding down from 520 Hz to 70 Hz,
    // chopped 30 times a second and roughened with noise: a harsh buzz.
    MixBuffer mix;
    const int n = samplesForMs(560);
    NoiseSource noise;
    std::uint32_t square = 0;
    std::uint32_t saw = 0;
    std::uint32_t chop = 0;
    const std::uint32_t chopStep = phaseStep(hz(30));
    for (int i = 0; i < n; ++i) {
        std::int64_t f = glide(hz(520), hz(70), i, n);
        int buzz = pulseWave(square, 4) / 2 + sawWave(saw) / 2;
        int value = buzz + noise.next(hz(6000)) / 6;
        int chopGain = pulseWave(chop, 5) > 0 ? kUnity : kUnity * 2 / 5;
        int gain = std::min(rampUp(i, 66), decayCurve(i, n, 1));
        gain = static_cast<int>(static_cast<std::int64_t>(gain) * chopGain / kUnity);
        addSample(mix, static_cast<std::size_t>(i), value, gain, 256);
        square += phaseStep(f);
        saw += phaseStep(f * 1012 / 1000);
        chop += chopStep;
    }
    return finishSound(mix, kEffectPeak, true);
}

Samples makeBreakSound() {
    // Noise whose clock falls from 11 kHz to 700 Hz (the burst darkens as it
    // fades) over a sine thump dropping from 110 Hz to 35 Hz.
    MixBuffer mix;
    const int n = samplesForMs(760);
    const int thumpLength = samplesForMs(220);
    NoiseSource noise;
    std::uint32_t thump = 0;
    for (int i = 0; i < n; ++i) {
        int burst = noise.next(glide(hz(11000), hz(700), i, n));
        int gain = std::min(rampUp(i, 22), decayCurve(i, n, 3));
        addSample(mix, static_cast<std::size_t>(i), burst, gain, 200);
        if (i < thumpLength) {
            addSample(mix, static_cast<std::size_t>(i), sineWave(thump), std::min(rampUp(i, 22), decayCurve(i, thumpLength, 2)), 190);
            thump += phaseStep(glide(hz(110), hz(35), i, thumpLength));
        }
    }
    return finishSound(mix, kEffectPeak, true);
}

Samples makeUpSound() {
    // A thin pulse sweeping up from 330 Hz to 880 Hz with a breath of noise:
    // short, because it plays on every new press of UP.
    MixBuffer mix;
    const int n = samplesForMs(140);
    NoiseSource noise;
    std::uint32_t phase = 0;
    for (int i = 0; i < n; ++i) {
        std::int64_t f = glide(hz(330), hz(880), i, samplesForMs(100));
        int value = pulseWave(phase, 1) * 2 / 3 + noise.next(hz(16000)) / 4;
        int gain = std::min(rampUp(i, 44), decayCurve(i, n, 2));
        addSample(mix, static_cast<std::size_t>(i), value, gain, 256);
        phase += phaseStep(f);
    }
    return finishSound(mix, kEffectPeak, true);
}

Samples makeBarrierSound() {
    // Two detuned pulses rising from 180 Hz to 360 Hz, their duty swapping six
    // times a second, a sine an octave up, and a 12 Hz tremolo: the barrier
    // humming as it powers up.
    MixBuffer mix;
    const int n = samplesForMs(850);
    std::uint32_t a = 0;
    std::uint32_t b = 0;
    std::uint32_t shimmer = 0;
    std::uint32_t sweep = 0;
    std::uint32_t tremolo = 0;
    const std::uint32_t sweepStep = phaseStep(hz(6));
    const std::uint32_t tremoloStep = phaseStep(hz(12));
    for (int i = 0; i < n; ++i) {
        // Linear pitch rise: the sound should climb all the way, not settle.
        std::int64_t f = hz(180) + hz(180) * i / n;
        int duty = triangleWave(sweep) > 0 ? 2 : 4;
        int value = pulseWave(a, duty) / 3 + pulseWave(b, 6 - duty) / 3 + sineWave(shimmer) / 3;
        int wobble = kUnity - (triangleWave(tremolo) + kFullScale) * (kUnity * 3 / 10) / (2 * kFullScale);
        int gain = std::min(rampUp(i, samplesForMs(40)), rampDown(i - (n - samplesForMs(180)), samplesForMs(180)));
        gain = static_cast<int>(static_cast<std::int64_t>(gain) * wobble / kUnity);
        addSample(mix, static_cast<std::size_t>(i), value, gain, 256);
        a += phaseStep(f);
        b += phaseStep(f * 1015 / 1000);
        shimmer += phaseStep(f * 2);
        sweep += sweepStep;
        tremolo += tremoloStep;
    }
    return finishSound(mix, kEffectPeak, true);
}

} // namespace assetgen

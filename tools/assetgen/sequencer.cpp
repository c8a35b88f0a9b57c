// Parsing of the note and drum text, and the instruments that render the
// events into one mix.
#include "sequencer.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>
#include <string>

namespace assetgen {
namespace {

constexpr int kAttack = 66;    // 3 ms: soft enough not to click
constexpr int kRelease = 176;  // 8 ms: every note is silent before its slot ends
constexpr int kCutRamp = 88;   // 4 ms ramp for sounds cut by the end of the piece

// Splits the text into step tokens. Bars written between "|" marks must
// hold exactly sixteen steps, and the whole text a whole number of bars, so
// a miscounted bar cannot shift the rest of a part out of time.
std::vector<std::string_view> tokens(std::string_view text) {
    std::vector<std::string_view> out;
    std::size_t barStart = 0;
    std::size_t i = 0;
    const bool marked = text.find('|') != std::string_view::npos;
    auto endBar = [&](bool last) {
        const std::size_t inBar = out.size() - barStart;
        const bool whole = marked ? inBar == kStepsPerBar || (last && inBar == 0) : inBar % kStepsPerBar == 0;
        if (!whole) {
            throw std::runtime_error("sequencer: a bar has " + std::to_string(inBar) + " steps");
        }
        barStart = out.size();
    };
    while (i < text.size()) {
        if (text[i] == '|') {
            endBar(false);
            ++i;
            continue;
        }
        if (text[i] == ' ' || text[i] == '\n') {
            ++i;
            continue;
        }
        std::size_t start = i;
        while (i < text.size() && text[i] != ' ' && text[i] != '\n' && text[i] != '|') {
            ++i;
        }
        out.push_back(text.substr(start, i - start));
    }
    endBar(true);
    return out;
}

int parseNoteName(std::string_view token) {
    static constexpr std::string_view kLetters = "C.D.EF.G.A.B";
    auto bad = [&] { return std::runtime_error("sequencer: bad note '" + std::string(token) + "'"); };
    if (token.size() < 2) {
        throw bad();
    }
    std::size_t letter = kLetters.find(token[0]);
    if (letter == std::string_view::npos || token[0] == '.') {
        throw bad();
    }
    int semitone = static_cast<int>(letter);
    std::size_t pos = 1;
    if (token[pos] == '#') {
        ++semitone;
        ++pos;
    } else if (token[pos] == 'b') {
        --semitone;
        ++pos;
    }
    if (pos + 1 != token.size() || std::isdigit(static_cast<unsigned char>(token[pos])) == 0) {
        throw bad();
    }
    int octave = token[pos] - '0';
    return (octave + 1) * 12 + semitone;
}

} // namespace

std::vector<NoteEvent> parseNotes(std::string_view text, int firstStep) {
    std::vector<NoteEvent> events;
    bool open = false;
    int step = firstStep;
    for (std::string_view token : tokens(text)) {
        if (token == ".") {
            if (open) {
                ++events.back().steps;
            }
        } else if (token == "-") {
            open = false;
        } else {
            events.push_back(NoteEvent{step, 1, parseNoteName(token)});
            open = true;
        }
        ++step;
    }
    return events;
}

std::vector<NoteEvent> parseHits(std::string_view text, int firstStep) {
    static constexpr std::string_view kDrums = "KShoC";
    std::vector<NoteEvent> hits;
    int step = firstStep;
    for (std::string_view token : tokens(text)) {
        if (token.size() != 1 || (token[0] != '.' && kDrums.find(token[0]) == std::string_view::npos)) {
            throw std::runtime_error("sequencer: bad drum '" + std::string(token) + "'");
        }
        if (token[0] != '.') {
            hits.push_back(NoteEvent{step, 1, token[0]});
        }
        ++step;
    }
    return hits;
}

std::vector<NoteEvent> shifted(const std::vector<NoteEvent>& events, int steps, int semitones) {
    std::vector<NoteEvent> out = events;
    for (NoteEvent& e : out) {
        e.step += steps;
        e.note += semitones;
    }
    return out;
}

Sequencer::Sequencer(int samplesPerStep, int totalSteps)
    : samplesPerStep_(samplesPerStep),
      mix_(static_cast<std::size_t>(samplesPerStep) * static_cast<std::size_t>(totalSteps), 0) {}

int Sequencer::clampLength(int start, int length) const {
    return std::min(length, static_cast<int>(mix_.size()) - start);
}

void Sequencer::pulse(const std::vector<NoteEvent>& events, const PulseVoice& voice) {
    const int vibratoDelay = samplesForMs(150);
    for (const NoteEvent& e : events) {
        const int start = e.step * samplesPerStep_;
        const int full = e.steps * samplesPerStep_;
        const int n = clampLength(start, full);
        const std::uint32_t step = phaseStep(noteMilliHz(e.note));
        std::uint32_t phase = 0;
        std::uint32_t lfoPhase = 0;
        const std::uint32_t lfoStep = phaseStep(5500);
        for (int i = 0; i < n; ++i) {
            int gain = noteEnvelope(i, full, kAttack, samplesForMs(voice.decayMs), voice.sustain, kRelease);
            if (voice.fadePower > 0) {
                gain = static_cast<int>(static_cast<std::int64_t>(gain) * decayCurve(i, full, voice.fadePower) / kUnity);
            }
            if (n < full && n - i < kCutRamp) {
                gain = static_cast<int>(static_cast<std::int64_t>(gain) * (n - i) / kCutRamp);
            }
            addSample(mix_, static_cast<std::size_t>(start + i), pulseWave(phase, voice.duty), gain, voice.volume);
            std::uint32_t thisStep = step;
            if (voice.vibrato && i > vibratoDelay) {
                // +-0.5 % of the pitch, faded in over the next 100 ms.
                int depth = std::min(i - vibratoDelay, samplesForMs(100));
                std::int64_t wobble = static_cast<std::int64_t>(step) * triangleWave(lfoPhase) / kFullScale * 5 / 1000;
                thisStep = static_cast<std::uint32_t>(step + wobble * depth / samplesForMs(100));
                lfoPhase += lfoStep;
            }
            phase += thisStep;
        }
    }
}

void Sequencer::triangle(const std::vector<NoteEvent>& events, int volume, int fadePower) {
    for (const NoteEvent& e : events) {
        const int start = e.step * samplesPerStep_;
        const int full = e.steps * samplesPerStep_;
        const int n = clampLength(start, full);
        const std::uint32_t step = phaseStep(noteMilliHz(e.note));
        std::uint32_t phase = 0;
        for (int i = 0; i < n; ++i) {
            int gain = noteEnvelope(i, full, kAttack, samplesForMs(90), kUnity * 3 / 4, kRelease);
            if (fadePower > 0) {
                gain = static_cast<int>(static_cast<std::int64_t>(gain) * decayCurve(i, full, fadePower) / kUnity);
            }
            if (n < full && n - i < kCutRamp) {
                gain = static_cast<int>(static_cast<std::int64_t>(gain) * (n - i) / kCutRamp);
            }
            addSample(mix_, static_cast<std::size_t>(start + i), triangleWave(phase), gain, volume);
            phase += step;
        }
    }
}

void Sequencer::drums(const std::vector<NoteEvent>& hits, int volume) {
    for (const NoteEvent& hit : hits) {
        const int start = hit.step * samplesPerStep_;
        int full = 0;
        switch (hit.note) {
        case 'K': full = samplesForMs(160); break;
        case 'S': full = samplesForMs(150); break;
        case 'h': full = samplesForMs(35); break;
        case 'o': full = samplesForMs(160); break;
        case 'C': full = samplesForMs(900); break;
        default: throw std::runtime_error("sequencer: unknown drum");
        }
        const int n = clampLength(start, full);
        std::uint32_t phase = 0;
        int previousNoise = 0;
        for (int i = 0; i < n; ++i) {
            int value = 0;
            int gain = 0;
            int noise = noise_.next(22050000);
            int bright = (noise - previousNoise) / 2;  // differenced noise: hiss without rumble
            previousNoise = noise;
            switch (hit.note) {
            case 'K':
                // A sine that drops from 170 Hz to 45 Hz: the thump of the kick.
                value = sineWave(phase);
                phase += phaseStep(glide(170000, 45000, i, samplesForMs(120)));
                gain = std::min(rampUp(i, 22), decayCurve(i, full, 2));
                break;
            case 'S': {
                int body = sineWave(phase) / 2;
                phase += phaseStep(190000);
                value = noise * 3 / 5 + static_cast<int>(static_cast<std::int64_t>(body) * decayCurve(i, full / 2, 2) / kUnity);
                gain = std::min(rampUp(i, 22), decayCurve(i, full, 3));
                break;
            }
            case 'h':
                value = bright * 2 / 5;
                gain = std::min(rampUp(i, 11), decayCurve(i, full, 2));
                break;
            case 'o':
                value = bright * 2 / 5;
                gain = std::min(rampUp(i, 11), decayCurve(i, full, 2));
                break;
            case 'C':
                value = bright / 3;
                gain = std::min(rampUp(i, 22), decayCurve(i, full, 2));
                break;
            }
            if (n < full && n - i < kCutRamp) {
                gain = static_cast<int>(static_cast<std::int64_t>(gain) * (n - i) / kCutRamp);
            }
            addSample(mix_, static_cast<std::size_t>(start + i), value, gain, volume);
        }
    }
}

} // namespace assetgen

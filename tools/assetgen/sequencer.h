// A small step sequencer: tracks written as text, sixteen steps to a bar, and
// the instruments that play them (pulse and triangle voices, noise drums).
//
// Note text: one token per step, separated by spaces; "C5", "F#4", "Bb3" start
// a note, "." holds the note before, "-" is silence, "|" between bars is only
// for the reader. Drum text: "K" kick, "S" snare, "h" closed hat, "o" open
// hat, "C" crash, "." nothing.
#pragma once

#include "synth.h"

#include <string_view>
#include <vector>

namespace assetgen {

inline constexpr int kStepsPerBar = 16;

struct NoteEvent {
    int step = 0;   // first step, counted from the start of the piece
    int steps = 0;  // length in steps
    int note = 0;   // MIDI note number, or the drum letter for drum tracks
};

std::vector<NoteEvent> parseNotes(std::string_view text, int firstStep);
std::vector<NoteEvent> parseHits(std::string_view text, int firstStep);
// Moves every event by `steps` and an octave shift of `semitones`.
std::vector<NoteEvent> shifted(const std::vector<NoteEvent>& events, int steps, int semitones);

struct PulseVoice {
    int duty = 4;          // eighths of the cycle
    int volume = 64;       // of 256
    int decayMs = 80;      // fall from the attack peak to the sustain level
    int sustain = kUnity;  // Q16
    bool vibrato = false;  // a slow wobble on held notes, for the lead
    int fadePower = 0;     // 0 holds the sustain; 1-3 die away within the note, 3 fastest
};

class Sequencer {
public:
    // `samplesPerStep` fixes the tempo; `totalSteps` the length of the piece.
    Sequencer(int samplesPerStep, int totalSteps);

    void pulse(const std::vector<NoteEvent>& events, const PulseVoice& voice);
    void triangle(const std::vector<NoteEvent>& events, int volume, int fadePower = 0);
    void drums(const std::vector<NoteEvent>& hits, int volume);

    std::size_t totalSamples() const { return mix_.size(); }
    const MixBuffer& mix() const { return mix_; }

private:
    // Every sound is cut to end at the end of the piece, with a short ramp,
    // so nothing rings over the loop point.
    int clampLength(int start, int length) const;

    int samplesPerStep_;
    MixBuffer mix_;
    NoiseSource noise_;
};

} // namespace assetgen

// Chord names ("Am", "F", "E") turned into the bass and arpeggio parts that
// follow them, one chord per bar.
#pragma once

#include "sequencer.h"

#include <string_view>
#include <vector>

namespace assetgen {

// Root (MIDI, octave 3) and whether the third is minor.
struct Chord {
    int root = 0;
    bool minor = false;
};

Chord parseChord(std::string_view name);

// Driving eighth-note bass: root low and high in turn.
std::vector<NoteEvent> octaveBass(const std::vector<std::string_view>& bars, int firstBar);
// Sixteenth-note arpeggio up and down the chord, around the middle of the keyboard.
std::vector<NoteEvent> arpeggio(const std::vector<std::string_view>& bars, int firstBar);

} // namespace assetgen

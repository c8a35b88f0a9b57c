// Bass and arpeggio parts generated from a bar-by-bar chord list.
#include "chords.h"

#include <array>
#include <stdexcept>
#include <string>

namespace assetgen {

Chord parseChord(std::string_view name) {
    static constexpr std::string_view kLetters = "C.D.EF.G.A.B";
    if (name.empty() || name[0] == '.' || kLetters.find(name[0]) == std::string_view::npos) {
        throw std::runtime_error("chords: bad chord '" + std::string(name) + "'");
    }
    Chord chord;
    chord.root = 48 + static_cast<int>(kLetters.find(name[0]));  // C3 = 48
    std::string_view rest = name.substr(1);
    if (!rest.empty() && rest[0] == '#') {
        ++chord.root;
        rest.remove_prefix(1);
    }
    if (rest == "m") {
        chord.minor = true;
    } else if (!rest.empty()) {
        throw std::runtime_error("chords: bad chord '" + std::string(name) + "'");
    }
    return chord;
}

std::vector<NoteEvent> octaveBass(const std::vector<std::string_view>& bars, int firstBar) {
    std::vector<NoteEvent> events;
    for (std::size_t b = 0; b < bars.size(); ++b) {
        Chord chord = parseChord(bars[b]);
        int low = chord.root - 12;  // octave 2
        int barStep = (firstBar + static_cast<int>(b)) * kStepsPerBar;
        for (int eighth = 0; eighth < 8; ++eighth) {
            int note = eighth % 2 == 0 ? low : low + 12;
            if (eighth == 7) {
                note = low + 7;  // the fifth on the last eighth pushes into the next bar
            }
            events.push_back(NoteEvent{barStep + eighth * 2, 2, note});
        }
    }
    return events;
}

std::vector<NoteEvent> arpeggio(const std::vector<std::string_view>& bars, int firstBar) {
    static constexpr std::array<int, 6> kWalk{0, 1, 2, 3, 2, 1};  // up and back down
    std::vector<NoteEvent> events;
    for (std::size_t b = 0; b < bars.size(); ++b) {
        Chord chord = parseChord(bars[b]);
        const std::array<int, 4> tones{0, chord.minor ? 3 : 4, 7, 12};
        int barStep = (firstBar + static_cast<int>(b)) * kStepsPerBar;
        for (int s = 0; s < kStepsPerBar; ++s) {
            int tone = tones[static_cast<std::size_t>(kWalk[static_cast<std::size_t>(s % 6)])];
            events.push_back(NoteEvent{barStep + s, 1, chord.root + 12 + tone});
        }
    }
    return events;
}

} // namespace assetgen

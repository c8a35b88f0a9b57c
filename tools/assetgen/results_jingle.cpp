// The results jingle: two bars at the music's tempo (3.2 seconds), a quick
// run up the A minor chord, a step from F to G, and a held A major chord to
// close the run on a bright note.
#include "sequencer.h"
#include "sounds.h"

#include <string_view>

namespace assetgen {
namespace {

constexpr int kSamplesPerStep = kSampleRate * 60 / 150 / 4;

constexpr std::string_view kLead = "A4 C5 E5 A5 G5 . E5 . F5 . . . G5 . . . | C#6 . . . . . . . . . . . . . . . ";
constexpr std::string_view kHarmony = "E4 A4 C5 E5 D5 . C5 . A4 . . . B4 . . . | A5 . . . . . . . . . . . . . . . ";
constexpr std::string_view kInner = "- - - - - - - - C5 . . . D5 . . . | E5 . . . . . . . . . . . . . . . ";
constexpr std::string_view kBass = "A2 . . . . . . . F2 . . . G2 . . . | A2 . . . . . . . . . . . . . . . ";
constexpr std::string_view kDrums = "K . . . S . . . K . . . K . S S | C . . . . . . . . . . . . . . . ";

} // namespace

Samples makeResultsJingle() {
    Sequencer jingle(kSamplesPerStep, 2 * kStepsPerBar);
    // Every note rings down inside its slot, so the closing chord fades by itself.
    const PulseVoice lead{2, 80, 60, kUnity * 3 / 4, true, 1};
    const PulseVoice harmony{1, 44, 60, kUnity * 3 / 4, false, 1};
    const PulseVoice inner{4, 30, 60, kUnity * 3 / 4, false, 1};
    jingle.pulse(parseNotes(kLead, 0), lead);
    jingle.pulse(parseNotes(kHarmony, 0), harmony);
    jingle.pulse(parseNotes(kInner, 0), inner);
    jingle.triangle(parseNotes(kBass, 0), 170, 1);
    jingle.drums(parseHits(kDrums, 0), 110);
    return finishSound(jingle.mix(), kJinglePeak, true);
}

} // namespace assetgen

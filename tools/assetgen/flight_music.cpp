// The flight music: 32 bars of A minor at 150 beats a minute (51.2 seconds),
// looped for the whole run. A sixteenth is exactly 2205 samples, so the piece
// is a whole number of bars; the last bar is a fill on E that falls back into
// the first, and every note dies away inside its own slot, so the loop point
// is silent-to-silent with no seam.
//
// Form: A (bars 1-8) theme, B (9-16) climb, A' (17-24) theme with an echo,
// bridge (25-28) long notes over Dm-Em-F-G, build (29-32) drums to the top.
#include "chords.h"
#include "sequencer.h"
#include "sounds.h"

#include <string>
#include <string_view>
#include <vector>

namespace assetgen {
namespace {

constexpr int kSamplesPerStep = kSampleRate * 60 / 150 / 4;  // 2205
constexpr int kBars = 32;

constexpr std::string_view kThemeA =
    "E5 . A5 . . . G5 . E5 . . . C5 . D5 . | E5 . . . C5 . A4 . . . C5 . D5 . E5 . |"
    "G5 . . . E5 . C5 . . . E5 . G5 . C6 . | B5 . . . A5 . G5 . D5 . . . - - B4 . |"
    "E5 . A5 . . . G5 . E5 . . . C5 . D5 . | E5 . . . F5 . E5 . D5 . C5 . D5 . E5 . |"
    "G5 . E5 . C5 . E5 . G5 . A5 . G5 . E5 . | D5 . . . . . B4 . D5 . G5 . B5 . D6 . ";

constexpr std::string_view kThemeB =
    "A5 . . . G5 . F5 . . . E5 . F5 . A5 . | G5 . . . F5 . D5 . . . B4 . D5 . G5 . |"
    "E5 . . . D5 . B4 . . . G4 . B4 . E5 . | A5 . . . . . . . C6 . B5 . A5 . G5 . |"
    "F5 . A5 . C6 . A5 . F5 . A5 . C6 . D6 . | B5 . . . G5 . D5 . G5 . B5 . D6 . B5 . |"
    "G#5 . . . B5 . . . E6 . . . D6 . B5 . | G#5 . . . . . . . - - - - E5 F5 G#5 B5 ";

constexpr std::string_view kBridge =
    "A5 . . . . . . . F5 . . . D5 . . . | B5 . . . . . . . G5 . . . E5 . . . |"
    "C6 . . . . . . . A5 . . . F5 . . . | D6 . . . . . . . B5 . . . G5 . . . ";

constexpr std::string_view kBuild =
    "- - - - - - - - - - - - - - - - | - - - - - - - - - - - - - - - - |"
    "G4 . G4 . B4 . B4 . D5 . D5 . G5 . G5 . | G#5 . . . B5 . . . E6 . . . . . - - ";

const std::vector<std::string_view> kChordsA{"Am", "F", "C", "G", "Am", "F", "C", "G"};
const std::vector<std::string_view> kChordsB{"F", "G", "Em", "Am", "F", "G", "E", "E"};
const std::vector<std::string_view> kChordsBridge{"Dm", "Em", "F", "G"};
const std::vector<std::string_view> kChordsBuild{"Am", "F", "G", "E"};

constexpr std::string_view kGrooveKick = "K . . . S . . K K . K . S . . . ";
constexpr std::string_view kGrooveHats = "h . h . h . h . h . h . h . o . ";
constexpr std::string_view kFillKick = "K . . . S . . K K . S S S . S S ";
constexpr std::string_view kHalfKick = "K . . . . . . . S . . . . . . . ";
constexpr std::string_view kDriveKick = "K . S . K . S . K . S . K . S . ";
constexpr std::string_view kRollKick = "K . S . S . S . S S S S S S S S ";

std::string repeat(std::string_view bar, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) {
        out += bar;
    }
    return out;
}

std::string withCrash(std::string bars) {
    bars[0] = 'C';  // a crash replaces the hat on the downbeat of a section
    return bars;
}

} // namespace

Samples makeFlightMusic() {
    Sequencer song(kSamplesPerStep, kBars * kStepsPerBar);

    const PulseVoice lead{2, 70, 90, kUnity * 7 / 10, true, 0};
    const PulseVoice leadBright{4, 58, 90, kUnity * 7 / 10, true, 0};
    const PulseVoice echo{1, 30, 60, kUnity / 2, false, 0};
    const PulseVoice arp{1, 26, 0, kUnity, false, 3};

    // Melody.
    song.pulse(parseNotes(kThemeA, 0), lead);
    song.pulse(parseNotes(kThemeB, 8 * kStepsPerBar), lead);
    const auto themeAgain = parseNotes(kThemeA, 16 * kStepsPerBar);
    song.pulse(themeAgain, leadBright);
    song.pulse(shifted(themeAgain, 3, 0), echo);  // dotted-eighth echo
    song.pulse(parseNotes(kBridge, 24 * kStepsPerBar), leadBright);
    song.pulse(parseNotes(kBuild, 28 * kStepsPerBar), lead);

    // Harmony: arpeggios and bass follow the chords.
    const std::vector<std::vector<std::string_view>> sections{kChordsA, kChordsB, kChordsA, kChordsBridge, kChordsBuild};
    int bar = 0;
    for (const auto& chords : sections) {
        song.pulse(arpeggio(chords, bar), arp);
        song.triangle(octaveBass(chords, bar), 150);
        bar += static_cast<int>(chords.size());
    }

    // Drums.
    std::string kicks = repeat(kGrooveKick, 7) + std::string(kFillKick) +   // A
                        repeat(kGrooveKick, 7) + std::string(kFillKick) +   // B
                        repeat(kGrooveKick, 7) + std::string(kFillKick) +   // A'
                        repeat(kHalfKick, 4) +                              // bridge
                        repeat(kGrooveKick, 2) + std::string(kDriveKick) + std::string(kRollKick);  // build
    std::string hats = withCrash(repeat(kGrooveHats, 8)) + withCrash(repeat(kGrooveHats, 8)) +
                       withCrash(repeat(kGrooveHats, 8)) + withCrash(repeat(kGrooveHats, 4)) +
                       repeat(kGrooveHats, 4);
    song.drums(parseHits(kicks, 0), 120);
    song.drums(parseHits(hats, 0), 90);

    return finishSound(song.mix(), kMusicPeak, false);
}

} // namespace assetgen

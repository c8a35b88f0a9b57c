// One live run flown by a script on the headless backend, recorded by the
// game's own keypad and saved as a replay file, the way a player's record is
// made. The script is asked for the keys only before the frames whose update
// runs a play step (slow motion skips every other frame), so each decision is
// exactly one recorded keypad frame.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "corpus/corpus_watch.h"

namespace corpusgen {

struct StepKeys {
    bool up = false;
    bool barrier = false;  // button A
};

// The keys for the play step about to run, or nothing to end the recording
// before it. The replay of a recording ended early goes on with every button
// released.
using StepScript = std::function<std::optional<StepKeys>(const corpus::CorpusWatch& game)>;

// The play step about to run, counting from 1: the keypad's next frame.
inline int nextStep(const GameMain& game) { return game.keypad->getFrame() + 1; }

// Flies stage with the script until the run ends or the script ends the
// recording, then saves the recording to replayFile. The framework must be
// running on the headless backend.
void flyAndRecord(int stage, const StepScript& script, const std::string& replayFile);

}  // namespace corpusgen

// How each generated replay of the corpus is made: for every case, a list of
// attempts tried in a fixed order (pilot seeds, heights, branch points) until
// one whose replay shows what the case is for. Each attempt writes a replay
// file; the generator plays it back and keeps the first that passes.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "craft_plan.h"
#include "flight.h"

namespace corpusgen {

struct Attempt {
    std::string label;  // what varies, for the generator's report
    std::function<void(const std::string& replayFile)> make;
};

// The attempts for a case of corpus::GENERATED_CASES. sourceDir is the
// repository, for flights that start from a replay already there.
std::vector<Attempt> attemptsFor(const std::string& caseName, int stage, const std::string& sourceDir);

// A flight that waits for its chance: the pilot flies until `seize` finds a
// plan before some step, then the plan is flown (A pressed in its goal step
// when asked), then the pilot again for stepsAfterGoal steps before the
// recording ends (-1: up to the run's end). Without a chance by giveUpStep
// the recording ends there, and the attempt fails its check.
struct ChanceFlight {
    unsigned seed = 0;
    bool pilotBarrier = false;
    std::function<std::optional<Plan>(const corpus::CorpusWatch& game)> seize;
    bool barrierAtGoal = false;
    int stepsAfterGoal = 30;
    int giveUpStep = 4000;
    // The keys before the pilot takes over, by step; steps it answers nothing for go to the pilot.
    std::function<std::optional<StepKeys>(const corpus::CorpusWatch& game, int step)> opening;
    // Changes the pilot's keys for a step before they are pressed.
    std::function<StepKeys(const corpus::CorpusWatch& game, StepKeys pilotKeys)> twist;
};
StepScript chanceScript(const ChanceFlight& flight);

// Case groups, one file each.
std::vector<Attempt> edgeAttempts(const std::string& caseName, int stage);
std::vector<Attempt> enemyAttempts(const std::string& caseName, int stage);
std::vector<Attempt> finishAttempts(const std::string& caseName, int stage, const std::string& sourceDir);
std::vector<Attempt> fileAttempts(const std::string& caseName, int stage);

}  // namespace corpusgen

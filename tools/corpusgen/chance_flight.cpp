// The flight that waits for its chance, and the table from a case's name to
// its attempts; see case_flights.h.
#include <memory>
#include <stdexcept>

#include "case_flights.h"
#include "flight_hands.h"

namespace corpusgen {

StepScript chanceScript(const ChanceFlight& flight) {
    auto followed = std::make_shared<FollowedPlan>();
    const PilotHands pilot(flight.seed, flight.pilotBarrier);
    return [flight, followed, pilot](const corpus::CorpusWatch& game) -> std::optional<StepKeys> {
        const int step = nextStep(game);
        if (followed->covers(step)) return followed->keys(step);
        if (followed->done(step)) {
            if (flight.stepsAfterGoal >= 0 && step > followed->goalStep() + flight.stepsAfterGoal) return std::nullopt;
            return pilot.keys(game);
        }
        if (flight.opening) {
            if (std::optional<StepKeys> keys = flight.opening(game, step)) return keys;
        }
        if (step >= flight.giveUpStep) return std::nullopt;
        if (std::optional<Plan> plan = flight.seize(game)) {
            followed->plan = *plan;
            followed->firstStep = step;
            if (flight.barrierAtGoal) followed->barrierStep = followed->goalStep();
            return followed->keys(step);
        }
        const StepKeys keys = pilot.keys(game);
        return flight.twist ? flight.twist(game, keys) : keys;
    };
}

std::vector<Attempt> attemptsFor(const std::string& caseName, int stage, const std::string& sourceDir) {
    for (auto group : {edgeAttempts(caseName, stage), enemyAttempts(caseName, stage),
                       finishAttempts(caseName, stage, sourceDir), fileAttempts(caseName, stage)}) {
        if (!group.empty()) return group;
    }
    throw std::runtime_error("no flight for the case " + caseName);
}

}  // namespace corpusgen

// Flights that lose the craft at the top or bottom edge: plainly, in the step
// it touches a column's wall (with and without the invincibility of an
// earlier miss), and a few steps after a miss, while that miss's slow motion
// still runs.
#include <optional>

#include "case_flights.h"
#include "flight_hands.h"

namespace corpusgen {

namespace {

constexpr int PX = SUB_PIXELS;
constexpr unsigned SEEDS[] = {0, 1, 2, 3, 4, 5, 6, 7};

// The pilot's chance comes when the next column is this many steps away.
constexpr int CHANCE_FROM = 20;
constexpr int CHANCE_TO = 120;
// A column passes the craft in 24 steps (16 px of wall, 8 px of craft).
constexpr int COLUMN_PASSING_STEPS = 24;

// A planner for the next column when it is close enough, else nothing.
std::optional<CraftPlanner> columnPlanner(const GameMain& game) {
    const int column = nextColumnX(game);
    if (column == INT_MAX || game.player.invincibleFrames > 0) return std::nullopt;
    const int steps = stepsUntilReached(game, column, 8 * PX);
    if (steps < CHANCE_FROM || steps > CHANCE_TO) return std::nullopt;
    return CraftPlanner(game, steps + COLUMN_PASSING_STEPS);
}

std::vector<Aim> heights(std::initializer_list<int> pixels) {
    std::vector<Aim> aims;
    for (int y : pixels) aims.push_back(Aim::height(y * PX));
    return aims;
}

// Crosses the top edge in the step its box reaches a column, so the first
// wall it touches is the top row, after the crash.
std::optional<Plan> topEdgeAtColumn(const corpus::CorpusWatch& game) {
    std::optional<CraftPlanner> planner = columnPlanner(game);
    if (!planner) return std::nullopt;
    return planner->find(heights({40, 80, 120, 200}), {Aim::fullThrust()},
                         [](int, int edge, const Contacts& contacts, PathMarks&) {
                             if (edge == -1) return contacts.wall ? Verdict::GOAL : Verdict::FAIL;
                             if (edge != 0 || contacts.wall || contacts.enemy) return Verdict::FAIL;
                             return Verdict::GO_ON;
                         });
}

// Touches a low wall of a column, then falls to the bottom edge while still
// inside the column, touching its wall below the play area.
std::optional<Plan> bottomEdgeInsideColumn(const corpus::CorpusWatch& game) {
    std::optional<CraftPlanner> planner = columnPlanner(game);
    if (!planner) return std::nullopt;
    return planner->find(heights({470, 460, 450, 440, 430}), {Aim::letGo()},
                         [](int step, int edge, const Contacts& contacts, PathMarks& marks) {
                             if (edge == 0) {
                                 if (marks.first == 0 && (contacts.wall || contacts.enemy)) marks.first = step;
                                 return Verdict::GO_ON;
                             }
                             const bool invincible = marks.first > 0 && marks.first < step;
                             return edge == 1 && invincible && contacts.wall ? Verdict::GOAL : Verdict::FAIL;
                         });
}

// A miss, then an edge a few steps later: the slow motion of 30 frames gives
// 15 play steps, and the edge must come while it runs.
constexpr int MOST_STEPS_MISS_TO_EDGE = 12;

std::optional<Plan> edgeSoonAfterMiss(const corpus::CorpusWatch& game) {
    std::optional<CraftPlanner> planner = columnPlanner(game);
    if (!planner) return std::nullopt;
    return planner->find(heights({40, 60, 80, 420, 440, 460}), {Aim::fullThrust(), Aim::letGo()},
                         [](int step, int edge, const Contacts& contacts, PathMarks& marks) {
                             if (edge != 0) {
                                 const int after = step - marks.first;
                                 return marks.first > 0 && after >= 1 && after <= MOST_STEPS_MISS_TO_EDGE
                                            ? Verdict::GOAL
                                            : Verdict::FAIL;
                             }
                             if (marks.first == 0 && (contacts.wall || contacts.enemy)) marks.first = step;
                             if (marks.first > 0 && step - marks.first > MOST_STEPS_MISS_TO_EDGE) return Verdict::FAIL;
                             return Verdict::GO_ON;
                         });
}

std::vector<Attempt> chanceAttempts(std::optional<Plan> (*seize)(const corpus::CorpusWatch&), int stage) {
    std::vector<Attempt> attempts;
    for (unsigned seed : SEEDS) {
        attempts.push_back({"pilot seed " + std::to_string(seed), [seize, stage, seed](const std::string& file) {
                                ChanceFlight flight;
                                flight.seed = seed;
                                flight.seize = seize;
                                flight.stepsAfterGoal = -1;  // the edge ends the run
                                flyAndRecord(stage, chanceScript(flight), file);
                            }});
    }
    return attempts;
}

}  // namespace

std::vector<Attempt> edgeAttempts(const std::string& caseName, int stage) {
    if (caseName == "top_edge") {
        return {{"UP held", [stage](const std::string& file) {
                     flyAndRecord(
                         stage, [](const corpus::CorpusWatch&) { return StepKeys{.up = true}; }, file);
                 }}};
    }
    if (caseName == "bottom_edge") {
        std::vector<Attempt> attempts;
        for (unsigned seed : SEEDS) {
            attempts.push_back({"pilot seed " + std::to_string(seed), [stage, seed](const std::string& file) {
                                    const PilotHands pilot(seed, false);
                                    // The recording ends after 320 steps; its replay lets go there.
                                    flyAndRecord(
                                        stage,
                                        [pilot](const corpus::CorpusWatch& game) -> std::optional<StepKeys> {
                                            if (nextStep(game) > 320) return std::nullopt;
                                            return pilot.keys(game);
                                        },
                                        file);
                                }});
        }
        return attempts;
    }
    if (caseName == "edge_top_with_wall") return chanceAttempts(topEdgeAtColumn, stage);
    if (caseName == "edge_bottom_wall_invincible") return chanceAttempts(bottomEdgeInsideColumn, stage);
    if (caseName == "slow_motion_overlap") return chanceAttempts(edgeSoonAfterMiss, stage);
    return {};
}

}  // namespace corpusgen

// Flights about enemies: the pilot breaking them with the barrier, a wall
// miss followed by an enemy touched while invincible, and an enemy touched in
// the very step the barrier goes up (the miss first, then the break).
#include <memory>
#include <optional>

#include "case_flights.h"
#include "flight_hands.h"

namespace corpusgen {

namespace {

constexpr int PX = SUB_PIXELS;
constexpr unsigned SEEDS[] = {0, 1, 2, 3, 4, 5, 6, 7};
constexpr int ROW = 16 * PX;

// The chance comes when the next enemy is this many steps away, the craft
// not blinking from a miss and no barrier up that would break the enemy first.
std::optional<CraftPlanner> enemyPlanner(const GameMain& game, const PlayObject*& enemy) {
    enemy = nextEnemy(game);
    if (enemy == nullptr || game.player.invincibleFrames > 0 || game.player.barrierFrames > 0) return std::nullopt;
    const int steps = stepsUntilReached(game, enemy->x, enemy->size / 2);
    if (steps < 20 || steps > 150) return std::nullopt;
    return CraftPlanner(game, steps + 30);
}

// A wall of the enemy's column first, then the enemy itself while invincible.
std::optional<Plan> wallThenEnemy(const corpus::CorpusWatch& game) {
    const PlayObject* enemy = nullptr;
    std::optional<CraftPlanner> planner = enemyPlanner(game, enemy);
    if (!planner) return std::nullopt;
    std::vector<Aim> besideTheEnemy;
    for (int rows = 2; rows <= 6; ++rows) {
        besideTheEnemy.push_back(Aim::height(enemy->y - rows * ROW));
        besideTheEnemy.push_back(Aim::height(enemy->y + rows * ROW));
    }
    return planner->find(besideTheEnemy, {Aim::height(enemy->y)},
                         [](int step, int edge, const Contacts& contacts, PathMarks& marks) {
                             if (edge != 0) return Verdict::FAIL;
                             if (marks.first == 0) {
                                 if (contacts.enemy) return Verdict::FAIL;
                                 if (contacts.wall) marks.first = step;
                                 return Verdict::GO_ON;
                             }
                             return contacts.enemy ? Verdict::GOAL : Verdict::GO_ON;
                         });
}

// Nothing touched until the enemy; A goes down in that step.
std::optional<Plan> intoTheEnemy(const corpus::CorpusWatch& game) {
    const PlayObject* enemy = nullptr;
    std::optional<CraftPlanner> planner = enemyPlanner(game, enemy);
    // The barrier costs 2000 and needs more than that left.
    if (!planner || game.player.energy < 4000) return std::nullopt;
    return planner->find({Aim::height(enemy->y), Aim::height(enemy->y - PX * 8), Aim::height(enemy->y + PX * 8)},
                         {Aim::height(enemy->y)}, [](int, int edge, const Contacts& contacts, PathMarks&) {
                             if (edge != 0) return Verdict::FAIL;
                             if (contacts.enemy) return Verdict::GOAL;
                             return contacts.wall ? Verdict::FAIL : Verdict::GO_ON;
                         });
}

}  // namespace

std::vector<Attempt> enemyAttempts(const std::string& caseName, int stage) {
    std::vector<Attempt> attempts;
    for (unsigned seed : SEEDS) {
        const std::string label = "pilot seed " + std::to_string(seed);
        if (caseName == "barrier_breaks") {
            attempts.push_back(
                {label, [stage, seed](const std::string& file) {
                     const PilotHands pilot(seed, true);
                     auto lastBreakStep = std::make_shared<int>(0);
                     // Twenty steps after the second break, or nothing by step 6000.
                     flyAndRecord(
                         stage,
                         [pilot, lastBreakStep](const corpus::CorpusWatch& game) -> std::optional<StepKeys> {
                             const int step = nextStep(game);
                             if (game.notes.barrierBreaks >= 2 && *lastBreakStep == 0) {
                                 *lastBreakStep = step;
                             }
                             if (*lastBreakStep > 0 && step > *lastBreakStep + 20) return std::nullopt;
                             if (step > 6000) return std::nullopt;
                             return pilot.keys(game);
                         },
                         file);
                 }});
        } else if (caseName == "invincible_misses" || caseName == "enemy_miss_then_break") {
            const bool intoEnemy = caseName == "enemy_miss_then_break";
            attempts.push_back({label, [stage, seed, intoEnemy](const std::string& file) {
                                    ChanceFlight flight;
                                    flight.seed = seed;
                                    flight.seize = intoEnemy ? intoTheEnemy : wallThenEnemy;
                                    flight.barrierAtGoal = intoEnemy;
                                    flight.stepsAfterGoal = 30;
                                    flyAndRecord(stage, chanceScript(flight), file);
                                }});
        }
    }
    return attempts;
}

}  // namespace corpusgen

// Flights that finish the 1000 m stage with something happening at the very
// end: an item taken in the last play step, or a miss a few steps before it
// so the screen still shakes when the run ends. They fly the pilot's
// whole-stage replay up to a branch step, then the pilot, and plan the finale.
//
// The pilot alone would fly the same course as its replay: a thrust draws two
// random numbers, but the number of thrusts so far follows from the craft's
// speed, which the pilot brings back to the same values. So the flight turns
// the pilot's choice over in the step a column is built after the branch:
// that column, and every draw after it, comes from other random numbers.
#include <cstdlib>
#include <memory>
#include <optional>
#include <stdexcept>

#include "case_flights.h"
#include "flight_hands.h"

namespace corpusgen {

namespace {

constexpr int PX = SUB_PIXELS;
// 1000 m at one pixel a step: the run ends in its 10000th play step.
constexpr int FINAL_STEP = 10000;
constexpr int BRANCH_STEPS[] = {9200, 9000, 8800, 8600, 8400, 8200, 8000, 7800};
// Which column built after the branch gets the other choice.
constexpr int TWISTED_COLUMNS[] = {1, 2, 3};

// Steps left, counting the one about to run and the final one.
int stepsLeft(const GameMain& game) { return FINAL_STEP - nextStep(game) + 1; }

// An item touched for the first time in the final step, nothing else touched before it.
std::optional<Plan> itemInFinalStep(const corpus::CorpusWatch& game) {
    const int left = stepsLeft(game);
    if (left < 20 || left > 100 || game.player.invincibleFrames > 0) return std::nullopt;
    std::vector<Aim> approaches;
    std::vector<Aim> onTheItem;
    for (const PlayObject& item : game.items) {
        // Only an item that will be level with the craft in the final step can be taken in it.
        const int finalGap = item.x - left * game.scrollSpeed - game.player.x;
        if (item.life <= 0 || std::abs(finalGap) > item.size / 2 + game.player.size / 2) continue;
        for (int offset : {20, 24, 30, 40}) {
            approaches.push_back(Aim::height(item.y - offset * PX));
            approaches.push_back(Aim::height(item.y + offset * PX));
        }
        onTheItem.push_back(Aim::height(item.y));
    }
    if (onTheItem.empty()) return std::nullopt;
    CraftPlanner planner(game, left);
    return planner.find(approaches, onTheItem, [left](int step, int edge, const Contacts& contacts, PathMarks&) {
        if (edge != 0 || contacts.wall || contacts.enemy) return Verdict::FAIL;
        if (step == left) return contacts.item ? Verdict::GOAL : Verdict::FAIL;
        return contacts.item ? Verdict::FAIL : Verdict::GO_ON;
    });
}

// The first miss 2 to 12 steps before the final step: its 30 frames of shake
// and slow motion (15 steps) are still running when the run ends.
std::optional<Plan> missJustBeforeTheEnd(const corpus::CorpusWatch& game) {
    const int left = stepsLeft(game);
    if (left < 20 || left > 80 || game.player.invincibleFrames > 0) return std::nullopt;
    // A column must be passing the craft in that window.
    bool columnInTime = false;
    for (int i = 0; i < game.wallScanEnd && !columnInTime; ++i) {
        const PlayObject& wall = game.walls[i];
        const int firstStep = stepsUntilReached(game, wall.x, wall.size / 2);
        const int lastStep = (wall.x + wall.size / 2 - game.player.x + game.player.size / 2) / game.scrollSpeed;
        columnInTime = wall.life > 0 && firstStep <= left - 2 && lastStep >= left - 12;
    }
    if (!columnInTime) return std::nullopt;
    CraftPlanner planner(game, left);
    std::vector<Aim> walls;
    for (int y = 16; y < 480; y += 16) walls.push_back(Aim::height(y * PX));
    return planner.find({Aim::height(game.player.y)}, walls,
                        [left](int step, int edge, const Contacts& contacts, PathMarks& marks) {
                            if (edge != 0) return Verdict::FAIL;
                            if (marks.first == 0 && (contacts.wall || contacts.enemy)) {
                                const int beforeEnd = left - step;
                                if (beforeEnd < 2 || beforeEnd > 12) return Verdict::FAIL;
                                marks.first = step;
                            }
                            if (step == left) return marks.first > 0 ? Verdict::GOAL : Verdict::FAIL;
                            return Verdict::GO_ON;
                        });
}

}  // namespace

std::vector<Attempt> finishAttempts(const std::string& caseName, int stage, const std::string& sourceDir) {
    if (caseName != "finish_item_last_step" && caseName != "finish_shaking") return {};
    if (stage != 0) throw std::runtime_error(caseName + " is made on the 1000 m stage");
    const bool item = caseName == "finish_item_last_step";
    const std::string source = sourceDir + "/bench/data/stage0.bin";
    std::vector<Attempt> attempts;
    for (int branch : BRANCH_STEPS) {
        for (int column : TWISTED_COLUMNS) {
            attempts.push_back(
                {"branch at step " + std::to_string(branch) + ", the pilot's choice turned over as column " +
                     std::to_string(column) + " after it is built",
                 [=](const std::string& file) {
                     const RecordedHands recorded(source);
                     auto columnsBuilt = std::make_shared<int>(0);
                     ChanceFlight flight;
                     flight.pilotBarrier = true;
                     flight.seize = item ? itemInFinalStep : missJustBeforeTheEnd;
                     flight.stepsAfterGoal = -1;
                     flight.giveUpStep = FINAL_STEP - 19;
                     flight.opening = [recorded, branch](const corpus::CorpusWatch& game,
                                                         int step) -> std::optional<StepKeys> {
                         if (step < branch) return recorded.keys(step);
                         if (step == branch) {
                             // Up to here the live run must have recorded exactly the pilot's replay.
                             for (int i = 1; i < branch; ++i) {
                                 if (!sameButtons(game.keypad->stateAt(i), recorded.state(i))) {
                                     throw std::runtime_error("the flight left the recorded input at step " +
                                                              std::to_string(i));
                                 }
                             }
                         }
                         return std::nullopt;
                     };
                     flight.twist = [column, columnsBuilt](const corpus::CorpusWatch& game, StepKeys keys) {
                         // The course builds a column in the step that finds its timer at 1.
                         if (game.columnTimer <= 1 && ++*columnsBuilt == column) keys.up = !keys.up;
                         return keys;
                     };
                     flyAndRecord(stage, chanceScript(flight), file);
                 }});
        }
    }
    return attempts;
}

}  // namespace corpusgen

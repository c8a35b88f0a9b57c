// The hands a corpus flight is flown with: the scripted pilot of the timing
// programs, a plan worked out ahead by CraftPlanner, and the input of a
// replay that is already in the corpus. Plus the lookups the flights use to
// spot their chance: the next wall column and the next enemy ahead.
#pragma once

#include <climits>
#include <memory>
#include <stdexcept>
#include <string>

#include "craft_plan.h"
#include "flight.h"
#include "keypad/keypad.h"
#include "pilot.h"

namespace corpusgen {

// The scripted pilot; without the barrier it steers round enemies instead.
class PilotHands {
public:
    PilotHands(unsigned seed, bool barrier) : pilot_(std::make_shared<bench::Pilot>(seed)), barrier_(barrier) {}
    StepKeys keys(const GameMain& game) const {
        const bench::PilotInput input = pilot_->decide(game);
        return {input.up, barrier_ && input.barrier};
    }

private:
    std::shared_ptr<bench::Pilot> pilot_;  // shared: scripts are copied into std::function
    bool barrier_;
};

// A plan being followed from the step it was made for.
struct FollowedPlan {
    Plan plan;
    int firstStep = 0;    // 0: no plan
    int barrierStep = 0;  // the step in which A goes down, 0 for none

    bool covers(int step) const {
        return firstStep > 0 && step >= firstStep && step < firstStep + static_cast<int>(plan.ups.size());
    }
    bool done(int step) const { return firstStep > 0 && step >= firstStep + static_cast<int>(plan.ups.size()); }
    StepKeys keys(int step) const { return {plan.ups[static_cast<size_t>(step - firstStep)], step == barrierStep}; }
    // The step in which the plan's goal happens.
    int goalStep() const { return firstStep + plan.goalStep - 1; }
};

// The recorded input of a replay file, frame by frame (UP and A only, the
// buttons a run reads).
class RecordedHands {
public:
    explicit RecordedHands(const std::string& file) : keypad_(std::make_shared<Keypad>(0)) {
        if (!keypad_->load(file)) throw std::runtime_error("cannot read the whole replay " + file);
    }
    int frames() const { return keypad_->getFrameCount(); }
    StepKeys keys(int step) const {
        const KeypadState& state = keypad_->stateAt(step < frames() ? step : frames() - 1);
        return {state.pressUp, state.pressA};
    }
    // The recorded frame of that step as the live keypad must have recorded it.
    const KeypadState& state(int step) const { return keypad_->stateAt(step); }

private:
    std::shared_ptr<Keypad> keypad_;
};

inline bool sameButtons(const KeypadState& a, const KeypadState& b) {
    return a.pressA == b.pressA && a.pressB == b.pressB && a.pressLeft == b.pressLeft && a.pressUp == b.pressUp &&
           a.pressRight == b.pressRight && a.pressDown == b.pressDown && a.triggerA == b.triggerA &&
           a.triggerB == b.triggerB && a.triggerLeft == b.triggerLeft && a.triggerUp == b.triggerUp &&
           a.triggerRight == b.triggerRight && a.triggerDown == b.triggerDown;
}

// The x of the nearest wall column the craft has not reached yet, INT_MAX for none.
inline int nextColumnX(const GameMain& game) {
    const int reach = game.player.x + game.player.size / 2;
    int columnX = INT_MAX;
    for (int i = 0; i < game.wallScanEnd; ++i) {
        const PlayObject& wall = game.walls[i];
        if (wall.life > 0 && wall.x - wall.size / 2 > reach && wall.x < columnX) columnX = wall.x;
    }
    return columnX;
}

// The nearest live enemy the craft has not reached yet, nullptr for none.
inline const PlayObject* nextEnemy(const GameMain& game) {
    const int reach = game.player.x + game.player.size / 2;
    const PlayObject* nearest = nullptr;
    for (const PlayObject& enemy : game.enemies) {
        if (enemy.life > 0 && enemy.x - enemy.size / 2 > reach && (nearest == nullptr || enemy.x < nearest->x)) {
            nearest = &enemy;
        }
    }
    return nearest;
}

// Steps until something at x, moving with the course, first touches the craft's box side on.
inline int stepsUntilReached(const GameMain& game, int x, int halfWidth) {
    const int gap = x - halfWidth - (game.player.x + game.player.size / 2);
    return gap <= 0 ? 0 : (gap + game.scrollSpeed - 1) / game.scrollSpeed;
}

}  // namespace corpusgen

// The craft's next steps worked out ahead of the game: its height under a
// chosen input, step by step, exactly as updatePlayer moves it, against the
// walls, enemies and items as they will have scrolled. A flight uses it to
// make one hard frame happen at one chosen step (an edge crossed while a wall
// is touched, an item taken in the last step of a stage), which no pilot
// aiming for safety would do.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "gamecore/game_main.h"

namespace corpusgen {

// What the craft's box overlaps after one step.
struct Contacts {
    bool wall = false;
    bool enemy = false;
    bool item = false;
};

// Notes a judge keeps along one candidate flight (for instance the step of its first miss).
struct PathMarks {
    int first = 0;
    int second = 0;
};

enum class Verdict { FAIL, GO_ON, GOAL };

// Judges step `step` (1 = the next one) of a candidate: edge is -1 when the
// craft crossed the top edge in it, 1 the bottom edge, 0 neither. A crossed
// edge ends the run, so GO_ON counts as FAIL there.
using Judge = std::function<Verdict(int step, int edge, const Contacts& contacts, PathMarks& marks)>;

// Where the craft is steered during part of a manoeuvre.
struct Aim {
    enum Kind { HEIGHT, FULL_THRUST, LET_GO };
    Kind kind = HEIGHT;
    int y = 0;  // HEIGHT: sub-pixels

    static Aim height(int y) { return {HEIGHT, y}; }
    static Aim fullThrust() { return {FULL_THRUST, 0}; }
    static Aim letGo() { return {LET_GO, 0}; }
};

// UP or not for each step from the next one up to the step the judge accepted.
struct Plan {
    std::vector<bool> ups;
    int goalStep = 0;
};

class CraftPlanner {
public:
    // Takes the craft and the field as they are before the next play step.
    CraftPlanner(const GameMain& game, int horizon);

    // Tries the manoeuvres "steer by first until step s, then by then" for
    // every first, then and s up to the horizon, and returns the first one
    // the judge accepts.
    std::optional<Plan> find(const std::vector<Aim>& firsts, const std::vector<Aim>& thens, const Judge& judge) const;

    // What the craft at height y overlaps after `step` steps.
    Contacts contactsAt(int step, int y) const;

private:
    struct Box {
        int x, y, halfWidth, halfHeight;
        enum Kind { WALL, ENEMY, ITEM } kind;
    };

    std::optional<Plan> fly(const Aim& first, int switchStep, const Aim& then, const Judge& judge) const;

    int horizon_;
    int craftX_, craftHalf_, craftY_, craftVy_, energy_;
    int scrollSpeed_;
    int bottom_;
    std::vector<Box> boxes_;
};

// UP or not for a craft at y with upward speed vy steered toward targetY: the
// fastest approach that can still stop there (the scripted pilot's rule).
bool thrustToward(int y, int vy, int targetY);

}  // namespace corpusgen

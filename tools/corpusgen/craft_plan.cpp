// The craft's flight worked out ahead; see craft_plan.h. The step below must
// stay the step of updatePlayer: a plan that drifts from it by one sub-pixel
// makes its frame happen one step early or not at all, and the corpus
// generator then rejects the replay when it plays it back.
#include "craft_plan.h"

#include <cmath>
#include <cstdlib>

namespace corpusgen {

namespace {

// The craft's feel, as the game moves it.
constexpr int THRUST = 200;
constexpr int GRAVITY = 98;
constexpr int ENERGY_DRAIN = 3;

int enemyHeightFactor(int kind) { return kind == 0 ? 2 : (kind == 1 ? 3 : (kind == 2 ? 4 : 1)); }

}  // namespace

bool thrustToward(int y, int vy, int targetY) {
    const int distance = y - targetY;  // positive: the target is above
    const int wanted = static_cast<int>(0.8 * 10.0 * std::sqrt(20.0 * std::abs(distance))) * (distance >= 0 ? 1 : -1);
    return vy < wanted;
}

CraftPlanner::CraftPlanner(const GameMain& game, int horizon)
    : horizon_(horizon),
      craftX_(game.player.x),
      craftHalf_(game.player.size / 2),
      craftY_(game.player.y),
      craftVy_(game.player.vy),
      energy_(game.player.energy),
      scrollSpeed_(game.scrollSpeed),
      bottom_(480 * game.subPixels) {
    // Only what can reach the craft within the horizon; new spawns come in far to the right.
    const int left = craftX_ - 4000;
    const int right = craftX_ + horizon * scrollSpeed_ + 4000;
    auto keep = [&](const PlayObject& object, int halfWidth, int halfHeight, Box::Kind kind) {
        if (object.life > 0 && object.x >= left && object.x <= right) {
            boxes_.push_back({object.x, object.y, halfWidth, halfHeight, kind});
        }
    };
    for (int i = 0; i < game.wallScanEnd; ++i)
        keep(game.walls[i], game.walls[i].size / 2, game.walls[i].size / 2, Box::WALL);
    for (const PlayObject& enemy : game.enemies) {
        keep(enemy, enemy.size / 2, enemy.size * enemyHeightFactor(enemy.kind) / 2, Box::ENEMY);
    }
    for (const PlayObject& item : game.items) keep(item, item.size / 2, item.size / 2, Box::ITEM);
}

Contacts CraftPlanner::contactsAt(int step, int y) const {
    Contacts contacts;
    const int shift = step * scrollSpeed_;
    for (const Box& box : boxes_) {
        if (std::abs(box.x - shift - craftX_) > box.halfWidth + craftHalf_) continue;
        if (std::abs(box.y - y) > box.halfHeight + craftHalf_) continue;
        switch (box.kind) {
            case Box::WALL:
                contacts.wall = true;
                break;
            case Box::ENEMY:
                contacts.enemy = true;
                break;
            case Box::ITEM:
                contacts.item = true;
                break;
        }
    }
    return contacts;
}

std::optional<Plan> CraftPlanner::fly(const Aim& first, int switchStep, const Aim& then, const Judge& judge) const {
    Plan plan;
    PathMarks marks;
    int y = craftY_, vy = craftVy_, energy = energy_;
    for (int step = 1; step <= horizon_; ++step) {
        const Aim& aim = step < switchStep ? first : then;
        bool up = false;
        switch (aim.kind) {
            case Aim::HEIGHT:
                up = thrustToward(y, vy, aim.y);
                break;
            case Aim::FULL_THRUST:
                up = true;
                break;
            case Aim::LET_GO:
                up = false;
                break;
        }
        plan.ups.push_back(up);
        // updatePlayer's order: thrust, pull, move, drain, then the edges.
        if (up && energy > 0) vy += THRUST;
        vy -= GRAVITY;
        y -= vy / 10;
        energy = energy > ENERGY_DRAIN ? energy - ENERGY_DRAIN : 0;
        int edge = 0;
        if (y < 0) {
            y = 0;
            vy = 0;
            edge = -1;
        } else if (y > bottom_) {
            y = bottom_;
            vy = 0;
            edge = 1;
        }
        const Verdict verdict = judge(step, edge, contactsAt(step, y), marks);
        if (verdict == Verdict::GOAL) {
            plan.goalStep = step;
            return plan;
        }
        if (verdict == Verdict::FAIL || edge != 0) return std::nullopt;
    }
    return std::nullopt;
}

std::optional<Plan> CraftPlanner::find(const std::vector<Aim>& firsts, const std::vector<Aim>& thens,
                                       const Judge& judge) const {
    for (const Aim& first : firsts) {
        for (const Aim& then : thens) {
            for (int switchStep = 1; switchStep <= horizon_ + 1; ++switchStep) {
                if (std::optional<Plan> plan = fly(first, switchStep, then, judge)) return plan;
            }
        }
    }
    return std::nullopt;
}

}  // namespace corpusgen

// A scripted pilot for live headless runs: each frame it looks at the craft,
// the next wall column, items and enemies, and decides whether to hold UP
// (to reach the middle of the nearest opening or an item) and whether to
// raise the barrier (an enemy close ahead). Used to make the long replays of
// the timing programs and the soak run; it plays well, not perfectly.
// Header-only: every .cpp in bench/ is a program of its own.
#pragma once

#include <climits>
#include <cmath>
#include <cstdlib>
#include <unordered_set>

#include "gamecore/game_main.h"

namespace bench {

struct PilotInput {
    bool up = false;
    bool barrier = false;
};

class Pilot {
public:
    // seed 0 flies the plain way; other seeds add noise to the choice of
    // opening, so a run that went wrong can be flown again differently.
    explicit Pilot(unsigned seed = 0) : seed_(seed), noise_(seed) {}
    PilotInput decide(const GameMain& game);

private:
    int targetY(const GameMain& game);
    // True when holding UP (or not) for the next frames keeps the craft clear
    // of walls, enemies and edges over the look-ahead; fills the first choice.
    bool planSafe(const GameMain& game, int target, bool& upFirst);
    // The deepest chunk reached without a hit (CHUNKS: a whole safe plan).
    int searchFrom(int depth, int y, int vy, int target);
    bool blocked(int frameAhead, int y) const;

    struct Obstacle {
        int x, y, halfWidth, halfHeight;
    };
    static constexpr int MAX_OBSTACLES = GameMain::WALL_CAPACITY + GameMain::ENEMY_CAPACITY;
    Obstacle obstacles_[MAX_OBSTACLES] = {};
    int obstacleCount_ = 0;
    int craftX_ = 0;
    int craftHalf_ = 0;
    int scroll_ = 0;
    int nodes_ = 0;
    // States already searched this frame (chunk, height, speed), as failed ends.
    std::unordered_set<long long> dead_;
    unsigned seed_ = 0;
    unsigned noise_ = 0;
    bool barrierA_ = false;
    // The column whose opening was chosen (its x as it will be this frame) and that opening's middle.
    int columnX_ = -1;
    int columnTarget_ = 0;  // A went down last frame: release it so the next press triggers again
};

namespace pilot_detail {

constexpr int PX = SUB_PIXELS;
constexpr int ROW_PX = 16;
constexpr int SCREEN_ROWS = 30;
constexpr int ROWS = 40;
// The craft never aims closer than this to the top or bottom edge.
constexpr int EDGE_MARGIN = 40 * PX;

}  // namespace pilot_detail
using namespace pilot_detail;

inline int Pilot::targetY(const GameMain& game) {
    const PlayObject& craft = game.player;
    const int craftLeft = craft.x - craft.size / 2;

    // The nearest column whose walls have not yet passed the craft.
    int columnX = INT_MAX;
    for (const PlayObject& wall : game.walls) {
        if (wall.life > 0 && wall.x + wall.size / 2 >= craftLeft - 2 * PX && wall.x < columnX) columnX = wall.x;
    }

    // An item before that column (or with no column in sight) is worth a detour when energy runs low.
    int itemY = -1;
    int itemX = INT_MAX;
    for (const PlayObject& item : game.items) {
        if (item.life > 0 && item.x + item.size / 2 >= craftLeft && item.x < columnX && item.x < itemX) {
            itemX = item.x;
            itemY = item.y;
        }
    }
    if (itemY >= 0 && (craft.energy < game.maxEnergy * 9 / 10 || columnX == INT_MAX || columnX - itemX > 60 * PX)) {
        return itemY;
    }
    if (columnX == INT_MAX) return 240 * PX;

    // Once chosen, an opening is kept until its column has passed: switching
    // halfway between two openings hits the wall between them.
    if (columnX == columnX_) {
        columnX_ -= game.scrollSpeed;
        return columnTarget_;
    }

    bool wall[ROWS] = {};
    for (const PlayObject& w : game.walls) {
        if (w.life > 0 && w.x == columnX) {
            const int row = w.y / (ROW_PX * PX);
            if (row >= 0 && row < ROWS) wall[row] = true;
        }
    }
    // Enemies guard openings: an opening with an enemy in it counts as narrower.
    auto enemyAt = [&](int y) {
        for (const PlayObject& e : game.enemies) {
            if (e.life > 0 && std::abs(e.x - columnX) < 40 * PX && std::abs(e.y - y) < 60 * PX) return true;
        }
        return false;
    };

    // The opening whose middle is nearest, preferring wide and unguarded ones.
    int best = 240 * PX;
    int bestCost = INT_MAX;
    for (int row = 1; row < SCREEN_ROWS;) {
        if (wall[row]) {
            ++row;
            continue;
        }
        int end = row;
        while (end < SCREEN_ROWS && !wall[end]) ++end;
        const int top = row * ROW_PX * PX - ROW_PX * PX / 2;
        const int bottom = end * ROW_PX * PX - ROW_PX * PX / 2;
        int middle = (top + bottom) / 2;
        if (middle < EDGE_MARGIN) middle = EDGE_MARGIN;
        if (middle > 480 * PX - EDGE_MARGIN) middle = 480 * PX - EDGE_MARGIN;
        int cost = std::abs(middle - craft.y) - (end - row) * 12 * PX;
        if (seed_ != 0) {
            noise_ = noise_ * 1103515245u + 12345u;
            cost += static_cast<int>((noise_ >> 16) % 300) * PX;
        }
        if (enemyAt(middle)) cost += 150 * PX;
        if (cost < bestCost) {
            bestCost = cost;
            best = middle;
        }
        row = end;
    }
    columnX_ = columnX - game.scrollSpeed;
    columnTarget_ = best;
    return best;
}

inline PilotInput Pilot::decide(const GameMain& game) {
    PilotInput input;
    if (game.phase != GameMain::PLAY || game.player.life <= 0) {
        barrierA_ = false;
        return input;
    }
    const PlayObject& craft = game.player;
    const int target = targetY(game);
    // The fastest approach that can still stop at the target: thrust and pull
    // both change vy by about 100 a frame, so the speed that stops within a
    // distance d (sub-pixels) is 10 * sqrt(20 d) in vy's tenths; fly at 80% of it.
    const int distance = craft.y - target;  // positive: the target is above
    const int wanted = static_cast<int>(0.8 * 10.0 * std::sqrt(20.0 * std::abs(distance))) * (distance >= 0 ? 1 : -1);
    input.up = craft.vy < wanted;
    bool planned = input.up;
    if (planSafe(game, target, planned)) input.up = planned;

    if (!barrierA_ && craft.barrierFrames == 0 && craft.energy > game.barrierCost + 5000) {
        for (const PlayObject& e : game.enemies) {
            if (e.life > 0 && e.x > craft.x && e.x - craft.x < 90 * PX && std::abs(e.y - craft.y) < 80 * PX) {
                input.barrier = true;
                break;
            }
        }
    }
    barrierA_ = input.barrier;
    return input;
}


// A look-ahead of CHUNKS decisions, each held for CHUNK_FRAMES frames, over a
// simple model of the craft (thrust, pull, integer steps as the game takes
// them) against the walls and enemies as they will have scrolled. Depth-first,
// trying the steering choice first, with a budget of nodes per frame.
constexpr int CHUNK_FRAMES = 6;
constexpr int CHUNKS = 16;
constexpr int NODE_BUDGET = 6000;
constexpr int SAFETY = 3 * PX;

inline bool Pilot::blocked(int frameAhead, int y) const {
    if (y < SAFETY + 4 * PX || y > 480 * PX - SAFETY - 4 * PX) return true;
    const int shift = frameAhead * scroll_;
    for (int i = 0; i < obstacleCount_; ++i) {
        const Obstacle& o = obstacles_[i];
        if (std::abs(o.x - shift - craftX_) <= o.halfWidth + craftHalf_ + SAFETY &&
            std::abs(o.y - y) <= o.halfHeight + craftHalf_ + SAFETY) {
            return true;
        }
    }
    return false;
}

inline int Pilot::searchFrom(int depth, int y, int vy, int target) {
    if (depth == CHUNKS) return depth;
    if (++nodes_ > NODE_BUDGET) return depth;
    const long long key = (static_cast<long long>(depth) << 40) ^ (static_cast<long long>(y / 50) << 20) ^ (vy / 40 + 100000);
    if (dead_.count(key)) return depth;
    const int wanted = static_cast<int>(0.8 * 10.0 * std::sqrt(20.0 * std::abs(y - target))) * (y >= target ? 1 : -1);
    const bool preferred = vy < wanted;
    int deepest = depth;
    for (bool up : {preferred, !preferred}) {
        int ny = y, nvy = vy;
        bool clear = true;
        for (int f = 0; f < CHUNK_FRAMES && clear; ++f) {
            if (up) nvy += 200;
            nvy -= 98;
            ny -= nvy / 10;
            clear = !blocked(depth * CHUNK_FRAMES + f + 1, ny);
        }
        if (!clear) continue;
        const int reached = searchFrom(depth + 1, ny, nvy, target);
        if (reached == CHUNKS) return CHUNKS;
        if (reached > deepest) deepest = reached;
    }
    dead_.insert(key);
    return deepest;
}

inline bool Pilot::planSafe(const GameMain& game, int target, bool& upFirst) {
    craftX_ = game.player.x;
    craftHalf_ = game.player.size / 2;
    scroll_ = game.scrollSpeed;
    obstacleCount_ = 0;
    const int reach = craftX_ + (CHUNKS * CHUNK_FRAMES + 2) * scroll_ + 100 * PX;
    for (const PlayObject& w : game.walls) {
        if (w.life > 0 && w.x > craftX_ - 30 * PX && w.x < reach) {
            obstacles_[obstacleCount_++] = {w.x, w.y, w.size / 2, w.size / 2};
        }
    }
    // A raised barrier clears enemies; without it they are walls.
    if (game.player.barrierFrames == 0) {
        for (const PlayObject& e : game.enemies) {
            if (e.life > 0 && e.x > craftX_ - 60 * PX && e.x < reach) {
                const int factor = e.kind == 0 ? 2 : (e.kind == 1 ? 3 : 4);
                obstacles_[obstacleCount_++] = {e.x, e.y, e.size / 2, e.size * factor / 2};
            }
        }
    }
    nodes_ = 0;
    dead_.clear();
    const int wanted = static_cast<int>(0.8 * 10.0 * std::sqrt(20.0 * std::abs(game.player.y - target))) *
                       (game.player.y >= target ? 1 : -1);
    const bool preferred = game.player.vy < wanted;
    // The choice whose best plan stays clear longest; a whole safe plan ends the search.
    int bestDepth = -1;
    for (bool up : {preferred, !preferred}) {
        int y = game.player.y, vy = game.player.vy;
        bool clear = true;
        for (int f = 0; f < CHUNK_FRAMES && clear; ++f) {
            if (up) vy += 200;
            vy -= 98;
            y -= vy / 10;
            clear = !blocked(f + 1, y);
        }
        const int reached = clear ? searchFrom(1, y, vy, target) : 0;
        if (reached > bestDepth) {
            bestDepth = reached;
            upFirst = up;
        }
        if (reached == CHUNKS) return true;
    }
    return bestDepth > 0;
}

}  // namespace bench

// The per-frame collision list: every object registers its box while it
// updates, and once the field has moved the boxes that can interact are tested
// pair by pair, outer entry in list order. Also the debug outline view.
#include "gamecore/game_main.h"
#include "kiln2/kiln2.h"

namespace {

// A box's edges, half sizes truncated toward zero.
struct Bounds {
    int left, right, top, bottom;
};

inline Bounds boundsOf(const Collider& c) {
    return {c.x - c.width / 2, c.x + c.width / 2, c.y - c.height / 2, c.y + c.height / 2};
}

// Touching edges count: a craft grazing a wall is hit. Most boxes are far
// off to the side, so the horizontal test goes first.
inline bool overlaps(const Bounds& a, const Collider& other) {
    const int halfWidth = other.width / 2;
    if (a.left > other.x + halfWidth || other.x - halfWidth > a.right) {
        return false;
    }
    const int halfHeight = other.height / 2;
    return a.top <= other.y + halfHeight && other.y - halfHeight <= a.bottom;
}

}  // namespace

void GameMain::clearColliders() {
    for (int i = 0; i < colliderCount; ++i) {
        colliders[i].active = 0;
    }
    colliderCount = 0;
    starterBoxes.count = playerBoxes.count = enemyBoxes.count = wallBoxes.count = 0;
}

// Handlers change the objects behind the boxes, never the list: a box stays in
// play for the rest of the pass even if its object was freed a moment ago.
// Because of that, the boxes each kind of outer box looks for can be noted as
// they are added (walls and enemies only ever answer), and the calls come out
// in the same order as scanning the whole list for every outer box.
void GameMain::resolveCollisions() {
    for (int s = 0; s < starterBoxes.count; ++s) {
        const Collider& outer = colliders[starterBoxes.entries[s]];
        if (outer.active <= 0) {
            continue;
        }
        const Bounds box = boundsOf(outer);
        // Tests every active box of one kind against the outer one, calling hit for each contact.
        auto against = [&](const ColliderIndex& kind, auto hit) {
            for (int k = 0; k < kind.count; ++k) {
                const Collider& other = colliders[kind.entries[k]];
                if (other.active > 0 && overlaps(box, other)) {
                    hit(other);
                }
            }
        };
        if (outer.type == BARRIER) {
            against(enemyBoxes, [&](const Collider& enemy) { onEnemyBreak(enemy, outer); });
        } else if (outer.type == PLAYER) {
            // Enemies before walls; the first contact makes the craft
            // invincible, so the rest of the frame's contacts cost nothing.
            against(enemyBoxes, [&](const Collider& enemy) { onPlayerMiss(outer, enemy); });
            against(wallBoxes, [&](const Collider& wall) { onPlayerMiss(outer, wall); });
        } else {
            against(playerBoxes, [&](const Collider& craft) { onItemGet(outer, craft); });
        }
    }
}

PlayObject* GameMain::getPlayObject(int type, int index) {
    switch (type) {
        case PLAYER:
            return &player;
        case ENEMY:
            return index >= 0 && index < ENEMY_CAPACITY ? &enemies[index] : nullptr;
        case WALL:
            return index >= 0 && index < WALL_CAPACITY ? &walls[index] : nullptr;
        case ITEM:
            return index >= 0 && index < ITEM_CAPACITY ? &items[index] : nullptr;
        default:
            return nullptr;  // the barrier is part of the player's record, not an object of its own
    }
}

// Outlines of every box in the list, coloured by what registered it. Nothing
// in the game turns this on; it is there for looking at hit boxes.
void GameMain::drawColliders() {
    if (!showColliders) {
        return;
    }
    Kiln_setBlendMode(BLEND_ALPHA);
    for (int i = 0; i < colliderCount; ++i) {
        const Collider& c = colliders[i];
        if (c.active <= 0) {
            continue;
        }
        uint8_t r = 255, g = 255, b = 255;
        switch (c.type) {
            case PLAYER: r = 255, g = 0, b = 0; break;
            case BARRIER: r = 128, g = 0, b = 128; break;
            case ENEMY: r = 0, g = 0, b = 128; break;
            case WALL: r = 0, g = 128, b = 128; break;
            case ITEM: r = 0, g = 255, b = 0; break;
            default: break;
        }
        Kiln_drawRectCentered(c.x / subPixels, c.y / subPixels, (c.width / 2) / subPixels, (c.height / 2) / subPixels,
                              2, 0.0f, r, g, b, 255);
    }
}

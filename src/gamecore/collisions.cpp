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
}

// The list only grows during a frame, so the first free entry is the count;
// a full list drops the box.
void GameMain::addCollider(int type, int index, int x, int y, int width, int height) {
    const int capacity = colliderCapacity < COLLIDER_CAPACITY ? colliderCapacity : COLLIDER_CAPACITY;
    if (colliderCount >= capacity) {
        return;
    }
    Collider& entry = colliders[colliderCount++];
    entry.active = 1;
    entry.type = type;
    entry.index = index;
    entry.x = x;
    entry.y = y;
    entry.width = width;
    entry.height = height;
}

// Handlers change the objects behind the boxes, never the list: a box stays in
// play for the rest of the pass even if its object was freed a moment ago.
// Because of that, the boxes each kind of outer box looks for can be gathered
// once, in list order, before any handler runs; the calls come out in the
// same order as scanning the whole list for every outer box.
void GameMain::resolveCollisions() {
    const int count = colliderCount;
    int players[COLLIDER_CAPACITY], enemyBoxes[COLLIDER_CAPACITY], wallBoxes[COLLIDER_CAPACITY];
    int playerCount = 0, enemyCount = 0, wallCount = 0;
    for (int j = 0; j < count; ++j) {
        if (colliders[j].active <= 0) {
            continue;
        }
        switch (colliders[j].type) {
            case PLAYER: players[playerCount++] = j; break;
            case ENEMY: enemyBoxes[enemyCount++] = j; break;
            case WALL: wallBoxes[wallCount++] = j; break;
            default: break;
        }
    }

    for (int i = 0; i < count; ++i) {
        const Collider& outer = colliders[i];
        // Walls and enemies only ever answer: they start no test of their own.
        if (outer.active <= 0 || outer.type == WALL || outer.type == ENEMY) {
            continue;
        }
        const Bounds box = boundsOf(outer);
        if (outer.type == BARRIER) {
            for (int k = 0; k < enemyCount; ++k) {
                if (overlaps(box, colliders[enemyBoxes[k]])) {
                    onEnemyBreak(colliders[enemyBoxes[k]], outer);
                }
            }
        } else if (outer.type == PLAYER) {
            // Enemies before walls; the first contact makes the craft
            // invincible, so the rest of the frame's contacts cost nothing.
            for (int k = 0; k < enemyCount; ++k) {
                if (overlaps(box, colliders[enemyBoxes[k]])) {
                    onPlayerMiss(outer, colliders[enemyBoxes[k]]);
                }
            }
            for (int k = 0; k < wallCount; ++k) {
                if (overlaps(box, colliders[wallBoxes[k]])) {
                    onPlayerMiss(outer, colliders[wallBoxes[k]]);
                }
            }
        } else if (outer.type == ITEM) {
            for (int k = 0; k < playerCount; ++k) {
                if (overlaps(box, colliders[players[k]])) {
                    onItemGet(outer, colliders[players[k]]);
                }
            }
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

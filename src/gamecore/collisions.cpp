// The per-frame collision list: every object registers its box while it
// updates, and once the field has moved the boxes that can interact are tested
// pair by pair, outer entry in list order. Also the debug outline view.
#include "gamecore/game_main.h"
#include "kiln2/kiln2.h"

namespace {

// Touching edges count: a craft grazing a wall is hit.
bool overlaps(const Collider& a, const Collider& b) {
    const int aLeft = a.x - a.width / 2, aRight = a.x + a.width / 2;
    const int aTop = a.y - a.height / 2, aBottom = a.y + a.height / 2;
    const int bLeft = b.x - b.width / 2, bRight = b.x + b.width / 2;
    const int bTop = b.y - b.height / 2, bBottom = b.y + b.height / 2;
    return aLeft <= bRight && bLeft <= aRight && aTop <= bBottom && bTop <= aBottom;
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
void GameMain::resolveCollisions() {
    const int count = colliderCount;
    for (int i = 0; i < count; ++i) {
        if (colliders[i].active <= 0) {
            continue;
        }
        const int outerType = colliders[i].type;
        if (outerType == BARRIER) {
            for (int j = 0; j < count; ++j) {
                if (colliders[j].type == ENEMY && colliders[j].active > 0 && overlaps(colliders[i], colliders[j])) {
                    onEnemyBreak(colliders[j], colliders[i]);
                }
            }
        } else if (outerType == PLAYER) {
            // Enemies before walls; the first contact makes the craft
            // invincible, so the rest of the frame's contacts cost nothing.
            for (int j = 0; j < count; ++j) {
                if (colliders[j].type == ENEMY && colliders[j].active > 0 && overlaps(colliders[i], colliders[j])) {
                    onPlayerMiss(colliders[i], colliders[j]);
                }
            }
            for (int j = 0; j < count; ++j) {
                if (colliders[j].type == WALL && colliders[j].active > 0 && overlaps(colliders[i], colliders[j])) {
                    onPlayerMiss(colliders[i], colliders[j]);
                }
            }
        } else if (outerType == ITEM) {
            for (int j = 0; j < count; ++j) {
                if (colliders[j].type == PLAYER && colliders[j].active > 0 && overlaps(colliders[i], colliders[j])) {
                    onItemGet(colliders[i], colliders[j]);
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

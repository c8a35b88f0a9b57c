// Decoration of play: sparks, debris, the flashes of the item-get ring and the
// rising score popups. Effects travel with the course, never collide and never
// change the score or energy.
#include <cstdio>

#include "gamecore/game_main.h"
#include "kiln2/kiln2.h"

namespace {

// Falling particles are pulled down by this much per frame.
constexpr int PARTICLE_GRAVITY = 49;
constexpr int DEBRIS_SIZE_PX = 4;
constexpr int SPARK_SIZE_PX = 2;
constexpr int FLASH_SIZE_PX = 8;
constexpr int POPUP_LIFETIME = 60;  // about a second on screen
constexpr int FLASH_LIFETIME = 2;
// The 640 x 480 view plus 50 px on every side: beyond it an effect is gone.
constexpr int MARGIN_LEFT_PX = -50;
constexpr int MARGIN_RIGHT_PX = 690;
constexpr int MARGIN_TOP_PX = -50;
constexpr int MARGIN_BOTTOM_PX = 530;
constexpr float POPUP_TEXT_SCALE = 2.0f;

}  // namespace

void GameMain::spawnEffect(int kind, int x, int y, int angle, int speed, int value) {
    int slot = -1;
    for (int i = 0; i < effectCapacity; ++i) {
        if (effects[i].life <= 0) {
            slot = i;
            break;
        }
    }
    if (slot < 0) {
        return;  // a full pool drops the effect
    }
    PlayObject& effect = effects[slot];
    effect.age = 0;
    effect.life = 1;
    effect.kind = kind;
    effect.x = x;
    effect.y = y;
    effect.launchSpeed = speed;
    effect.launchAngle = angle;
    switch (kind) {
        case DEBRIS: effect.size = DEBRIS_SIZE_PX * subPixels; break;
        case SPARK: effect.size = SPARK_SIZE_PX * subPixels; break;
        case FLASH: effect.size = FLASH_SIZE_PX * subPixels; break;
        default: break;  // a popup keeps whatever size the slot had
    }
    if (kind == DEBRIS || kind == SPARK || kind == FLASH || kind == SCORE_POPUP) {
        polarToVector(angle, speed, effect.vx, effect.vy);
    }
    if (kind == SCORE_POPUP) {
        effect.effectValue = value;
    }
}

void GameMain::updateEffects() {
    const int left = MARGIN_LEFT_PX * subPixels, right = MARGIN_RIGHT_PX * subPixels;
    const int top = MARGIN_TOP_PX * subPixels, bottom = MARGIN_BOTTOM_PX * subPixels;
    for (int i = 0; i < effectCapacity; ++i) {
        PlayObject& effect = effects[i];
        if (effect.life <= 0) {
            continue;
        }
        effect.x -= scrollSpeed;
        switch (effect.kind) {
            case DEBRIS:
            case SPARK:
                effect.vy += PARTICLE_GRAVITY;
                break;
            case SCORE_POPUP:
                if (effect.age > POPUP_LIFETIME) {
                    effect.life = 0;
                }
                break;
            case FLASH:
                if (effect.age > FLASH_LIFETIME) {
                    effect.life = 0;
                }
                break;
            default:
                break;
        }
        effect.x += effect.vx;
        effect.y += effect.vy;
        if (effect.x < left || effect.x > right || effect.y < top || effect.y > bottom) {
            effect.life = 0;
        }
        effect.age += 1;
    }
}

// Called twice per frame (below and above the craft and items); the layer
// does not change what is drawn, so the upper pass is what shows.
void GameMain::drawEffects(int layer) {
    (void)layer;
    for (int i = 0; i < effectCapacity; ++i) {
        const PlayObject& effect = effects[i];
        if (effect.life <= 0) {
            continue;
        }
        Kiln_setBlendMode(BLEND_ALPHA);
        const int x = effect.x / subPixels;
        const int y = effect.y / subPixels;
        const int half = (effect.size / 2) / subPixels;
        switch (effect.kind) {
            case DEBRIS: Kiln_drawRectCentered(x, y, half, half, 0, 0.0f, 243, 0, 0, 255); break;
            case SPARK: Kiln_drawRectCentered(x, y, half, half, 0, 0.0f, 128, 128, 255, 255); break;
            case FLASH: Kiln_drawRectCentered(x, y, half, half, 0, 0.0f, 255, 255, 255, 255); break;
            case SCORE_POPUP: {
                char text[24];
                std::snprintf(text, sizeof text, "%dpt", effect.effectValue);
                Kiln_drawText(text, x, y, POPUP_TEXT_SCALE, 255, 255, 255, 255);
                break;
            }
            default: break;
        }
    }
}

int GameMain::liveEffects() const {
    int live = 0;
    for (int i = 0; i < effectCapacity; ++i) {
        if (effects[i].life > 0) {
            ++live;
        }
    }
    return live;
}

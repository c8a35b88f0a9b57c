// The ghost of the stage's best run; see ghost_run.h.
#include "state/ghost_run.h"

#include <cstdio>
#include <filesystem>

#include "config/player_files.h"
#include "gamecore/run_summary.h"
#include "kiln2/kiln2.h"
#include "state/playback_game.h"

namespace {

// About a third opaque, in amber, so it never reads as the live craft (blue).
constexpr uint8_t GHOST_ALPHA = 85;
constexpr uint8_t CRAFT_R = 255, CRAFT_G = 176, CRAFT_B = 64;
constexpr uint8_t TRAIL_R = 255, TRAIL_G = 128, TRAIL_B = 32;
constexpr uint8_t HUD_R = 255, HUD_G = 176, HUD_B = 64;
constexpr int TRAIL_COLUMN_PX = 4;
constexpr int HUD_X = 2;
constexpr int HUD_Y = 38;

}  // namespace

std::unique_ptr<GhostRun> GhostRun::forStage(int stage, int hiScore) {
    return forReplayFile(stage, hiScore, stageReplayFile(stage));
}

std::unique_ptr<GhostRun> GhostRun::forReplayFile(int stage, int hiScore, const std::string& file) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error)) return nullptr;
    return std::make_unique<GhostRun>(std::make_unique<PlaybackGame>(stage, hiScore, file));
}

GhostRun::GhostRun(std::unique_ptr<GameMain> run) : run_(std::move(run)) {}

GhostRun::~GhostRun() = default;

void GhostRun::follow() {
    if (!flying_) return;
    KilnQuietScope silent;
    run_->update();
    // A replay that cannot be loaded ends at once, and a run at its results has nothing left to race.
    if (run_->phase == GameMain::RESULTS || run_->phase == GameMain::END) {
        flying_ = false;
        return;
    }
    // The random draws the ghost's picture would make stay the ghost's, as in the replay verifier.
    KilnDiscardDrawingScope unseen;
    run_->draw();
}

void GhostRun::drawCraft() const {
    if (!flying_) return;
    const PlayerObject& craft = run_->player;
    const int sub = run_->subPixels;
    const int half = (craft.size / 2) / sub;
    Kiln_setBlendMode(BLEND_ALPHA);
    // The trail points stand one pixel apart, so squares would pile up into an
    // opaque band: the trail is a band of narrow columns that never overlap,
    // one for every fourth point and one rectangle for each stretch at one
    // height, so the ghost's whole picture stays a few dozen rectangles.
    // A column covers points i down to i - 3; the last one ends just left of the craft.
    int i = half + (run_->trailLength - 1 - half) / TRAIL_COLUMN_PX * TRAIL_COLUMN_PX;
    while (i > half) {
        const int y = craft.trail[i].y / sub;
        const int left = craft.trail[i].x / sub;
        int width = 0;
        while (i > half && craft.trail[i].y / sub == y) {
            width += TRAIL_COLUMN_PX;
            i -= TRAIL_COLUMN_PX;
        }
        Kiln_drawRect(left, y - half, width, 2 * half, 0, 0.0f, TRAIL_R, TRAIL_G, TRAIL_B, GHOST_ALPHA);
    }
    Kiln_drawRectCentered(craft.x / sub, craft.y / sub, half, half, 0, 0.0f, CRAFT_R, CRAFT_G, CRAFT_B, GHOST_ALPHA);
}

void GhostRun::drawHudLine(int liveScore) const {
    char text[32];
    if (flying_) {
        std::snprintf(text, sizeof text, "GHOST %+d", liveScore - run_->score);
    } else {
        std::snprintf(text, sizeof text, "GHOST %dm", runDistanceMetres(*run_));
    }
    Kiln_drawText(text, HUD_X, HUD_Y, 2.0f, HUD_R, HUD_G, HUD_B, 255);
}

// The countdown before a run, the per-frame progress and end test of the
// course, keeping a new record, and the results screen.
#include <cstdio>
#include <string>

#include "gamecore/game_main.h"
#include "gamecore/record_saver.h"
#include "gamecore/run_music.h"
#include "kiln2/kiln2.h"

namespace {

constexpr int READY_FRAMES = 180;         // "READY" then " GO! ", about three seconds
constexpr int GO_FROM = 120;              // the countdown reads " GO! " after this
constexpr int RESULTS_LOCKED_FRAMES = 120;  // the results cannot be left before this
// A replay file holds at most REPLAY_CAPACITY records: entry 0, the recorded
// frames and the released last entry. A run stops where its recording still fits.
constexpr int LAST_RECORDED_FRAME = REPLAY_CAPACITY - 2;

}  // namespace

void GameMain::updateReady() {
    if (readyTimer < READY_FRAMES) {
        readyTimer += 1;
    } else {
        Kiln_playBgm(RUN_PLAY_MUSIC, -1, 0);
        phase = PLAY;
        readyTimer = 0;
    }
}

void GameMain::drawReady() {
    Kiln_drawText(readyTimer <= GO_FROM ? "READY" : " GO! ", 240, 200, 4.0f, 255, 255, 255, 255);
}

void GameMain::updateRun() {
    scrollPos += scrollSpeed;
    score += 1;
    int distance = scrollPos / subPixels / pixelsPerTenMetres;
    if (stageGoal == 0) distance = -1;

    const bool goesOn = player.life > 0 && stageGoal > distance && keypad->getFrame() < LAST_RECORDED_FRAME;
    if (!goesOn) {
        scrollSpeed = 0;
        Kiln_playBgm(RUN_RESULTS_MUSIC, 0, 0);
        // A tie is not a record, and a replay or the verifier never writes.
        if (replayMode == 0 && !hasOverride && hiScores[stage] < score) {
            saveNewRecord(*keypad, *config, hiScores, stage, score);
        }
        phase = RESULTS;
    }

    if (phase == PLAY && (keypad->isTriggerB(true) || keypad->isTriggerPause())) pauseRequested = true;
}

void GameMain::updateResults() {
    if (resultsTimer > RESULTS_LOCKED_FRAMES) {
        if (keypad->isTriggerA(true) || keypad->isTriggerUp(true)) phase = EXIT;
    } else {
        resultsTimer += 1;
    }
}

void GameMain::drawResults() {
    Kiln_setBlendMode(BLEND_ALPHA);
    Kiln_drawText("RESULTS", 200, 250, 4.0f, 255, 255, 255, 255);
    Kiln_drawText("SCORE", 210, 300, 2.0f, 255, 255, 255, 255);
    char scoreText[16];
    std::snprintf(scoreText, sizeof scoreText, "%d", score);
    Kiln_drawText(scoreText, 220, 320, 4.0f, 255, 255, 255, 255);

    if (hiScores[stage] <= score) {
        if (frameCounter % 2 != 0) {
            Kiln_drawText("NEW RECORD !", 170, 390, 4.0f, 255, 255, 255, 255);
        } else {
            // These draws belong to the run's random sequence: drawn in this order, every even frame.
            const int red = Kiln_rand(0, 255);
            const int green = Kiln_rand(0, 255);
            const int blue = Kiln_rand(0, 255);
            Kiln_drawText("NEW RECORD !", 170, 390, 4.0f, static_cast<uint8_t>(red), static_cast<uint8_t>(green),
                          static_cast<uint8_t>(blue), 255);
        }
    }

    if (resultsTimer > RESULTS_LOCKED_FRAMES) {
        Kiln_drawText("PURESS Z OR UP BUTTON TO EXIT", 100, 200, 2.0f, 255, 255, 255, 255);
    } else {
        Kiln_drawText(" OWARI !", 200, 420, 4.0f, 255, 255, 255, 255);
    }
}

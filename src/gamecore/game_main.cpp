// The phase machine of a run: construction, the per-frame update and draw
// dispatch with the frame gate (hit-stop, slow motion), leaving a run, and
// the pause menu, which a live run also opens when its player looks away.
#include "gamecore/game_main.h"

#include "kiln2/kiln2.h"

GameMain::GameMain() {
    setMessage(0);
    config = std::make_unique<ConfigParser>();
    keypad = std::make_unique<Keypad>(0);
    // B pauses the game; it is kept out of the recording so a replay never pauses.
    keypad->setEnableB(false);
    phase = INIT;
}

GameMain::GameMain(const RunSettingsOverride& override) : GameMain() {
    hasOverride = true;
    settingsOverride = override;
}

GameMain::~GameMain() = default;

void GameMain::update() {
    KilnRandomScope ownSequence(random);
    clearColliders();

    // A paused frame is frozen time: nothing moves, no timer runs and the
    // frame does not count, so the slow-motion parity and the sparkle ring
    // continue after the pause exactly as if it had never happened.
    if (phase == PAUSE) {
        Kiln_setDrawOffset(0, 0);
        updatePause();
        return;
    }

    const bool phaseWorkRuns = hitStopFrames == 0 && (frameCounter % 2 != 0 || slowMotionFrames <= 0);
    if (phaseWorkRuns) {
        switch (phase) {
            case INIT:
                init();
                break;
            case READY:
                updateReady();
                break;
            case PLAY:
                keypad->update();
                updatePlayer();
                updateCourse();
                updateItems();
                updateEnemies();
                updateEffects();
                updateRun();
                resolveCollisions();
                break;
            case RESULTS:
                updatePlayer();
                updateCourse();
                updateItems();
                updateEnemies();
                updateEffects();
                updateResults();
                break;
            case STOP:
            case PAUSE:
                break;
            case EXIT:
                exitGame();
                break;
            default:  // END and anything past it
                setMessage(MSG_TITLE);
                break;
        }
    }

    if (phase == PAUSE) {
        Kiln_setDrawOffset(0, 0);
        updatePause();
    } else {
        updateShake();
        updateSlowMotion();
        updateHitStop();
    }
    frameCounter += 1;
    pauseWhenAway();

    // The pause starts only now, after this play frame ran whole, so the
    // frames before and after it are the ones a replay of the run sees. One
    // asked for during the countdown waits for the first play frame.
    if (pauseRequested && phase != READY) {
        pauseRequested = false;
        if (phase == PLAY) {
            phase = PAUSE;
            pauseCursor = 0;
        }
    }
}

void GameMain::pauseWhenAway() {
    // Only a live run waits for its player: a replay being watched plays on,
    // and the verifier has no window or devices to lose.
    if (replayMode != 0 || hasOverride) return;
    if (phase != READY && phase != PLAY) return;
    // Checked every frame, not only in the frames slow motion lets move: the
    // news of a lost window or controller comes in one frame only.
    if (Kiln_wasFocusLost() || Kiln_wasControllerLost()) pauseRequested = true;
}

void GameMain::draw() {
    KilnRandomScope ownSequence(random);
    // With drawing thrown away (the replay verifier), only the layer that
    // draws random numbers runs, so the run's random sequence advances
    // exactly as it does on screen, at simulation speed. A test plays the
    // same run both ways and compares every frame.
    if (Kiln_isDrawingDiscarded()) {
        if (phase == RESULTS) drawResults();
        return;
    }
    Kiln_clear();
    Kiln_resetView();
    Kiln_setBlendMode(BLEND_ALPHA);
    switch (phase) {
        case READY:
        case PLAY:
        case STOP:
        case PAUSE:
            drawEnemies();
            drawWalls();
            drawEffects(0);
            drawPlayer();
            drawItems();
            drawEffects(1);
            drawHud();
            if (phase == READY) drawReady();
            else if (phase == PLAY) drawColliders();
            else if (phase == STOP) drawStop();
            else drawPause();
            break;
        case RESULTS:
            // The craft is gone from the picture once the run is over.
            drawEnemies();
            drawWalls();
            drawEffects(0);
            drawItems();
            drawEffects(1);
            drawHud();
            drawResults();
            break;
        default:  // INIT, EXIT, END: an empty picture
            break;
    }
    Kiln_drawFps(550, 10);
}

void GameMain::exitGame() {
    startShake(0);
    phase = END;
}

void GameMain::drawStop() {}

int GameMain::getScreenWidth() { return Kiln_getScreenWidth(); }

int GameMain::getScreenHeight() { return Kiln_getScreenHeight(); }

std::string GameMain::padZeros(const std::string& s, int width) {
    std::string padded = s;
    if (static_cast<int>(padded.size()) < width) padded.insert(0, width - padded.size(), '0');
    return padded;
}

void GameMain::updatePause() {
    // The menu answers the player's hands even during a replay.
    if (keypad->isTriggerUp(true)) {
        pauseCursor += 1;
        if (pauseCursor > 1) pauseCursor = 0;
    } else if (keypad->isTriggerDown(true)) {
        pauseCursor -= 1;
        if (pauseCursor < 0) pauseCursor = 1;
    }
    if (keypad->isTriggerA(true)) phase = pauseCursor == 0 ? PLAY : EXIT;
    if (keypad->isTriggerB(true) || keypad->isTriggerPause()) phase = PLAY;
}

void GameMain::drawPause() {
    Kiln_setBlendMode(BLEND_ALPHA);
    Kiln_drawTexture("menu", 256, 184 + 32 * pauseCursor, 320, 0, 32, 32, 1.0f, 1.0f, 0.0f, 255, 255, 255, 255);
    Kiln_drawTexture("menu", 160, 120, 0, 0, 320, 240, 1.0f, 1.0f, 0.0f, 255, 255, 255, 255);
}

// The three frame timers that act on the whole picture: the screen shake, the
// slow motion and the hit-stop. The game scene's update reads the last two to
// hold the field back; these operations only start and count them down.
#include "gamecore/game_main.h"
#include "kiln2/kiln2.h"

namespace {

// Shake offsets move in whole steps of this many pixels.
constexpr int SHAKE_STEP_PX = 4;

}  // namespace

void GameMain::startShake(int frames) { shakeFrames = frames; }
void GameMain::startSlowMotion(int frames) { slowMotionFrames = frames; }
void GameMain::startHitStop(int frames) { hitStopFrames = frames; }

// The picture jumps right and down by random steps that shrink as the shake
// runs out; the last frame puts it back at rest, where it stays.
void GameMain::updateShake() {
    shakeFrames -= 1;
    if (shakeFrames < 0) {
        shakeFrames = 0;
    } else if (shakeFrames == 0) {
        shakeOffsetX = 0;
        shakeOffsetY = 0;
    } else {
        // With one frame left the range holds only 0, but the draw still happens.
        const int stepsX = Kiln_rand(0, shakeFrames);
        shakeOffsetX = stepsX * SHAKE_STEP_PX;
        const int stepsY = Kiln_rand(0, shakeFrames);
        shakeOffsetY = stepsY * SHAKE_STEP_PX;
    }
    Kiln_setDrawOffset(shakeOffsetX, shakeOffsetY);
}

void GameMain::updateSlowMotion() {
    if (--slowMotionFrames < 0) {
        slowMotionFrames = 0;
    }
}

void GameMain::updateHitStop() {
    if (--hitStopFrames < 0) {
        hitStopFrames = 0;
    }
}

// The live flight of a corpus case; see flight.h.
#include "flight.h"

#include <memory>

#include "kiln2/headless.h"
#include "kiln2/kiln2.h"

namespace corpusgen {

namespace {

// Far beyond any run: the recording cap ends the endless stage at 36000 frames and slow motion at most doubles that.
constexpr int MAX_FRAMES = 100000;

// The frame's update will run the play step, and with it the keypad.
bool playStepComes(const GameMain& game) {
    return game.phase == GameMain::PLAY && game.hitStopFrames == 0 &&
           (game.frameCounter % 2 != 0 || game.slowMotionFrames <= 0);
}

}  // namespace

void flyAndRecord(int stage, const StepScript& script, const std::string& replayFile) {
    Kiln_setGlobalInt(REPLAY_FLAG_SLOT, 0);
    // The verifier's settings keep a live run away from "config.ini" and "replay/".
    auto game = std::make_unique<corpus::CorpusWatch>(RunSettingsOverride{stage, 0, ""});
    StepKeys held;
    for (int frame = 0; frame < MAX_FRAMES; ++frame) {
        // Keys change only before a play step, so a press is a trigger in exactly the step it was meant for.
        if (playStepComes(*game)) {
            const std::optional<StepKeys> keys = script(*game);
            if (!keys) break;
            held = *keys;
        }
        kiln_headless::setKey(KEY_UP, held.up);
        kiln_headless::setKey(KEY_z, held.barrier);
        Kiln_waitFrame(16);
        game->update();
        if (game->phase == GameMain::RESULTS || game->phase == GameMain::END) break;
        game->draw();
    }
    kiln_headless::releaseAllKeys();
    Kiln_waitFrame(16);
    game->keypad->save(replayFile);
}

}  // namespace corpusgen

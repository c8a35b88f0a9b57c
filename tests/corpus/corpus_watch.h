// CorpusWatch: a game scene that notes the hard frames of a run while it plays
// them (misses ignored while invincible, crafts lost at an edge, barrier
// breaks, slow motions started over running ones, how the run ended), and
// playCorpusReplay, which plays a replay file through it the way the headless
// verifier does. Shared by the corpus generator and the game scene's tests.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include "gamecore/game_main.h"
#include "gamecore/run_summary.h"
#include "kiln2/kiln2.h"

namespace corpus {

// What a run went through. Frames are numbered as the verifier's trace numbers
// its lines: frame n is the update after which frameCounter reads n.
struct RunNotes {
    // The verifier's one line for this run, and how it ended.
    std::string line;
    bool unreadable = false;  // the replay could not be played at all
    bool finished = false;    // the run ended with the craft still flying
    bool destroyed = false;
    int lastFrame = 0;

    // The replay file and how far its input reached.
    long long replayBytes = 0;
    int recordedFrames = 0;  // complete records in the file
    bool upHeldInLastRecord = false;
    int playSteps = 0;  // updates that ran the play step, one keypad frame each

    int effectiveMisses = 0;
    int lastEffectiveMissFrame = 0;
    int wallMissesWhileInvincible = 0;
    int enemyMissesWhileInvincible = 0;
    // Misses while invincible after which energy, timers, effects or the random
    // sequence were not what they had been: each one is a fault of the game.
    int ignoredMissesThatChangedTheRun = 0;

    int topEdgeLosses = 0;
    int bottomEdgeLosses = 0;
    int edgeLossFrame = 0;
    // A wall touched in the step the craft was lost at an edge: a miss that
    // cost energy, or one that an earlier miss's invincibility turned away.
    bool effectiveWallMissAtEdgeLoss = false;
    bool ignoredWallMissAtEdgeLoss = false;

    int barrierBreaks = 0;
    // An enemy touched (a miss that cost energy) and, later in the same step, destroyed by the barrier.
    bool enemyMissThenBreakInOneStep = false;
    int fullEffectPoolFrames = 0;  // play steps after which all 200 effect slots were taken
    int slowMotionsStartedOverEarlierOnes = 0;
    int hitStopStarts = 0;
    int itemsTaken = 0;
    int lastItemFrame = 0;
    int lastShakeStartFrame = 0;

    // The frame in which the run ended.
    bool itemTakenInFinalStep = false;
    int shakeFramesAtEnd = 0;
    int slowMotionFramesAtEnd = 0;
};

class CorpusWatch : public GameMain {
public:
    explicit CorpusWatch(const RunSettingsOverride& settings) : GameMain(settings) {}

    RunNotes notes;

    void update() override {
        frame_ = frameCounter + 1;
        const int phaseBefore = phase;
        const bool stepRuns = hitStopFrames == 0 && (frameCounter % 2 != 0 || slowMotionFrames <= 0);
        if (phaseBefore == PLAY && stepRuns) ++notes.playSteps;
        GameMain::update();
        if (phaseBefore == PLAY && stepRuns && liveEffects() == effectCapacity) ++notes.fullEffectPoolFrames;
        if (phaseBefore == PLAY && phase == RESULTS) {
            notes.itemTakenInFinalStep = notes.lastItemFrame == frame_;
            notes.shakeFramesAtEnd = shakeFrames;
            notes.slowMotionFramesAtEnd = slowMotionFrames;
        }
    }

    void onPlayerMiss(Collider playerBox, Collider other) override {
        if (player.invincibleFrames <= 0) {
            missing_ = true;
            GameMain::onPlayerMiss(playerBox, other);
            missing_ = false;
            ++notes.effectiveMisses;
            notes.lastEffectiveMissFrame = frame_;
            lastEffectiveMissKind_ = other.type;
            if (other.type == WALL && notes.edgeLossFrame == frame_) notes.effectiveWallMissAtEdgeLoss = true;
            return;
        }
        const Snapshot before = snapshot();
        missing_ = true;
        GameMain::onPlayerMiss(playerBox, other);
        missing_ = false;
        if (!(snapshot() == before)) ++notes.ignoredMissesThatChangedTheRun;
        if (other.type == WALL) {
            ++notes.wallMissesWhileInvincible;
            if (notes.edgeLossFrame == frame_) notes.ignoredWallMissAtEdgeLoss = true;
        } else {
            ++notes.enemyMissesWhileInvincible;
        }
    }

    // Called by every miss, and by a loss at an edge with the craft's life
    // already gone and its height held at the edge.
    void crashPlayer() override {
        if (!missing_ && player.life <= 0) {
            if (player.y == 0) ++notes.topEdgeLosses;
            if (player.y == 480 * subPixels) ++notes.bottomEdgeLosses;
            notes.edgeLossFrame = frame_;
        }
        GameMain::crashPlayer();
    }

    void onEnemyBreak(Collider enemyBox, Collider barrierBox) override {
        const PlayObject* enemy = getPlayObject(enemyBox.type, enemyBox.index);
        const bool aliveBefore = enemy != nullptr && enemy->life > 0;
        GameMain::onEnemyBreak(enemyBox, barrierBox);
        if (aliveBefore && enemy->life <= 0 && barrierBox.type == BARRIER) {
            ++notes.barrierBreaks;
            if (notes.lastEffectiveMissFrame == frame_ && lastEffectiveMissKind_ == ENEMY) {
                notes.enemyMissThenBreakInOneStep = true;
            }
        }
    }

    void onItemGet(Collider itemBox, Collider playerBox) override {
        GameMain::onItemGet(itemBox, playerBox);
        ++notes.itemsTaken;
        notes.lastItemFrame = frame_;
    }

    void startShake(int frames) override {
        if (frames > 0) notes.lastShakeStartFrame = frame_;
        GameMain::startShake(frames);
    }

    void startSlowMotion(int frames) override {
        if (slowMotionFrames > 0 && slowMotionStartFrame_ != frame_) ++notes.slowMotionsStartedOverEarlierOnes;
        slowMotionStartFrame_ = frame_;
        GameMain::startSlowMotion(frames);
    }

    void startHitStop(int frames) override {
        ++notes.hitStopStarts;
        GameMain::startHitStop(frames);
    }

private:
    struct Snapshot {
        int energy, invincibleFrames, shakeFrames, slowMotionFrames, effects, score;
        uint32_t randIndex;
        bool operator==(const Snapshot&) const = default;
    };
    Snapshot snapshot() const {
        return {player.energy, player.invincibleFrames, shakeFrames, slowMotionFrames, liveEffects(),
                score,         Kiln_getRandIndex()};
    }

    int frame_ = 0;
    bool missing_ = false;  // inside onPlayerMiss
    int lastEffectiveMissKind_ = 0;
    int slowMotionStartFrame_ = -1;
};

// The verifier's line for a run that has stopped: the game's own summary line.
inline std::string verifierLine(const GameMain& game, bool reachedResults) {
    return runSummaryLine(game, reachedResults);
}

// Plays a replay file through a CorpusWatch as the verifier plays it: update,
// then draw (drawing discarded), until the results. The framework must be
// running on the headless backend with drawing discarded.
inline RunNotes playCorpusReplay(const std::string& file, int stage, int hiScore, long long maxFrames = 1000000) {
    Kiln_setGlobalInt(REPLAY_FLAG_SLOT, 1);
    auto game = std::make_unique<CorpusWatch>(RunSettingsOverride{stage, hiScore, file});
    bool reachedResults = false;
    bool unreadable = false;
    for (long long frame = 0; frame < maxFrames; ++frame) {
        game->update();
        if (game->phase == GameMain::END) {
            unreadable = true;
            break;
        }
        if (game->phase == GameMain::RESULTS) {
            reachedResults = true;
            break;
        }
        game->draw();
    }
    Kiln_setGlobalInt(REPLAY_FLAG_SLOT, 0);

    RunNotes notes = game->notes;
    notes.unreadable = unreadable;
    notes.line = verifierLine(*game, reachedResults);
    notes.finished = reachedResults && game->player.life > 0;
    notes.destroyed = reachedResults && game->player.life == 0;
    notes.lastFrame = game->frameCounter;
    std::error_code error;
    const auto bytes = std::filesystem::file_size(file, error);
    notes.replayBytes = error ? -1 : static_cast<long long>(bytes);
    notes.recordedFrames = game->keypad->getFrameCount();
    if (notes.recordedFrames > 0) notes.upHeldInLastRecord = game->keypad->stateAt(notes.recordedFrames - 1).pressUp;
    return notes;
}

}  // namespace corpus

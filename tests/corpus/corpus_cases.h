// The generated replays of the corpus: for each, the stage and hi-score it is
// played with, what it covers, and the test that its run still shows that.
// The corpus generator keeps a flight only when its replay passes the test;
// the game scene's tests play every replay again and ask the same question.
#pragma once

#include <string>

#include "corpus_watch.h"

namespace corpus {

struct CorpusCase {
    const char* name;  // the replay is replays/<name>.bin
    int stage;
    int hiScore;
    const char* covers;
    // Empty when the run shows what the replay is for, otherwise what it lacks.
    std::string (*lacks)(const RunNotes& run);
};

namespace detail {

inline std::string need(bool ok, const char* what) { return ok ? std::string() : std::string(what); }

}  // namespace detail

inline const CorpusCase GENERATED_CASES[] = {
    {"top_edge", 1, 12345, "UP held from the first play step: the craft is lost at the top edge, touching nothing",
     [](const RunNotes& run) {
         return detail::need(run.destroyed && run.topEdgeLosses == 1 && run.effectiveMisses == 0,
                             "a loss at the top edge with no miss before it");
     }},
    {"bottom_edge", 2, 0, "the pilot flies through the first columns, then lets go: the craft falls to the bottom edge",
     [](const RunNotes& run) {
         return detail::need(run.destroyed && run.bottomEdgeLosses == 1 && run.playSteps > 300,
                             "a loss at the bottom edge after more than 300 play steps");
     }},
    {"edge_top_with_wall", 0, 0,
     "lost at the top edge in the step it touches a column's top wall: the crash, then a miss that costs energy",
     [](const RunNotes& run) {
         return detail::need(run.destroyed && run.topEdgeLosses == 1 && run.effectiveWallMissAtEdgeLoss,
                             "a wall miss that costs energy in the step of a loss at the top edge");
     }},
    {"edge_bottom_wall_invincible", 1, 0,
     "a miss, then lost at the bottom edge while still invincible and touching a wall: that miss does nothing",
     [](const RunNotes& run) {
         return detail::need(run.destroyed && run.bottomEdgeLosses == 1 && run.ignoredWallMissAtEdgeLoss,
                             "an ignored wall miss in the step of a loss at the bottom edge");
     }},
    {"invincible_misses", 3, 0, "a wall miss, then walls and an enemy touched while invincible: they change nothing",
     [](const RunNotes& run) {
         return detail::need(
             run.effectiveMisses >= 1 && run.wallMissesWhileInvincible > 0 && run.enemyMissesWhileInvincible > 0,
             "walls and an enemy touched while invincible");
     }},
    {"barrier_breaks", 1, 100, "the pilot raises the barrier at enemies: two or more destroyed by it",
     [](const RunNotes& run) { return detail::need(run.barrierBreaks >= 2, "two barrier breaks"); }},
    {"slow_motion_overlap", 2, 0,
     "a miss, then lost at an edge a few steps later: a slow motion started while the miss's still runs",
     [](const RunNotes& run) {
         return detail::need(run.destroyed && run.slowMotionsStartedOverEarlierOnes > 0 && run.effectiveMisses > 0,
                             "a slow motion started over one from an earlier frame");
     }},
    {"enemy_miss_then_break", 2, 0,
     "the barrier raised in the step the craft first touches an enemy: the miss, then the break; the effects pool "
     "fills up",
     [](const RunNotes& run) {
         return detail::need(run.enemyMissThenBreakInOneStep && run.fullEffectPoolFrames > 0,
                             "an enemy miss and its break in one step, and a full effects pool");
     }},
    {"finish_item_last_step", 0, 30000,
     "1000 m finished with an item taken in the last play step: it counts in the final score and energy",
     [](const RunNotes& run) {
         return detail::need(run.finished && run.itemTakenInFinalStep, "a finish with an item taken in its last step");
     }},
    {"finish_shaking", 0, 0,
     "1000 m finished a few steps after a miss: the screen still shakes and the slow motion still runs at the end",
     [](const RunNotes& run) {
         return detail::need(run.finished && run.shakeFramesAtEnd > 0 && run.slowMotionFramesAtEnd > 0 &&
                                 run.lastShakeStartFrame < run.lastFrame,
                             "a finish with a shake started in an earlier step still running");
     }},
    {"empty", 3, 0, "an empty file: nothing is pressed, the craft falls to the bottom edge",
     [](const RunNotes& run) {
         return detail::need(
             !run.unreadable && run.replayBytes == 0 && run.recordedFrames == 0 && run.bottomEdgeLosses == 1,
             "an empty file played to a loss at the bottom edge");
     }},
    {"torn_last_record", 0, 500,
     "a file cut inside its last record: the whole records play, the last one (UP held) holds to the top edge",
     [](const RunNotes& run) {
         return detail::need(!run.unreadable && run.replayBytes % 24 != 0 && run.upHeldInLastRecord &&
                                 run.playSteps > run.recordedFrames && run.topEdgeLosses == 1,
                             "a torn file whose last whole record holds UP up to a loss at the top edge");
     }},
};

}  // namespace corpus

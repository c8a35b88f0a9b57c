// A live run, its ghost and its part in the world; see live_run_main.h.
#include "state/live_run_main.h"

#include <string>
#include <vector>

#include "config/game_settings.h"
#include "config/player_files.h"
#include "kiln2/kiln2.h"
#include "state/world_ghost.h"
#include "world/world_service.h"

namespace {

// Under the score on the results screen, clear of "NEW RECORD !".
constexpr int WORLD_RANK_X = 210;
constexpr int WORLD_RANK_Y = 360;

bool worldReachable(world::Reach reach) { return reach != world::Reach::Off && reach != world::Reach::NoServer; }

}  // namespace

LiveRunMain::LiveRunMain() = default;

LiveRunMain::~LiveRunMain() = default;

void LiveRunMain::update() {
    // Paused frames are frozen time for the live run; the ghost waits with it.
    const bool paused = phase == PAUSE;
    const int phaseBefore = phase;
    const int bestBefore = hiScores[stage];
    GameMain::update();
    // The first update has read the stage and the settings: the countdown and the ghost start in that same frame.
    if (!started_) {
        startRun();
    } else {
        sendRecordIfKept(phaseBefore, bestBefore);
    }
    if (!ghost_ || paused) return;
    ghost_->follow();
    // A replay that would not load leaves no ghost to show.
    if (!ghost_->isFlying() && ghost_->game().phase == END) ghost_.reset();
}

void LiveRunMain::startRun() {
    started_ = true;
    // RACE is for the next live run only, whatever becomes of this one.
    const std::optional<RaceRequest> race = takeRaceRequest();
    if (replayMode != 0 || phase == END) return;

    world::WorldService& world = world::service();
    worldTakesPart_ = worldReachable(world.reach());
    if (worldTakesPart_) {
        world.beginLiveRun(stage);
        std::error_code error;
        const std::string replay = stageReplayFile(stage);
        replayExistedBefore_ = std::filesystem::is_regular_file(replay, error);
        if (replayExistedBefore_) replayTimeBefore_ = std::filesystem::last_write_time(replay, error);
    }

    std::vector<std::string> problems;
    const GhostSetting setting = readGhostSetting(*config, problems);
    for (const std::string& problem : problems) Kiln_log("%s\n", problem.c_str());
    ghost_ = chooseGhostRun(setting, race, stage, hiScores[stage]);
}

// A record is kept in the update that ends the run (saveNewRecord raises the
// stage's hi-score then); its replay is the stage's replay file.
void LiveRunMain::sendRecordIfKept(int phaseBefore, int bestBefore) {
    if (!worldTakesPart_ || recordSent_) return;
    if (phaseBefore != PLAY || phase != RESULTS || hiScores[stage] <= bestBefore) return;
    const std::string replay = stageReplayFile(stage);
    std::error_code error;
    if (!std::filesystem::is_regular_file(replay, error)) return;
    if (replayExistedBefore_ && std::filesystem::last_write_time(replay, error) == replayTimeBefore_) {
        Kiln_log("World: the record's replay was not saved, so it is not sent\n");
        return;
    }
    recordSent_ = true;
    if (!world::service().sendRecord(stage, replay)) Kiln_log("World: the outbox could not keep the record\n");
}

void LiveRunMain::drawPlayer() {
    if (ghost_) ghost_->drawCraft();
    GameMain::drawPlayer();
}

void LiveRunMain::drawHud() {
    GameMain::drawHud();
    if (ghost_) ghost_->drawHudLine(score);
}

void LiveRunMain::drawResults() {
    GameMain::drawResults();
    if (!recordSent_) return;
    if (const std::optional<int> rank = world::service().lastRecordRank()) {
        Kiln_drawText("WORLD #" + std::to_string(*rank), WORLD_RANK_X, WORLD_RANK_Y, 2.0f, 255, 224, 64, 255);
    }
}

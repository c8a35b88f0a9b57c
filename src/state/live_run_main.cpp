// A live run and its ghost; see live_run_main.h.
#include "state/live_run_main.h"

#include <string>
#include <vector>

#include "config/game_settings.h"
#include "kiln2/kiln2.h"

LiveRunMain::LiveRunMain() = default;

LiveRunMain::~LiveRunMain() = default;

void LiveRunMain::update() {
    // Paused frames are frozen time for the live run; the ghost waits with it.
    const bool paused = phase == PAUSE;
    GameMain::update();
    // The first update has read the stage and the settings: the ghost starts in that same frame.
    if (!ghostChosen_) chooseGhost();
    if (!ghost_ || paused) return;
    ghost_->follow();
    // A replay that would not load leaves no ghost to show.
    if (!ghost_->isFlying() && ghost_->game().phase == END) ghost_.reset();
}

void LiveRunMain::chooseGhost() {
    ghostChosen_ = true;
    if (replayMode != 0 || phase == END) return;
    std::vector<std::string> problems;
    const bool wanted = readGhostSetting(*config, problems);
    for (const std::string& problem : problems) Kiln_log("%s\n", problem.c_str());
    if (wanted) ghost_ = GhostRun::forStage(stage, hiScores[stage]);
}

void LiveRunMain::drawPlayer() {
    if (ghost_) ghost_->drawCraft();
    GameMain::drawPlayer();
}

void LiveRunMain::drawHud() {
    GameMain::drawHud();
    if (ghost_) ghost_->drawHudLine(score);
}

// The title scene. It reads "config.ini" once when built; every return from a
// run builds a fresh title, so a new record shows without any refresh logic.
#include "state/title_main.h"

#include <cstdio>
#include <string>
#include <vector>

#include "config/game_settings.h"
#include "config/player_files.h"
#include "kiln2/kiln2.h"
#include "state/watch_request.h"
#include "state/world_ghost.h"
#include "state/world_line.h"
#include "world/world_service.h"

namespace {

// A missing config.ini is recreated with the first stage selected.
constexpr int kDefaultStage = 0;
constexpr int kMusicFadeOutMs = 1000;

// Under the hi-score's digits, in the small text of the theatre's bar.
constexpr int kWorldLineX = 300;
constexpr int kWorldLineY = 66;

void drawWhiteText(const char* text, int x, int y, float scale) {
    Kiln_drawText(text, x, y, scale, 255, 255, 255, 255);
}

bool worldReachable() {
    const world::Reach reach = world::service().reach();
    return reach != world::Reach::Off && reach != world::Reach::NoServer;
}

}  // namespace

const char* TitleMain::stageLabel(int stage) {
    static const char* const labels[kStageCount] = {"STAGE:1000M", "STAGE:2000M", "STAGE:3000M", "STAGE:ENDRESS"};
    return labels[stage];
}

TitleMain::TitleMain() {
    Kiln_log("TitleMain\n");
    setMessage(MSG_NONE);
    musicStopped_ = false;

    // A damaged file does not stop the game: each bad or missing key reads as
    // 0 and is named in the log, and a stage outside 0..3 becomes stage 0.
    std::vector<std::string> problems = loadPlayerConfig(config_, kDefaultStage);
    GameSettings settings = readGameSettings(config_, problems);
    for (const std::string& problem : problems) Kiln_log("%s\n", problem.c_str());
    for (int i = 0; i < kStageCount; ++i) hiScores_[i] = settings.hiScores[i];
    std::vector<std::string> ghostProblems;  // logged when a run reads the setting
    ghost_ = readGhostSetting(config_, ghostProblems);
    showStage(settings.stage);
}

void TitleMain::showStage(int stage) {
    stage_ = stage;
    ghostAsked_.clear();
    world::service().refreshStage(stage_);
}

void TitleMain::openWorldTable() {
    saveShownStage();
    setMessage(MSG_WORLD_TABLE);
}

void TitleMain::saveShownStage() {
    config_.setInt("MODE", stage_);
    try {
        savePlayerConfig(config_);
    } catch (const std::exception& e) {
        // A full disk must not stop a run: the session copy carries the stage to it.
        Kiln_log("Could not save the chosen stage: %s\n", e.what());
    }
}

void TitleMain::startRun(int replayFlag) {
    saveShownStage();
    Kiln_setGlobalInt(REPLAY_FLAG_SLOT, replayFlag);
    setMessage(MSG_GAME);
}

void TitleMain::watch(const std::string& replayFile) {
    // The theatre reads no settings file: it is told the stage and the hi-score shown here.
    saveShownStage();
    requestWatch({.replayFile = replayFile, .stage = stage_, .hiScore = hiScores_[stage_]});
    setMessage(MSG_THEATRE);
}

void TitleMain::update() {
    if (!musicStopped_) {
        // Music left playing by a run fades out as the title appears.
        musicStopped_ = true;
        Kiln_stopBgm(kMusicFadeOutMs);
    }
    // O, or a controller's Back button, opens the options; nothing else happens in that frame.
    if (Kiln_isKeyPushed(KEY_o) || Kiln_isPadPushed(PAD_BACK)) {
        saveShownStage();
        setMessage(MSG_OPTIONS);
        return;
    }
    if (worldReachable() && (Kiln_isKeyPushed(KEY_w) || Kiln_isPadPushed(PAD_WORLD))) {
        openWorldTable();
        return;
    }
    // The world run this stage's ghost would race is fetched while the player looks at the title.
    ghostAsked_ = prefetchWorldGhost(ghost_, stage_, ghostAsked_);
    if (keypad_.isTriggerA(false) || keypad_.isTriggerUp(false)) startRun(0);
    // Checked after the start so that A and B together end up watching the replay.
    if (keypad_.isTriggerB(false)) watch(stageReplayFile(stage_));
    // A replay file dropped on the window is watched on the stage shown.
    const std::string dropped = Kiln_takeDroppedFile();
    if (!dropped.empty()) watch(dropped);
    // After the save: a run started this frame keeps the stage it was shown.
    if (keypad_.isTriggerLeft(false)) {
        showStage(stage_ == 0 ? kStageCount - 1 : stage_ - 1);
    } else if (keypad_.isTriggerRight(false)) {
        showStage(stage_ == kStageCount - 1 ? 0 : stage_ + 1);
    }
}

void TitleMain::draw() {
    Kiln_clear();
    Kiln_resetView();
    Kiln_setBlendMode(BLEND_ALPHA);

    char hiScore[16];
    std::snprintf(hiScore, sizeof hiScore, "%d", hiScores_[stage_]);

    drawWhiteText("KVR 2013", 220, 200, 3.0f);
    drawWhiteText("HI SCORE", 300, 10, 2.0f);
    drawWhiteText(hiScore, 300, 30, 4.0f);
    const world::WorldService& world = world::service();
    const std::string worldLine = worldStandingLine(world.reach(), world.standing(stage_));
    if (!worldLine.empty()) drawWhiteText(worldLine.c_str(), kWorldLineX, kWorldLineY, 1.0f);
    drawWhiteText(stageLabel(stage_), 250, 260, 2.0f);
    drawWhiteText("PRESS L OR R BUTTON TO STAGE SELECT", 30, 280, 2.0f);
    drawWhiteText("PRESS Z OR UP BUTTON TO START", 100, 340, 2.0f);
    drawWhiteText("PRESS X BUTTON TO REPLAY", 100, 360, 2.0f);
    drawWhiteText("PRESS O FOR OPTIONS", 100, 380, 2.0f);
    if (worldReachable()) drawWhiteText("PRESS W FOR THE WORLD TABLE", 100, 400, 2.0f);
    drawWhiteText("DELTA HIDDEN YARD 2013", 280, 460, 2.0f);
}

// The replay theatre; see theatre_main.h.
#include "state/theatre_main.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "config/game_settings.h"
#include "config/player_files.h"
#include "gamecore/run_music.h"
#include "gamecore/run_summary.h"
#include "kiln2/kiln2.h"
#include "state/theatre_progress_bar.h"

namespace {

// The results screen compares the run with the player's own best score for
// the stage, as a replay started from the title always did.
int playersHiScore(int stage) {
    ConfigParser config;
    std::vector<std::string> problems = loadPlayerConfig(config, 0);
    const GameSettings settings = readGameSettings(config, problems);
    for (const std::string& problem : problems) Kiln_log("%s\n", problem.c_str());
    return stage >= 0 && stage < STAGE_COUNT ? settings.hiScores[stage] : 0;
}

// PAGE DOWN and PAGE UP jump ten seconds, as do a controller's right and
// left shoulder buttons.
bool jumpForwardAsked() { return Kiln_isKeyPushed(KEY_PAGEDOWN) || Kiln_isPadPushed(PAD_JUMP_FORWARD); }
bool jumpBackAsked() { return Kiln_isKeyPushed(KEY_PAGEUP) || Kiln_isPadPushed(PAD_JUMP_BACK); }
bool restartAsked() { return Kiln_isKeyPushed(KEY_HOME); }

}  // namespace

TheatreMain::TheatreMain() {
    Kiln_log("TheatreMain\n");
    if (std::optional<WatchRequest> request = takeWatchRequest()) start(*request);
}

TheatreMain::TheatreMain(const WatchRequest& request) {
    Kiln_log("TheatreMain\n");
    start(request);
}

TheatreMain::~TheatreMain() = default;

void TheatreMain::start(const WatchRequest& request) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(request.replayFile, error)) {
        Kiln_log("Theatre: no replay to watch at %s\n", request.replayFile.c_str());
        return;
    }
    const int hiScore = request.hiScore >= 0 ? request.hiScore : playersHiScore(request.stage);
    auto run = std::make_unique<WatchedRun>(request.stage, hiScore, request.replayFile);
    if (!run->measure()) {
        Kiln_log("Theatre: cannot play the replay %s\n", request.replayFile.c_str());
        return;
    }
    run_ = std::move(run);
    caption_ = request.caption;
    speedStep_ = request.speedStep < 0 || request.speedStep >= THEATRE_SPEED_COUNT ? THEATRE_NORMAL_SPEED
                                                                                    : request.speedStep;
    Kiln_log("Theatre: %s on stage %d, %d frames, %s\n", request.replayFile.c_str(), request.stage,
             run_->lastFrame(), theatreSpeed(speedStep_).label);
}

void TheatreMain::update() {
    if (!run_) {
        // Nothing to watch (no replay saved for the stage yet): back to the title.
        setMessage(MSG_TITLE);
        return;
    }
    if (getMessage() != MSG_NONE) return;
    if (keypad_.isTriggerB(true)) {
        setMessage(MSG_TITLE);
        return;
    }
    // The A that pauses or resumes is the watcher's alone: the run does not move in that frame.
    const bool pauseChanged = handlePause();
    handleSpeed();
    const bool jumped = handleJumps();
    if (!pauseChanged && !jumped) {
        if (!paused_) {
            play();
        } else if (keypad_.isTriggerDown(true)) {
            run_->advance();
            Kiln_log("Theatre: stepped to frame %d\n", run_->frame());
        }
    }
    reportResults();
    // Z or UP on the run's own results prompt ends the show, as the results of a run always did.
    if (run_->phase() == GameMain::END) setMessage(MSG_TITLE);
}

bool TheatreMain::handlePause() {
    if (!keypad_.isTriggerA(true)) return false;
    // On the results screen A belongs to the run's prompt, unless it resumes a pause.
    if (!paused_ && run_->phase() == GameMain::RESULTS) return false;
    paused_ = !paused_;
    framesSinceUpdate_ = 0;
    if (paused_) {
        Kiln_log("Theatre: paused at frame %d\n", run_->frame());
    } else {
        Kiln_log("Theatre: playing at %s from frame %d\n", theatreSpeed(speedStep_).label, run_->frame());
    }
    return true;
}

void TheatreMain::handleSpeed() {
    int step = speedStep_;
    if (keypad_.isTriggerRight(true)) {
        step += 1;
    } else if (keypad_.isTriggerLeft(true)) {
        step -= 1;
    }
    if (step < 0 || step >= THEATRE_SPEED_COUNT || step == speedStep_) return;
    speedStep_ = step;
    framesSinceUpdate_ = 0;
    Kiln_log("Theatre: speed %s\n", theatreSpeed(speedStep_).label);
}

bool TheatreMain::handleJumps() {
    if (jumpForwardAsked()) {
        jumpTo(run_->frame() + JUMP_FRAMES, "jumped to");
    } else if (jumpBackAsked()) {
        // Frame 1 is the first picture of a run; frame 0 has none.
        const int target = run_->frame() - JUMP_FRAMES;
        jumpTo(target < 1 ? 1 : target, "jumped back to");
    } else if (restartAsked()) {
        // Watching again from the start: a pause (the results pause too) ends.
        paused_ = false;
        jumpTo(1, "restarted at");
    } else {
        return false;
    }
    return true;
}

void TheatreMain::jumpTo(int frame, const char* what) {
    const int phaseBefore = run_->phase();
    run_->jumpTo(frame);
    framesSinceUpdate_ = 0;
    Kiln_log("Theatre: %s frame %d\n", what, run_->frame());
    putMusicBack(phaseBefore);
}

// Music was silent while the run caught up; a jump into another phase starts
// that phase's music the way the run itself starts it.
void TheatreMain::putMusicBack(int phaseBefore) {
    const int phase = run_->phase();
    if (phase == phaseBefore) return;
    if (phase == GameMain::PLAY) {
        Kiln_playBgm(RUN_PLAY_MUSIC, -1, 0);
    } else if (phase == GameMain::RESULTS) {
        Kiln_playBgm(RUN_RESULTS_MUSIC, 0, 0);
    } else {
        Kiln_stopBgm(0);
    }
}

void TheatreMain::play() {
    const TheatreSpeed& speed = theatreSpeed(speedStep_);
    if (++framesSinceUpdate_ < speed.framesPerUpdate) return;
    framesSinceUpdate_ = 0;
    for (int i = 0; i < speed.updatesPerFrame && run_->phase() != GameMain::END; ++i) {
        run_->advance();
        // The rest of a fast frame waits: the results frame is the one to see.
        if (reportResults()) return;
    }
}

// The frame a run reaches its results in holds the score the verifier prints
// (a finished craft goes on scoring behind the results), so the show pauses
// there, whatever brought the run to it.
bool TheatreMain::reportResults() {
    const std::string line = run_->takeResultsLine();
    if (line.empty()) return false;
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
    if (!paused_) {
        paused_ = true;
        Kiln_log("Theatre: results at frame %d, paused\n", run_->frame());
    }
    return true;
}

void TheatreMain::draw() {
    if (!run_) {
        Kiln_clear();
        return;
    }
    run_->draw();
    const GameMain& game = run_->game();
    // The bar stays put while the picture shakes.
    Kiln_setDrawOffset(0, 0);
    drawTheatreProgressBar({.frame = run_->frame(),
                            .lastFrame = run_->lastFrame(),
                            .distanceMetres = runDistanceMetres(game),
                            .speedLabel = theatreSpeed(speedStep_).label,
                            .paused = paused_,
                            .caption = caption_});
    Kiln_setDrawOffset(game.shakeOffsetX, game.shakeOffsetY);
}

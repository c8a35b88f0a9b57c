// The start of a run: the run's images and sounds, the hi-scores and stage
// from "config.ini" (or from the verifier's override), the stage's fixed
// random seed, the craft at its start, and for a replay the recorded input.
#include <exception>
#include <string>
#include <vector>

#include "config/game_settings.h"
#include "config/player_files.h"
#include "gamecore/game_main.h"
#include "gamecore/record_saver.h"
#include "kiln2/kiln2.h"

namespace {

// Every stage shares the generator; only its length and its place in the one
// random sequence differ, so a stage's course is the same on every run.
struct StageSetup {
    int goal;  // tens of metres; 0 is the endless stage
    uint32_t seed;
    uint32_t index;
};
constexpr StageSetup STAGES[STAGE_COUNT] = {
    {100, 733, 17},
    {200, 1252, 14},
    {300, 144, 1},
    {0, 658, 256},
};

// The game scene recreates a lost "config.ini" on the 2000 m stage.
constexpr int DEFAULT_MODE_AFTER_RECOVERY = 1;

}  // namespace

void GameMain::init() {
    Kiln_log("Gamecoer init\n");
    Kiln_loadTexture("tama", "resource/image/tama.bmp", {0, 255, 0});
    Kiln_loadTexture("menu", "resource/image/menu.bmp", {0, 255, 0});
    for (const char* sound : {"itemget", "miss", "break", "up", "bariya"}) {
        Kiln_loadWAV(sound, std::string("resource/sound/") + sound + ".wav");
    }

    config = std::make_unique<ConfigParser>();
    if (hasOverride) {
        // The verifier is told the stage and its hi-score and touches no file but the replay.
        stage = settingsOverride.stage >= 0 && settingsOverride.stage < STAGE_COUNT ? settingsOverride.stage : 0;
        hiScores = {0, 0, 0, 0};
        hiScores[stage] = settingsOverride.hiScore;
    } else {
        std::vector<std::string> problems = loadPlayerConfig(*config, DEFAULT_MODE_AFTER_RECOVERY);
        const GameSettings settings = readGameSettings(*config, problems);
        for (const std::string& problem : problems) Kiln_log("%s\n", problem.c_str());
        hiScores = settings.hiScores;
        stage = settings.stage;
    }

    stageGoal = STAGES[stage].goal;
    Kiln_srand(STAGES[stage].seed, STAGES[stage].index);

    scrollPos = 0;
    score = 0;
    scrollSpeed = 100;
    shakeFrames = 0;
    shakeOffsetX = 0;
    shakeOffsetY = 0;
    hitStopFrames = 0;
    slowMotionFrames = 0;
    frameCounter = 0;
    initPlayer(0, 100 * subPixels, 240 * subPixels);
    resetCourse();
    Kiln_log("Gamecoer init\n");
    phase = READY;

    // A run told its settings plays the replay it was given (the verifier, the
    // theatre, a ghost); one started from the title asks the hand-over slot.
    replayMode = hasOverride ? !settingsOverride.replayFile.empty() : Kiln_getGlobalInt(REPLAY_FLAG_SLOT);
    if (replayMode != 0) {
        const std::string file = hasOverride ? settingsOverride.replayFile : stageReplayFile(stage);
        try {
            keypad->load(file);
        } catch (const std::exception&) {
            // No replay to show (most often none saved yet): straight back to the title.
            phase = END;
        }
    }
}

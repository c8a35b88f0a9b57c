// The title screen: the game's name, the best score of the chosen stage, the
// controls; LEFT/RIGHT pick one of four stages, A or UP starts a live run and
// B watches the replay of that stage's best run in the theatre, as does a
// replay file dropped on the window; O (or a controller's Back) opens the options.
// With the world reachable, a line under the hi-score says where the player
// stands on the stage, and W (or a controller's top face button) opens the
// stage's world table.
#pragma once

#include <array>
#include <string>

#include "config/config_parser.h"
#include "config/game_settings.h"
#include "keypad/keypad.h"
#include "scene/game_state.h"

class TitleMain : public GameState {
public:
    static constexpr int kStageCount = STAGE_COUNT;

    TitleMain();
    void update() override;
    void draw() override;

    int getStage() const { return stage_; }
    int getHiScore(int stage) const { return hiScores_.at(stage); }

    // The label drawn for a stage 0..3.
    static const char* stageLabel(int stage);

private:
    // Stores the shown stage in "config.ini" and tells the next run whether to
    // play back (slot value 1) or fly live (0).
    void startRun(int replayFlag);
    // Stores the shown stage and asks for the theatre to show replayFile on it.
    void watch(const std::string& replayFile);
    void saveShownStage();
    void showStage(int stage);
    void openWorldTable();

    Keypad keypad_{0};
    bool musicStopped_ = false;
    ConfigParser config_;
    std::array<int, kStageCount> hiScores_{};
    int stage_ = 0;
    GhostSetting ghost_ = GhostSetting::OwnBest;
    // The world run last asked for as this stage's ghost, so it is asked for once.
    std::string ghostAsked_;
};

// The ghost of the stage's best run, or of a world run: its saved replay played in step with
// the live run, one update for each of the live run's, with its own random
// sequence and in silence (no sound, no music, no log line, no screen shake),
// so the live run cannot tell it is there. Its craft and trail are drawn
// translucent in their own colour, and the HUD says how far ahead or behind
// the live run is ("GHOST -120") or, once the ghost's run has ended, where it
// ended ("GHOST 480m").
#pragma once

#include <memory>
#include <string>

#include "gamecore/game_main.h"

class GhostRun {
public:
    // The ghost racing the stage's saved best run, or null when there is no
    // saved replay for the stage or it cannot be loaded.
    static std::unique_ptr<GhostRun> forStage(int stage, int hiScore);
    // The ghost racing a given replay file on stage (a world run in the
    // cache), or null when the file is not there.
    static std::unique_ptr<GhostRun> forReplayFile(int stage, int hiScore, const std::string& file);

    explicit GhostRun(std::unique_ptr<GameMain> run);
    ~GhostRun();
    GhostRun(const GhostRun&) = delete;
    GhostRun& operator=(const GhostRun&) = delete;

    // One update, in step with one update of the live run; nothing once the
    // ghost's run has reached its results.
    void follow();
    // True until the ghost's run reaches its results (or its replay failed to load).
    bool isFlying() const { return flying_; }

    // The translucent craft and trail at the ghost's position, while it flies.
    void drawCraft() const;
    // The HUD line under the score.
    void drawHudLine(int liveScore) const;

    const GameMain& game() const { return *run_; }

private:
    std::unique_ptr<GameMain> run_;
    bool flying_ = true;
};

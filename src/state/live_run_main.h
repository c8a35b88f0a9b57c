// The game scene of a live run as the title starts it: the run itself, plus
// the ghost "GHOST" in "config.ini" names (the stage's best run, or a world
// run; see world_ghost.h), or the world run RACE chose. The run does exactly
// the same work with or without its ghost; the ghost only follows it and adds
// to its picture. With the world reachable, the run tells it its countdown has
// begun, sends a record it keeps, and its results show the record's world
// rank once the world has answered.
#pragma once

#include <filesystem>
#include <memory>

#include "gamecore/game_main.h"
#include "state/ghost_run.h"

class LiveRunMain : public GameMain {
public:
    LiveRunMain();
    ~LiveRunMain() override;

    void update() override;
    // The ghost is drawn first, so the live craft flies over it.
    void drawPlayer() override;
    void drawHud() override;
    // The world rank under the score, once it has come.
    void drawResults() override;

    // The ghost, or null when this run races none.
    const GhostRun* ghost() const { return ghost_.get(); }
    // True once this run's record went to the world.
    bool recordSent() const { return recordSent_; }

private:
    void startRun();
    void sendRecordIfKept(int phaseBefore, int bestBefore);

    std::unique_ptr<GhostRun> ghost_;
    bool started_ = false;
    bool worldTakesPart_ = false;
    bool recordSent_ = false;
    // The stage's replay file as it was when the run began: a record whose
    // replay could not be written leaves it so, and the old run is not sent.
    std::filesystem::file_time_type replayTimeBefore_{};
    bool replayExistedBefore_ = false;
};

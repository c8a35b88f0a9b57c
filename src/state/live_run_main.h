// The game scene of a live run as the title starts it: the run itself, plus
// the ghost of the stage's best run when there is a saved replay and "GHOST"
// in "config.ini" is on. The run does exactly the same work with or without
// its ghost; the ghost only follows it and adds to its picture.
#pragma once

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

    // The ghost, or null when this run races none.
    const GhostRun* ghost() const { return ghost_.get(); }

private:
    void chooseGhost();

    std::unique_ptr<GhostRun> ghost_;
    bool ghostChosen_ = false;
};

// The world's runs a live run may race as its ghost: the entry RACE chose on
// the world table (for the next run only), or the one GHOST = NEXT or
// GHOST = WORLD names. A world run is raced only when its replay is already
// in the cache folder as the run starts; otherwise the run races the
// player's own best, as GHOST = 1 does, and the replay is asked for so that
// a later run has it. Nothing here waits for the network.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "config/game_settings.h"
#include "state/ghost_run.h"

// The entry RACE chose, by its run and stage; replaces one not yet raced.
struct RaceRequest {
    std::string runId;
    int stage = 0;
};
void requestRace(const RaceRequest& request);
// The pending request, once: a second call answers nothing.
std::optional<RaceRequest> takeRaceRequest();

// The world run the setting races on stage, as far as the world has answered:
// its run id, or "" for none (GHOST = 0 or 1, or no answer yet).
std::string worldGhostRunId(GhostSetting setting, int stage);

// Asks for the replay of the world run the setting races on stage unless the
// cache has it; alreadyAsked is the run asked for last, kept by the caller so
// that each run is asked for once. Returns the run id now asked for or held.
std::string prefetchWorldGhost(GhostSetting setting, int stage, const std::string& alreadyAsked);

// The ghost a live run on stage races: race (when it is for this stage and
// cached) before the setting, the player's own best when a world run is not
// there in time, none for GHOST = 0.
std::unique_ptr<GhostRun> chooseGhostRun(GhostSetting setting, const std::optional<RaceRequest>& race, int stage,
                                         int hiScore);

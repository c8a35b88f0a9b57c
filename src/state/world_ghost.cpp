// The world's runs raced as ghosts; see world_ghost.h.
#include "state/world_ghost.h"

#include <filesystem>

#include "kiln2/kiln2.h"
#include "world/world_service.h"

namespace {

std::optional<RaceRequest>& pendingRace() {
    static std::optional<RaceRequest> pending;
    return pending;
}

std::optional<world::WorldEntry> worldGhostEntry(GhostSetting setting, int stage) {
    const world::WorldService& world = world::service();
    if (setting == GhostSetting::NextAbove) return world.entryAbovePlayer(stage);
    if (setting == GhostSetting::WorldBest) return world.worldBest(stage);
    return std::nullopt;
}

// The cached replay of runId as a ghost, or null when it is not (or no longer) there.
std::unique_ptr<GhostRun> cachedGhost(const std::string& runId, int stage, int hiScore) {
    if (runId.empty()) return nullptr;
    const std::optional<world::CachedReplay> cached = world::service().cachedReplay(runId);
    if (!cached) return nullptr;
    Kiln_log("Ghost: world run %s of %s\n", runId.c_str(), cached->entry.player.c_str());
    return GhostRun::forReplayFile(stage, hiScore, cached->path);
}

}  // namespace

void requestRace(const RaceRequest& request) { pendingRace() = request; }

std::optional<RaceRequest> takeRaceRequest() {
    std::optional<RaceRequest> taken = std::move(pendingRace());
    pendingRace().reset();
    return taken;
}

std::string worldGhostRunId(GhostSetting setting, int stage) {
    const std::optional<world::WorldEntry> entry = worldGhostEntry(setting, stage);
    return entry ? entry->runId : std::string();
}

std::string prefetchWorldGhost(GhostSetting setting, int stage, const std::string& alreadyAsked) {
    const std::optional<world::WorldEntry> entry = worldGhostEntry(setting, stage);
    if (!entry || entry->runId.empty()) return alreadyAsked;
    world::WorldService& world = world::service();
    if (entry->runId != alreadyAsked && !world.cachedReplay(entry->runId)) world.fetchReplay(*entry, stage);
    return entry->runId;
}

std::unique_ptr<GhostRun> chooseGhostRun(GhostSetting setting, const std::optional<RaceRequest>& race, int stage,
                                         int hiScore) {
    if (race && race->stage == stage) {
        if (std::unique_ptr<GhostRun> ghost = cachedGhost(race->runId, stage, hiScore)) return ghost;
    }
    if (setting == GhostSetting::Off) return nullptr;
    if (setting != GhostSetting::OwnBest) {
        const std::string runId = worldGhostRunId(setting, stage);
        if (std::unique_ptr<GhostRun> ghost = cachedGhost(runId, stage, hiScore)) return ghost;
        // Not there in time: this run races the player's own best, a later one the world's.
        prefetchWorldGhost(setting, stage, "");
    }
    return GhostRun::forStage(stage, hiScore);
}

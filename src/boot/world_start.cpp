#include "boot/world_start.h"

#include <vector>

#include "config/options_settings.h"
#include "config/player_files.h"
#include "config/server_settings.h"
#include "kiln2/kiln2.h"
#include "world/world_service.h"
#include "worldlink/world_link.h"

namespace {

// The options' problems are reported by applyPlayerOptions already.
constexpr int kDefaultStage = 0;

}  // namespace

void startWorldService(const std::string& serverOverride) {
    ConfigParser config;
    std::vector<std::string> problems = loadPlayerConfig(config, kDefaultStage);
    problems.clear();
    const OptionsSettings options = readOptionsSettings(config, Kiln_bindableKeyName, problems);
    problems.clear();
    ServerSettings server = readServerSettings(config, problems);
    if (!serverOverride.empty()) {
        server.url = serverOverride;  // for this session: what SCORE_SERVER says does not matter
    } else {
        for (const std::string& problem : problems) Kiln_log("%s\n", problem.c_str());
    }
    if (server.url.empty()) {
        world::installService(world::makeOfflineService(world::Reach::NoServer));
        return;
    }
    worldlink::LinkSettings settings;
    settings.serverUrl = server.url;
    settings.caFile = server.caFile;
    settings.dataDir = playerDataDir();
    settings.online = options.online && isPlayerName(options.playerName);
    settings.playerName = options.playerName;
    world::installService(worldlink::makeWorldLink(settings));
}

void stopWorldService() { world::installService(world::makeOfflineService()); }

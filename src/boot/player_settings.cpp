// Hands the player's files and settings to the framework at start-up, and
// keeps the mute M toggles.
#include "boot/player_settings.h"

#include <string>
#include <vector>

#include "config/options_settings.h"
#include "config/player_files.h"
#include "kiln2/kiln2.h"
#include "state/applied_options.h"

namespace {

// The stage a recreated "config.ini" selects, as the title recreates it.
constexpr int kDefaultStage = 0;

void keepMute(bool muted) {
    try {
        savePlayerMute(muted);
    } catch (const std::exception& e) {
        // The session copy keeps it; the game goes on.
        Kiln_log("Could not save the mute: %s\n", e.what());
    }
}

}  // namespace

void choosePlayerControllerMappings() { Kiln_setControllerMappingFile(playerFilePath("gamecontrollerdb.txt")); }

void applyPlayerOptions() {
    ConfigParser config;
    // Only the options are this function's business: the scenes report the records' problems.
    std::vector<std::string> problems = loadPlayerConfig(config, kDefaultStage);
    problems.clear();
    const OptionsSettings options = readOptionsSettings(config, Kiln_bindableKeyName, problems);
    for (const std::string& problem : problems) Kiln_log("%s\n", problem.c_str());
    applyOptionsToFramework(options);
    // --fullscreen has opened the window full screen already and wins for this session.
    if (options.fullScreen && !Kiln_isFullScreen()) Kiln_toggleFullScreen();
    Kiln_setMuteToggledHandler(keepMute);
}

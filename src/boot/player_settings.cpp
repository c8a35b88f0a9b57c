// Hands the player's files and settings to the framework at start-up.
#include "boot/player_settings.h"

#include <string>
#include <vector>

#include "config/picture_setting.h"
#include "config/player_files.h"
#include "kiln2/kiln2.h"

namespace {

// The stage a recreated "config.ini" selects, as the title recreates it.
constexpr int kDefaultStage = 0;

}  // namespace

void choosePlayerControllerMappings() { Kiln_setControllerMappingFile(playerFilePath("gamecontrollerdb.txt")); }

void applyPlayerPictureSetting() {
    ConfigParser config;
    // Only PICTURE is this function's business: the scenes report the other keys' problems.
    std::vector<std::string> problems = loadPlayerConfig(config, kDefaultStage);
    problems.clear();
    const PictureSetting picture = readPictureSetting(config, problems);
    for (const std::string& problem : problems) Kiln_log("%s\n", problem.c_str());
    Kiln_setPictureScaling(picture == PictureSetting::Integer ? PICTURE_INTEGER : PICTURE_SMOOTH);
}

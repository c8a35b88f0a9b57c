// Recovery rules for "config.ini": a file that cannot be loaded is recreated
// with zero hi-scores, and a value that cannot be read falls back to 0 with a
// line saying which key and what text was wrong.
#include "config/game_settings.h"

#include <exception>

namespace {

const char* const HI_SCORE_KEYS[STAGE_COUNT] = {"HI_SCORE1", "HI_SCORE2", "HI_SCORE3", "HI_SCORE4"};
const char* const MODE_KEY = "MODE";
const char* const GHOST_KEY = "GHOST";

std::string fileLabel(const ConfigParser& config) {
    return config.fileName().empty() ? std::string("config") : config.fileName();
}

// The key's integer, or 0 with a problem line when it is absent or not a plain number.
int readIntOrZero(ConfigParser& config, const std::string& key, std::vector<std::string>& problems) {
    if (!config.hasKey(key)) {
        problems.push_back(fileLabel(config) + ": missing key " + key + ", using 0");
        return 0;
    }
    try {
        return config.getInt(key);
    } catch (const std::exception&) {
        problems.push_back(fileLabel(config) + ": bad value for " + key + " ('" + config.getString(key) +
                           "'), using 0");
        return 0;
    }
}

}  // namespace

std::vector<std::string> loadOrCreateGameConfig(ConfigParser& config, const std::string& file, int defaultMode) {
    std::vector<std::string> problems;
    try {
        config.load(file);
        return problems;
    } catch (const std::exception&) {
        // A missing or unreadable file is the normal first start: no problem to report.
    }
    try {
        setDefaultGameConfig(config, defaultMode);
        config.save(file);
    } catch (const std::exception& e) {
        problems.push_back(e.what());
    }
    return problems;
}

void setDefaultGameConfig(ConfigParser& config, int defaultMode) {
    for (const char* key : HI_SCORE_KEYS) config.setInt(key, 0);
    config.setInt(MODE_KEY, defaultMode);
}

GameSettings readGameSettings(ConfigParser& config, std::vector<std::string>& problems) {
    GameSettings settings;
    for (int stage = 0; stage < STAGE_COUNT; ++stage) {
        settings.hiScores[stage] = readIntOrZero(config, HI_SCORE_KEYS[stage], problems);
    }
    const int mode = readIntOrZero(config, MODE_KEY, problems);
    if (mode < 0 || mode >= STAGE_COUNT) {
        problems.push_back(fileLabel(config) + ": MODE " + std::to_string(mode) +
                           " is not a stage (0 to 3), using stage 0");
        settings.stage = 0;
    } else {
        settings.stage = mode;
    }
    return settings;
}

const char* ghostSettingValue(GhostSetting setting) {
    switch (setting) {
        case GhostSetting::Off:
            return "0";
        case GhostSetting::NextAbove:
            return "NEXT";
        case GhostSetting::WorldBest:
            return "WORLD";
        case GhostSetting::OwnBest:
            break;
    }
    return "1";
}

GhostSetting readGhostSetting(ConfigParser& config, std::vector<std::string>& problems) {
    if (!config.hasKey(GHOST_KEY)) return GhostSetting::OwnBest;
    const std::string value = config.getString(GHOST_KEY);
    for (GhostSetting setting :
         {GhostSetting::Off, GhostSetting::OwnBest, GhostSetting::NextAbove, GhostSetting::WorldBest}) {
        if (value == ghostSettingValue(setting)) return setting;
    }
    problems.push_back(fileLabel(config) + ": bad value for " + GHOST_KEY + " ('" + value + "'), using 1");
    return GhostSetting::OwnBest;
}

// Reading and writing the options of "config.ini" with their recovery rules,
// and saving them into the player's file without touching the records.
#include "config/options_settings.h"

#include <algorithm>

#include "config/game_settings.h"
#include "config/player_files.h"

namespace {

const char* const MUSIC_KEY = "MUSIC_VOLUME";
const char* const EFFECTS_KEY = "EFFECTS_VOLUME";
const char* const MUTE_KEY = "MUTE";
const char* const PICTURE_KEY = "PICTURE";
const char* const FULL_SCREEN_KEY = "FULL_SCREEN";
const char* const CONTROLLER_KEY = "CONTROLLER_A";
const char* const GHOST_KEY = "GHOST";
const char* const ONLINE_KEY = "ONLINE";
const char* const NAME_KEY = "PLAYER_NAME";

// The stage a config.ini recreated while saving options selects, as the title's.
constexpr int DEFAULT_MODE = 0;

std::string fileLabel(const ConfigParser& config) {
    return config.fileName().empty() ? std::string("config") : config.fileName();
}

void badValue(ConfigParser& config, const char* key, const std::string& fallback, std::vector<std::string>& problems) {
    problems.push_back(fileLabel(config) + ": bad value for " + key + " ('" + config.getString(key) + "'), using " +
                       fallback);
}

int readVolume(ConfigParser& config, const char* key, std::vector<std::string>& problems) {
    if (!config.hasKey(key)) return OPTIONS_VOLUME_MAX;
    try {
        // The parser reads an empty value as 0; a level must be written out.
        const int level = config.getString(key).empty() ? -1 : config.getInt(key);
        if (level >= 0 && level <= OPTIONS_VOLUME_MAX) return level;
    } catch (const ConfigError&) {
        // Not a number: reported below like a number out of range.
    }
    badValue(config, key, std::to_string(OPTIONS_VOLUME_MAX), problems);
    return OPTIONS_VOLUME_MAX;
}

// "1" or "0"; anything else is fallback with a problem line.
bool readSwitch(ConfigParser& config, const char* key, bool fallback, std::vector<std::string>& problems) {
    if (!config.hasKey(key)) return fallback;
    const std::string value = config.getString(key);
    if (value == "1") return true;
    if (value == "0") return false;
    badValue(config, key, fallback ? "1" : "0", problems);
    return fallback;
}

ControllerFaceSetting readControllerFace(ConfigParser& config, std::vector<std::string>& problems) {
    if (!config.hasKey(CONTROLLER_KEY)) return ControllerFaceSetting::South;
    const std::string value = config.getString(CONTROLLER_KEY);
    if (value == "south") return ControllerFaceSetting::South;
    if (value == "east") return ControllerFaceSetting::East;
    badValue(config, CONTROLLER_KEY, "south", problems);
    return ControllerFaceSetting::South;
}

// ONLINE = 1 needs a name to show on the table: without one it reads as 0.
void readOnline(ConfigParser& config, OptionsSettings& options, std::vector<std::string>& problems) {
    if (config.hasKey(NAME_KEY)) {
        const std::string name = config.getString(NAME_KEY);
        if (isPlayerName(name)) {
            options.playerName = name;
        } else if (!name.empty()) {
            problems.push_back(fileLabel(config) + ": bad value for " + NAME_KEY + " ('" + name +
                               "'), a name is 1 to 12 of A-Z a-z 0-9 - .");
        }
    }
    options.online = readSwitch(config, ONLINE_KEY, false, problems);
    if (options.online && options.playerName.empty()) {
        problems.push_back(fileLabel(config) + ": ONLINE = 1 needs a PLAYER_NAME, using 0");
        options.online = false;
    }
}

}  // namespace

bool isPlayerName(const std::string& name) {
    if (name.empty() || name.size() > PLAYER_NAME_MAX) return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.';
    });
}

OptionsSettings readOptionsSettings(ConfigParser& config, KeyNameCheck check, std::vector<std::string>& problems) {
    OptionsSettings options;
    options.musicVolume = readVolume(config, MUSIC_KEY, problems);
    options.effectsVolume = readVolume(config, EFFECTS_KEY, problems);
    options.muted = readSwitch(config, MUTE_KEY, false, problems);
    options.picture = readPictureSetting(config, problems);
    options.fullScreen = readSwitch(config, FULL_SCREEN_KEY, false, problems);
    options.keys = readKeyBindings(config, check, problems);
    options.controllerA = readControllerFace(config, problems);
    options.ghost = readGhostSetting(config, problems);
    readOnline(config, options, problems);
    return options;
}

void writeMuteSetting(ConfigParser& config, bool muted) { config.set(MUTE_KEY, muted ? "1" : "0"); }

void writeOptionsSettings(ConfigParser& config, const OptionsSettings& options) {
    config.setInt(MUSIC_KEY, options.musicVolume);
    config.setInt(EFFECTS_KEY, options.effectsVolume);
    writeMuteSetting(config, options.muted);
    config.set(PICTURE_KEY, options.picture == PictureSetting::Integer ? "integer" : "smooth");
    config.set(FULL_SCREEN_KEY, options.fullScreen ? "1" : "0");
    writeKeyBindings(config, options.keys);
    config.set(CONTROLLER_KEY, options.controllerA == ControllerFaceSetting::East ? "east" : "south");
    config.set(GHOST_KEY, ghostSettingValue(options.ghost));
    config.set(ONLINE_KEY, options.online ? "1" : "0");
    config.set(NAME_KEY, options.playerName);
}

void savePlayerOptions(const OptionsSettings& options) {
    ConfigParser values;
    writeOptionsSettings(values, options);
    PlayerSettingValues settings;
    for (const std::string& key : values.keyOrder()) settings.emplace_back(key, values.getString(key));
    savePlayerSettings(settings, DEFAULT_MODE);
}

void savePlayerMute(bool muted) { savePlayerSettings({{MUTE_KEY, muted ? "1" : "0"}}, DEFAULT_MODE); }

// The data directory and the session copy of the settings; see player_files.h.
#include "config/player_files.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "config/game_settings.h"

namespace {

struct PlayerFiles {
    std::string dir;
    bool writable = true;
    // Set once the disk could not take the settings; read instead of it from then on.
    std::unique_ptr<ConfigParser> sessionCopy;
    // Settings saved by key since the directory was chosen; they win over any stale copy saved later.
    PlayerSettingValues laterSettings;
};

PlayerFiles& files() {
    static PlayerFiles state;
    return state;
}

}  // namespace

void setPlayerDataDir(const std::string& dir, bool writable) {
    PlayerFiles& state = files();
    state.dir = dir;
    state.writable = writable;
    state.sessionCopy.reset();
    state.laterSettings.clear();
}

const std::string& playerDataDir() { return files().dir; }

bool playerFilesWritable() { return files().writable; }

std::string playerFilePath(const std::string& name) {
    const std::string& dir = files().dir;
    if (dir.empty()) return name;
    return dir.back() == '/' ? dir + name : dir + "/" + name;
}

std::string configFilePath() { return playerFilePath("config.ini"); }

std::string stageReplayFile(int stage) {
    char name[32];
    std::snprintf(name, sizeof name, "replay/replay_%02d.bin", stage);
    return playerFilePath(name);
}

std::vector<std::string> loadPlayerConfig(ConfigParser& config, int defaultMode) {
    PlayerFiles& state = files();
    if (state.sessionCopy) {
        config = *state.sessionCopy;
        return {};
    }
    if (state.writable) return loadOrCreateGameConfig(config, configFilePath(), defaultMode);
    // Nothing may be written: read what is there, or start from the defaults in memory.
    std::vector<std::string> problems;
    try {
        config.load(configFilePath());
    } catch (const std::exception&) {
        config.clear();
        setDefaultGameConfig(config, defaultMode);
        state.sessionCopy = std::make_unique<ConfigParser>(config);
    }
    return problems;
}

void savePlayerConfig(ConfigParser& config) {
    PlayerFiles& state = files();
    for (const auto& [key, value] : state.laterSettings) config.set(key, value);
    if (!state.writable) {
        state.sessionCopy = std::make_unique<ConfigParser>(config);
        return;
    }
    try {
        config.save(configFilePath());
    } catch (const std::exception&) {
        state.sessionCopy = std::make_unique<ConfigParser>(config);
        throw;
    }
    // The disk holds the settings again; it is the one to read.
    state.sessionCopy.reset();
}

void savePlayerSettings(const PlayerSettingValues& values, int defaultMode) {
    PlayerSettingValues& later = files().laterSettings;
    for (const auto& entry : values) {
        auto same = std::find_if(later.begin(), later.end(), [&](const auto& old) { return old.first == entry.first; });
        if (same != later.end()) {
            same->second = entry.second;
        } else {
            later.push_back(entry);
        }
    }
    ConfigParser config;
    // The scenes report the file's problems; here only its records matter, kept as they are.
    loadPlayerConfig(config, defaultMode);
    savePlayerConfig(config);
}

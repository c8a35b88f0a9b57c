// The data directory and the session copy of the settings; see player_files.h.
#include "config/player_files.h"

#include <cstdio>
#include <memory>

#include "config/game_settings.h"

namespace {

struct PlayerFiles {
    std::string dir;
    bool writable = true;
    // Set once the disk could not take the settings; read instead of it from then on.
    std::unique_ptr<ConfigParser> sessionCopy;
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

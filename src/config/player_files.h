// Where the player's own files live, and the session's copy of "config.ini".
// The data directory holds "config.ini", "replay/replay_0N.bin" and
// "run.log"; start-up chooses it once (the working directory by default, as
// when playing from a checkout). When it cannot be written, or a save of
// "config.ini" fails during play, the settings are kept in memory for the
// rest of the session: the hi-scores stay and the chosen stage still reaches
// the run, and nothing is written anywhere.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "config/config_parser.h"

// Chooses the data directory ("" is the working directory) and whether files
// may be written there. Forgets any session copy of the settings.
void setPlayerDataDir(const std::string& dir, bool writable);
const std::string& playerDataDir();
bool playerFilesWritable();

// A path inside the data directory: "config.ini" becomes "<dir>/config.ini".
std::string playerFilePath(const std::string& name);
std::string configFilePath();
// "replay/replay_00.bin" for stage 0, one file per stage.
std::string stageReplayFile(int stage);

// Fills config with the player's settings: the session copy once there is
// one, else "config.ini" read from disk, else the recreated defaults
// (HI_SCORE1..4 = 0, MODE = defaultMode), saved when the directory allows.
// Returns the problems met, one text line each. Never throws.
std::vector<std::string> loadPlayerConfig(ConfigParser& config, int defaultMode);

// Saves config as the player's settings. Without a writable directory it
// only becomes the session copy. When the save fails, it becomes the session
// copy too and the error is thrown for the caller to log.
void savePlayerConfig(ConfigParser& config);

// Sets these keys in the player's "config.ini" as it is now and saves it
// (throwing as savePlayerConfig does). A scene that read the file earlier and
// saves its own copy later (a record, the chosen stage) cannot undo them:
// every later save carries these values too, for the rest of the session.
using PlayerSettingValues = std::vector<std::pair<std::string, std::string>>;
void savePlayerSettings(const PlayerSettingValues& values, int defaultMode);

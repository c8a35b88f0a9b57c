// The game's own use of "config.ini": the four stage hi-scores, the chosen
// stage and which ghost flies along, with the recovery rules for a missing or damaged file kept in one
// place for the title scene and the game scene. Nothing here logs or throws;
// problems come back as text lines for the scene to log.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "config/config_parser.h"

constexpr int STAGE_COUNT = 4;

// Loads file into config; if loading throws, sets HI_SCORE1..4 = 0 and MODE = defaultMode
// and saves to file. Returns the problems met (a missing file is normal and not reported;
// a failing save of the recreated file is, with its text). Never throws.
std::vector<std::string> loadOrCreateGameConfig(ConfigParser& config, const std::string& file, int defaultMode);

// Sets HI_SCORE1..4 = 0 and MODE = defaultMode: the settings of a first start.
void setDefaultGameConfig(ConfigParser& config, int defaultMode);

struct GameSettings {
    std::array<int, STAGE_COUNT> hiScores{};
    int stage = 0;
};

// Reads HI_SCORE1..4 and MODE. A missing key or a bad number reads as 0 and adds one
// problem line naming the key and the value; a MODE outside 0..3 selects stage 0 with a
// problem line. Never throws.
GameSettings readGameSettings(ConfigParser& config, std::vector<std::string>& problems);

// The run a live run races as its ghost: "GHOST = 1" the player's own best
// on the stage, "NEXT" the world entry just above the player's, "WORLD" the
// world best, "0" none.
enum class GhostSetting { Off, OwnBest, NextAbove, WorldBest };

// A file without the key (one from before the ghost) means 1, silently; any
// other value means 1, with one problem line naming the key and the default.
// Never throws.
GhostSetting readGhostSetting(ConfigParser& config, std::vector<std::string>& problems);
// The value written for setting: "1", "NEXT", "WORLD" or "0".
const char* ghostSettingValue(GhostSetting setting);

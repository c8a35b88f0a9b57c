// Every setting of the options screen as "config.ini" holds it, beside the
// hi-scores and MODE it never touches: MUSIC_VOLUME and EFFECTS_VOLUME
// (0..10), MUTE (0|1), PICTURE (smooth|integer), FULL_SCREEN (0|1), the six
// KEY_* bindings, CONTROLLER_A (south|east), GHOST (1|NEXT|WORLD|0), and ONLINE (0|1)
// with PLAYER_NAME, the name the world table shows. A file from an
// older game lacks some or all of them: each missing one is its default,
// silently. A bad value is its default with one problem line naming the key.
#pragma once

#include <string>
#include <vector>

#include "config/config_parser.h"
#include "config/game_settings.h"
#include "config/key_bindings_setting.h"
#include "config/picture_setting.h"

constexpr int OPTIONS_VOLUME_MAX = 10;

enum class ControllerFaceSetting { South, East };

struct OptionsSettings {
    int musicVolume = OPTIONS_VOLUME_MAX;
    int effectsVolume = OPTIONS_VOLUME_MAX;
    bool muted = false;
    PictureSetting picture = PictureSetting::Smooth;
    bool fullScreen = false;
    KeyBindingNames keys = defaultKeyBindingNames();
    ControllerFaceSetting controllerA = ControllerFaceSetting::South;
    GhostSetting ghost = GhostSetting::OwnBest;
    // On only with a name; the name is kept when ONLINE is turned off.
    bool online = false;
    std::string playerName;

    bool operator==(const OptionsSettings&) const = default;
};

// A name the world table takes and the game's font draws: 1 to 12 of
// A-Z a-z 0-9 '-' '.'.
constexpr std::size_t PLAYER_NAME_MAX = 12;
bool isPlayerName(const std::string& name);

// Reads every option; never throws.
OptionsSettings readOptionsSettings(ConfigParser& config, KeyNameCheck check, std::vector<std::string>& problems);
// Sets the option keys in config; every other key stays as it was.
void writeOptionsSettings(ConfigParser& config, const OptionsSettings& options);
void writeMuteSetting(ConfigParser& config, bool muted);

// Reads the player's "config.ini" as it is now, changes only the option keys
// and saves it, so hi-scores and MODE saved meanwhile are kept. Throws the
// save's error as savePlayerConfig does (the session copy then holds them).
void savePlayerOptions(const OptionsSettings& options);
// The same for MUTE alone, as M changes it on any screen.
void savePlayerMute(bool muted);

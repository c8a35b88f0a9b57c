// The settings' side of each row of the options screen.
#include "state/options_rows.h"

#include <algorithm>
#include <cctype>

namespace {

const char* const LABELS[OPTIONS_ROW_COUNT] = {
    "MUSIC", "EFFECTS", "MUTE", "PICTURE", "FULL SCREEN", "KEY UP", "KEY DOWN", "KEY LEFT",
    "KEY RIGHT", "KEY A", "KEY B", "CONTROLLER A", "GHOST", "ONLINE", "NAME", "RESTORE DEFAULTS", "BACK",
};

const char* onOff(bool on) { return on ? "ON" : "OFF"; }

// In the order LEFT and RIGHT go round them.
constexpr int GHOST_SETTING_COUNT = 4;
constexpr GhostSetting GHOST_CYCLE[GHOST_SETTING_COUNT] = {GhostSetting::Off, GhostSetting::OwnBest,
                                                            GhostSetting::NextAbove, GhostSetting::WorldBest};

const char* ghostLabel(GhostSetting ghost) {
    switch (ghost) {
        case GhostSetting::Off:
            return "OFF";
        case GhostSetting::NextAbove:
            return "NEXT";
        case GhostSetting::WorldBest:
            return "WORLD";
        case GhostSetting::OwnBest:
            break;
    }
    return "OWN BEST";
}

GhostSetting nextGhost(GhostSetting ghost, int step) {
    int at = 0;
    while (GHOST_CYCLE[at] != ghost) ++at;
    return GHOST_CYCLE[(at + (step < 0 ? GHOST_SETTING_COUNT - 1 : 1)) % GHOST_SETTING_COUNT];
}

std::string capitals(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
    return text;
}

}  // namespace

const char* optionsRowLabel(int row) { return row >= 0 && row < OPTIONS_ROW_COUNT ? LABELS[row] : ""; }

int boundButtonOfRow(int row) { return row >= ROW_KEY_UP && row <= ROW_KEY_B ? row - ROW_KEY_UP : -1; }

bool isVolumeRow(int row) { return row == ROW_MUSIC || row == ROW_EFFECTS; }

std::string optionsRowValue(int row, const OptionsSettings& options, const OptionsRowsWorld& world) {
    const int button = boundButtonOfRow(row);
    if (button >= 0) return capitals(options.keys[static_cast<size_t>(button)]);
    switch (row) {
        case ROW_MUSIC:
            return std::to_string(options.musicVolume);
        case ROW_EFFECTS:
            return std::to_string(options.effectsVolume);
        case ROW_MUTE:
            return onOff(options.muted);
        case ROW_PICTURE:
            return options.picture == PictureSetting::Integer ? "INTEGER" : "SMOOTH";
        case ROW_FULL_SCREEN:
            return onOff(world.fullScreen);
        case ROW_CONTROLLER_A:
            return options.controllerA == ControllerFaceSetting::East ? "EAST" : "SOUTH";
        case ROW_GHOST:
            return ghostLabel(options.ghost);
        case ROW_ONLINE:
            return world.noServer ? "NO SERVER SET" : onOff(options.online);
        case ROW_NAME:
            return options.playerName.empty() ? "-" : options.playerName;
        default:
            return "";
    }
}

bool stepOptionsRow(int row, int step, OptionsSettings& options) {
    switch (row) {
        case ROW_MUSIC:
        case ROW_EFFECTS: {
            int& level = row == ROW_MUSIC ? options.musicVolume : options.effectsVolume;
            const int moved = std::clamp(level + step, 0, OPTIONS_VOLUME_MAX);
            const bool changed = moved != level;
            level = moved;
            return changed;
        }
        case ROW_MUTE:
            options.muted = !options.muted;
            return true;
        case ROW_PICTURE:
            options.picture =
                options.picture == PictureSetting::Integer ? PictureSetting::Smooth : PictureSetting::Integer;
            return true;
        case ROW_CONTROLLER_A:
            options.controllerA = options.controllerA == ControllerFaceSetting::East ? ControllerFaceSetting::South
                                                                                     : ControllerFaceSetting::East;
            return true;
        case ROW_GHOST:
            options.ghost = nextGhost(options.ghost, step);
            return true;
        default:
            return false;
    }
}

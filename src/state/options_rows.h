// The rows of the options screen: what each one is, the label and the value
// it shows, and what LEFT/RIGHT and choosing do to the settings. The scene
// owns the input, the key wait and the drawing; this owns the settings' side.
#pragma once

#include <string>

#include "config/options_settings.h"

enum OptionsRow {
    ROW_MUSIC,
    ROW_EFFECTS,
    ROW_MUTE,
    ROW_PICTURE,
    ROW_FULL_SCREEN,
    ROW_KEY_UP,
    ROW_KEY_DOWN,
    ROW_KEY_LEFT,
    ROW_KEY_RIGHT,
    ROW_KEY_A,
    ROW_KEY_B,
    ROW_CONTROLLER_A,
    ROW_GHOST,
    ROW_ONLINE,
    ROW_NAME,
    ROW_RESTORE_DEFAULTS,
    ROW_BACK,
    OPTIONS_ROW_COUNT,
};

// "MUSIC", "KEY UP", "BACK" ...: the text drawn at the row's left, and its widget's name.
const char* optionsRowLabel(int row);
// What the rows show that the settings do not hold: the window's state now,
// which --fullscreen or F9 may have changed, and whether a score server is set.
struct OptionsRowsWorld {
    bool fullScreen = false;
    bool noServer = false;
};
// The value drawn beside it in the font's capitals ("7", "ON", "SMOOTH", "LEFT SHIFT"); "" for none.
// A name is drawn as it is spelt: the world table shows it so.
std::string optionsRowValue(int row, const OptionsSettings& options, const OptionsRowsWorld& world);
// The bound button (BOUND_UP ... BOUND_B) a key row sets, or -1.
int boundButtonOfRow(int row);
bool isVolumeRow(int row);

// LEFT (step -1) or RIGHT (+1) on a row: a volume moves one level within
// 0..10, an on/off or two-way row flips, GHOST goes round its four runs
// (OFF, OWN BEST, NEXT, WORLD). True when a setting changed. FULL SCREEN is
// the scene's (it is the window's), and ONLINE and NAME wait on the world, so
// they are not changed here.
bool stepOptionsRow(int row, int step, OptionsSettings& options);

// The player's settings the framework needs from the first frame on: where
// the extra controller mappings are, and every option of "config.ini".
#pragma once

// Before Kiln_init: the "gamecontrollerdb.txt" of the player's data directory.
void choosePlayerControllerMappings();

// After Kiln_init: every option from "config.ini" (a bad value is one log
// line and its default), full screen when FULL_SCREEN = 1 unless the window
// already is, and M's mute kept in "config.ini" whenever it is toggled.
void applyPlayerOptions();

// The player's settings the framework needs from the first frame on: where
// the extra controller mappings are, and how the picture fills the window.
#pragma once

// Before Kiln_init: the "gamecontrollerdb.txt" of the player's data directory.
void choosePlayerControllerMappings();

// After Kiln_init: PICTURE from "config.ini" (smooth unless it says integer;
// a bad value is one log line).
void applyPlayerPictureSetting();

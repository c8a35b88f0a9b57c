// The last step of start-up before the framework: the resource directory,
// the player's data directory, the run log and the screenshot folder of this
// run are set once, here.
#pragma once

#include "boot/game_directories.h"

// Needs the backend installed (the run log is the backend's). Without a
// writable data directory there is no run log and F12 saves nothing.
void useGameDirectories(const GameDirectories& directories, bool dataWritable);

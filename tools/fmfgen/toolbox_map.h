// The little course shown on the toolbox screen, built chip by chip.
#pragma once

#include "fmfloader/fmf_loader.h"

// Chip numbers of the toolbox map; the screen gives each one a colour.
enum ToolboxChip { CHIP_EMPTY = 0, CHIP_ROCK = 1, CHIP_GRASS = 2, CHIP_WATER = 3, CHIP_ITEM = 4, CHIP_ENEMY = 5 };

// 24 x 8 chips of 16 x 16 pixels: layer 0 the ground and walls, layer 1 the
// items and enemies placed over it.
FMFLoader buildToolboxMap();

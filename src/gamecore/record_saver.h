// Keeping a new best run: its replay and its hi-score. A record is never lost
// to a file problem: each file that cannot be written costs one log line and
// the rest is still saved.
#pragma once

#include <array>
#include <string>

#include "config/config_parser.h"
#include "keypad/keypad.h"

// Saves the recording as the stage's replay in the player's data directory
// (creating "replay/" when missing), sets hiScores[stage] = score, writes
// HI_SCORE1..4 into config and saves it as the player's settings. Never
// throws for a file that cannot be written; without a writable data
// directory the hi-score lives on for the session and no file is touched.
void saveNewRecord(Keypad& keypad, ConfigParser& config, std::array<int, 4>& hiScores, int stage, int score);

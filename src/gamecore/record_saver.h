// Keeping a new best run: its replay and its hi-score. A record is never lost
// to a file problem: each file that cannot be written costs one log line and
// the rest is still saved.
#pragma once

#include <array>
#include <string>

#include "config/config_parser.h"
#include "keypad/keypad.h"

// "replay/replay_00.bin" for stage 0, one file per stage.
std::string stageReplayFile(int stage);

// Saves the recording to replayFile (creating its directory when missing),
// sets hiScores[stage] = score, writes HI_SCORE1..4 into config and saves it
// to configFile. Never throws for a file that cannot be written.
void saveNewRecord(Keypad& keypad, ConfigParser& config, std::array<int, 4>& hiScores, int stage, int score,
                   const std::string& replayFile, const std::string& configFile);

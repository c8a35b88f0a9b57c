// Two different recordings made through the keypad on the headless backend,
// as a live run would make them: the "old" and the "new" record of the save
// tests. Their lengths differ, so a file that mixes them is easy to spot.
#pragma once

#include <memory>

#include "keypad/keypad.h"

namespace proof {

constexpr int OLD_RUN_FRAMES = 3000;
constexpr int NEW_RUN_FRAMES = 9000;
constexpr int OLD_RUN_SCORE = 3001;
constexpr int NEW_RUN_SCORE = 9001;

// A keypad that recorded frames frames of UP pressed in a rhythm of period
// frames (the framework must be started).
std::unique_ptr<Keypad> recordRun(int frames, int period);

}  // namespace proof

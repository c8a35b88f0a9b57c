// The two pieces of music of a run: the loop that starts at " GO! " and the
// jingle of the results. The theatre puts the right one back after a jump.
#pragma once

#include <string>

// Built once: the frame that starts either allocates nothing.
inline const std::string RUN_PLAY_MUSIC = "resource/sound/bgm.ogg";
inline const std::string RUN_RESULTS_MUSIC = "resource/sound/results.wav";

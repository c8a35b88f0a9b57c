// A run that plays a saved replay for someone watching it (the theatre) or
// racing it (the ghost). It reads nothing but its replay file and saves
// nothing. Button B belongs to the watcher there, so the run never turns a B
// into a pause of its own: it goes through exactly the frames its replay made.
#pragma once

#include <string>

#include "gamecore/game_main.h"

class PlaybackGame : public GameMain {
public:
    PlaybackGame(int stage, int hiScore, const std::string& replayFile);

    void updateRun() override;
};

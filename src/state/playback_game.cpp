// A replay played for a watcher; see playback_game.h.
#include "state/playback_game.h"

PlaybackGame::PlaybackGame(int stage, int hiScore, const std::string& replayFile)
    : GameMain(RunSettingsOverride{stage, hiScore, replayFile}) {}

void PlaybackGame::updateRun() {
    GameMain::updateRun();
    // A B pressed by the watcher is theirs (leave the theatre, pause the live run), not this run's.
    pauseRequested = false;
}

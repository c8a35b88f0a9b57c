// What the next theatre plays: the title (B, or a file dropped on its window),
// the world table (WATCH)
// and the command line ("--watch") leave it here before the theatre starts,
// because the scene machine builds every scene without arguments.
#pragma once

#include <optional>
#include <string>

#include "state/theatre_speed.h"

struct WatchRequest {
    std::string replayFile;
    int stage = 0;  // a replay file holds no stage, so the watcher names it
    int speedStep = THEATRE_NORMAL_SPEED;
    // The stage's best score as the results screen compares with it; below 0:
    // the theatre reads the player's own from "config.ini".
    int hiScore = -1;
    // Whose run it is, when it is not the player's own: "WORLD #3 ACE".
    std::string caption{};
};

// Replaces any request not yet taken.
void requestWatch(const WatchRequest& request);

// The pending request, once: a second call answers nothing.
std::optional<WatchRequest> takeWatchRequest();

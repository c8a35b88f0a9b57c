// The summary line of a run; see run_summary.h.
#include "gamecore/run_summary.h"

#include <cstdio>

#include "gamecore/game_main.h"

int runDistanceMetres(const GameMain& run) { return run.scrollPos / run.subPixels / run.pixelsPerTenMetres * 10; }

std::string runSummaryLine(const GameMain& run, bool reachedResults) {
    const char* result = !reachedResults ? "limit" : run.player.life == 0 ? "destroyed" : "finished";
    char line[160];
    std::snprintf(line, sizeof line, "stage=%d frames=%d score=%d distance=%dm energy=%d result=%s", run.stage,
                  run.frameCounter, run.score, runDistanceMetres(run), run.player.energy, result);
    return line;
}

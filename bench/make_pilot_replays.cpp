// Makes replays with the scripted pilot: one live headless run per stage
// given, each saved as <dir>/stage<S>.bin. The timing programs and the soak
// run play these back.
//   make_pilot_replays DIR STAGE...
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "kiln2/headless.h"
#include "kiln2/kiln2.h"
#include "pilot_run.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: make_pilot_replays DIR STAGE...\n");
        return 2;
    }
    try {
        Kiln_useHeadlessBackend(
            {.readResourceFiles = false, .writeRunLog = false, .logToStderr = true, .recordDrawCalls = false});
        Kiln_init("KVR2013", 640, 480, false, false);
        for (int i = 2; i < argc; ++i) {
            const int stage = std::atoi(argv[i]);
            const std::string out = std::string(argv[1]) + "/stage" + std::to_string(stage) + ".bin";
            const bench::PilotRunResult run = bench::flyPilotRun(stage, out);
            std::printf("stage %d: %d frames, score %d, %d m, %s, %d hits, %d attempts; most alive: walls %d items %d enemies %d "
                        "effects %d colliders %d -> %s\n",
                        stage, run.frames, run.score, run.distanceM, run.destroyed ? "destroyed" : "alive", run.hits, run.attempts,
                        run.maxWalls, run.maxItems, run.maxEnemies, run.maxEffects, run.maxColliders, out.c_str());
        }
        Kiln_quit();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_pilot_replays: %s\n", e.what());
        return 1;
    }
    return 0;
}

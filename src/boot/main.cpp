// The process entry: the replay verifier when asked for, otherwise the
// windowed game from the command line's size and mode.
#include <cstdio>
#include <filesystem>

#include "boot/command_line.h"
#include "boot/game_loop.h"
#include "kiln2_sdl/real_backend.h"
#include "state/scene_machine.h"
#include "state/toolbox_main.h"
#include "state/watch_request.h"
#include "verifier/replay_verifier.h"

int main(int argc, char** argv) {
    // The verifier has its own strict arguments and never opens a window.
    if (isReplayVerifierCommand(argc, argv)) return runReplayVerifier(argc, argv, "kvr2013 --headless");

    CommandLine line;
    try {
        line = parseCommandLine(argc, argv);
    } catch (const CommandLineError& error) {
        std::fprintf(stderr, "kvr2013: %s\n%s", error.what(), commandLineUsage());
        return 2;
    }
    if (line.toolbox) setFirstScene(makeToolboxMain);
    if (!line.watchFile.empty()) {
        std::error_code error;
        if (!std::filesystem::is_regular_file(line.watchFile, error)) {
            std::fprintf(stderr, "kvr2013: cannot open the replay %s\n", line.watchFile.c_str());
            return 2;
        }
        requestWatch({.replayFile = line.watchFile, .stage = line.watchStage, .speedStep = line.watchSpeedStep});
        setFirstScene(makeTheatreMain);
    }
    Kiln_useRealBackend();
    return runGame(line);
}

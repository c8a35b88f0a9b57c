// The process entry: the replay verifier when asked for, otherwise the
// windowed game from the command line's size and mode.
#include <cstdio>

#include "boot/command_line.h"
#include "boot/game_loop.h"
#include "boot/replay_verifier.h"
#include "state/scene_machine.h"
#include "state/toolbox_main.h"

int main(int argc, char** argv) {
    // The verifier has its own strict arguments and never opens a window.
    if (isReplayVerifierCommand(argc, argv)) return runReplayVerifier(argc, argv);

    CommandLine line;
    try {
        line = parseCommandLine(argc, argv);
    } catch (const CommandLineError& error) {
        std::fprintf(stderr, "kvr2013: %s\n%s", error.what(), commandLineUsage());
        return 2;
    }
    if (line.toolbox) setFirstScene(makeToolboxMain);
    return runGame(line);
}

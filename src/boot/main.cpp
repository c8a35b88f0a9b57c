// The process entry: the replay verifier when asked for, otherwise the
// windowed game from the command line's size and mode.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "boot/command_line.h"
#include "boot/display_check.h"
#include "boot/game_loop.h"
#include "kiln2_sdl/real_backend.h"
#include "state/scene_machine.h"
#include "state/toolbox_main.h"
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
    const std::string noDisplay =
        missingDisplayMessage(std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"), std::getenv("SDL_VIDEODRIVER"));
    if (!noDisplay.empty()) {
        std::fputs(noDisplay.c_str(), stderr);
        return 1;
    }
    if (line.toolbox) setFirstScene(makeToolboxMain);
    Kiln_useRealBackend();
    return runGame(line);
}

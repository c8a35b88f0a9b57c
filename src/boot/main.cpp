// The process entry: the replay verifier when asked for; --version and
// --help; otherwise find the pictures and sounds and the player's
// directory, then run the windowed game.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "boot/command_line.h"
#include "boot/display_check.h"
#include "boot/game_directories.h"
#include "boot/game_loop.h"
#include "boot/use_directories.h"
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
    std::fputs(unknownOptionWarnings(line).c_str(), stderr);
    if (line.version) {
        std::fputs(gameVersionText().c_str(), stdout);
        return 0;
    }

    const GameDirectories directories = findGameDirectories(line);
    if (line.help) {
        std::fputs(gameHelpText(directories).c_str(), stdout);
        return 0;
    }
    // Without a display SDL would run the game unseen: say so before anything opens.
    const std::string noDisplay =
        missingDisplayMessage(std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"), std::getenv("SDL_VIDEODRIVER"));
    if (!noDisplay.empty()) {
        std::fputs(noDisplay.c_str(), stderr);
        return 1;
    }
    // Without its pictures and sounds the game says where it looked and
    // stops before anything is opened or written.
    if (!directories.resources.found()) {
        std::fputs(resourcesNotFoundMessage(directories.resources).c_str(), stderr);
        return 1;
    }
    const DataDirAccess access = prepareDataDir(directories.data.dir);
    std::fputs(dataDirProblemLine(directories.data, access).c_str(), stderr);

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
    useGameDirectories(directories, access.writable);
    return runGame(line);
}

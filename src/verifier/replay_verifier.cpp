// The headless replay verifier: plays one replay file through the real game
// scene with no window, no sound and no files besides the replay (and the
// trace when asked), and prints one line saying how the run ended.
#include "verifier/replay_verifier.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>

#include "verifier/replay_verifier_args.h"
#include "verifier/run_trace.h"
#include "gamecore/game_main.h"
#include "gamecore/run_summary.h"
#include "kiln2/kiln2.h"

namespace {

// A directory opens as a stream on Linux but holds no replay.
bool canOpenReplay(const std::string& file) {
    std::error_code error;
    if (std::filesystem::is_directory(file, error)) return false;
    std::ifstream in(file, std::ios::binary);
    return in.is_open();
}

int playReplay(const VerifierArgs& args, const std::string& name) {
    std::optional<RunTraceWriter> trace;
    if (!args.traceFile.empty()) trace.emplace(args.traceFile);

    auto game = std::make_unique<GameMain>(RunSettingsOverride{args.stage, args.hiScore, args.replayFile});
    bool reachedResults = false;
    for (long long updates = 0; updates < args.maxFrames; ++updates) {
        game->update();
        if (trace) trace->writeLine(*game, game->random.index);
        if (game->phase == GameMain::END) {
            // The file was there a moment ago but could not be read as a replay.
            std::fprintf(stderr, "%s: cannot play the replay %s\n", name.c_str(), args.replayFile.c_str());
            return 2;
        }
        if (game->phase == GameMain::RESULTS) {
            reachedResults = true;
            break;
        }
        // Drawing goes nowhere, but its random draws belong to the run.
        game->draw();
    }
    if (trace) trace->close();

    std::printf("%s\n", runSummaryLine(*game, reachedResults).c_str());
    std::fflush(stdout);
    return 0;
}

}  // namespace

bool isReplayVerifierCommand(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--headless") == 0) return true;
    }
    return false;
}

int runReplayVerifier(int argc, char** argv, const std::string& program) {
    // Messages name the executable ("kvr2013" for "kvr2013 --headless").
    const std::string name = program.substr(0, program.find(' '));
    VerifierArgs args;
    try {
        args = parseVerifierArgs(argc, argv);
    } catch (const VerifierArgsError& error) {
        std::fprintf(stderr, "%s: %s\n%s", name.c_str(), error.what(), verifierUsage(program).c_str());
        return 2;
    }
    if (!canOpenReplay(args.replayFile)) {
        std::fprintf(stderr, "%s: cannot open the replay %s\n", name.c_str(), args.replayFile.c_str());
        return 2;
    }

    int status = 0;
    try {
        // What the run logs ("Gamecoer init", a replay's read error) is kept
        // out of both streams, so a checking script sees one stdout line and
        // an empty stderr; --log keeps it in a file instead.
        Kiln_useHeadlessBackend({.readResourceFiles = false,
                                 .writeRunLog = !args.logFile.empty(),
                                 .logToStderr = true,
                                 .recordDrawCalls = false,
                                 .echoLog = false});
        Kiln_setRunLogFile(args.logFile);
        Kiln_init("KVR2013", 640, 480, false, false);
        Kiln_setGlobalInt(REPLAY_FLAG_SLOT, 1);
        status = playReplay(args, name);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", name.c_str(), error.what());
        status = 1;
    }
    try {
        Kiln_quit();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", name.c_str(), error.what());
    }
    return status;
}

// Strict reading of the verifier's command line: a typo must not silently
// verify the wrong stage.
#include "verifier/replay_verifier_args.h"

#include <charconv>
#include <cstring>

namespace {

long long readNumber(const char* option, const char* text, long long min, long long max) {
    long long value = 0;
    const char* end = text + std::strlen(text);
    const auto [stop, error] = std::from_chars(text, end, value);
    if (error != std::errc() || stop != end || stop == text || value < min || value > max) {
        throw VerifierArgsError(std::string(option) + ": not a number from " + std::to_string(min) + " to " +
                                std::to_string(max) + ": '" + text + "'");
    }
    return value;
}

}  // namespace

VerifierArgs parseVerifierArgs(int argc, const char* const* argv) {
    VerifierArgs args;
    bool haveStage = false;
    bool haveReplay = false;
    for (int i = 1; i < argc; ++i) {
        const char* option = argv[i];
        if (std::strcmp(option, "--headless") == 0) continue;
        if (i + 1 >= argc) throw VerifierArgsError(std::string("missing value after ") + option);
        const char* value = argv[i + 1];
        if (std::strcmp(option, "--stage") == 0) {
            args.stage = static_cast<int>(readNumber(option, value, 0, 3));
            haveStage = true;
        } else if (std::strcmp(option, "--replay") == 0) {
            args.replayFile = value;
            haveReplay = !args.replayFile.empty();
        } else if (std::strcmp(option, "--hiscore") == 0) {
            args.hiScore = static_cast<int>(readNumber(option, value, 0, 2147483647));
        } else if (std::strcmp(option, "--max-frames") == 0) {
            args.maxFrames = readNumber(option, value, 1, 2147483647);
        } else if (std::strcmp(option, "--trace") == 0) {
            args.traceFile = value;
            if (args.traceFile.empty()) throw VerifierArgsError("--trace needs a file name");
        } else if (std::strcmp(option, "--log") == 0) {
            args.logFile = value;
            if (args.logFile.empty()) throw VerifierArgsError("--log needs a file name");
        } else {
            throw VerifierArgsError(std::string("unknown argument '") + option + "'");
        }
        ++i;
    }
    if (!haveStage) throw VerifierArgsError("--stage is required");
    if (!haveReplay) throw VerifierArgsError("--replay is required");
    return args;
}

std::string verifierUsage(const std::string& program) {
    return "usage: " + program +
           " --stage S --replay FILE [--hiscore H] [--max-frames N] [--trace TFILE] [--log LFILE]\n"
           "  plays FILE on stage S (0-3) without a window and prints\n"
           "  stage=S frames=F score=N distance=Dm energy=E result=destroyed|finished|limit\n"
           "  --trace writes the run's state after every frame, --log what the run logs\n";
}

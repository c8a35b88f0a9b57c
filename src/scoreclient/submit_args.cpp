// Strict reading of the submit command line, like the verifier's: a typo
// must not send a replay for the wrong stage.
#include <charconv>
#include <cstring>

#include "scoreclient/submit_command.h"
#include "scoreproto/player_name.h"
#include "scoreproto/replay_shape.h"

namespace scoreclient {

SubmitArgs parseSubmitArgs(int argc, const char* const* argv) {
    SubmitArgs args;
    bool haveStage = false;
    int first = 1;
    if (argc > 1 && std::strcmp(argv[1], "submit") == 0) first = 2;
    for (int i = first; i < argc; i += 2) {
        const std::string option = argv[i];
        if (i + 1 >= argc) throw SubmitUsageError("missing value after " + option);
        const std::string value = argv[i + 1];
        if (option == "--server") {
            args.server = value;
        } else if (option == "--key") {
            args.keyFile = value;
        } else if (option == "--name") {
            args.name = value;
        } else if (option == "--stage") {
            long stage = -1;
            const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), stage);
            if (error != std::errc() || end != value.data() + value.size() || !scoreproto::isValidStage(stage)) {
                throw SubmitUsageError("--stage: not a stage from 0 to 3: '" + value + "'");
            }
            args.stage = static_cast<int>(stage);
            haveStage = true;
        } else if (option == "--replay") {
            args.replayFile = value;
        } else {
            throw SubmitUsageError("unknown argument '" + option + "'");
        }
    }
    while (!args.server.empty() && args.server.back() == '/') args.server.pop_back();
    if (args.server.rfind("http://", 0) != 0 && args.server.rfind("https://", 0) != 0) {
        throw SubmitUsageError("--server needs an http:// or https:// URL");
    }
    if (args.keyFile.empty()) throw SubmitUsageError("--key is required");
    if (!scoreproto::isValidPlayerName(args.name)) {
        throw SubmitUsageError("--name: 1 to 12 letters, digits, '-' or '.': '" + args.name + "'");
    }
    if (!haveStage) throw SubmitUsageError("--stage is required");
    if (args.replayFile.empty()) throw SubmitUsageError("--replay is required");
    return args;
}

std::string submitUsage() {
    return "usage: kvr2013-scores submit --server URL --key FILE --name NAME --stage S --replay FILE\n"
           "  sends the replay FILE of stage S (0-3) to the score server at URL as player NAME,\n"
           "  making the key FILE the first time; prints the server's answer\n";
}

}  // namespace scoreclient

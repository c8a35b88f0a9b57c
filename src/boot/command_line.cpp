// Command line reading for the game's start-up: window size, window or full
// screen, watching a replay, and two developer switches.
#include "boot/command_line.h"

#include <cctype>
#include <climits>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

int readAtoiInt(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int64_t value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        value = value * 10 + (text[i] - '0');
        // Stop growing once past the int range; the sign is applied below.
        if (value > static_cast<int64_t>(INT_MAX) + 1) value = static_cast<int64_t>(INT_MAX) + 1;
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

namespace {

// Reads one of the theatre's options at argv[i] and its value; false when argv[i] is none of them.
bool readWatchOption(int argc, const char* const* argv, int& i, CommandLine& line, bool& speedGiven) {
    const std::string option = argv[i];
    if (option != "--watch" && option != "--stage" && option != "--speed") return false;
    if (i + 1 >= argc) throw CommandLineError(option + " needs a value");
    const std::string value = argv[++i];
    if (option == "--watch") {
        if (value.empty()) throw CommandLineError("--watch needs a replay file");
        line.watchFile = value;
    } else if (option == "--stage") {
        // Strict, unlike the window size: watching the wrong stage would show another course.
        if (value.size() != 1 || value[0] < '0' || value[0] > '3') {
            throw CommandLineError("--stage must be 0, 1, 2 or 3, not '" + value + "'");
        }
        line.watchStage = value[0] - '0';
    } else {
        const std::optional<int> step = theatreSpeedStepFromText(value);
        if (!step) throw CommandLineError("--speed must be 0.25, 0.5, 1, 2, 4 or 8, not '" + value + "'");
        line.watchSpeedStep = *step;
        speedGiven = true;
    }
    return true;
}

void checkWatchOptions(const CommandLine& line, bool speedGiven) {
    if (line.watchFile.empty()) {
        if (line.watchStage >= 0 || speedGiven) throw CommandLineError("--stage and --speed go with --watch FILE");
        return;
    }
    if (line.watchStage < 0) {
        throw CommandLineError("--watch needs --stage S (0 to 3): a replay file does not say its stage");
    }
}

}  // namespace

CommandLine parseCommandLine(int argc, const char* const* argv) {
    CommandLine line;
    bool speedGiven = false;
    for (int i = 0; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "-window") == 0) {
            line.fullScreen = false;
        } else if (std::strcmp(arg, "-fullscreen") == 0) {
            line.fullScreen = true;
        } else if (std::strcmp(arg, "-res") == 0) {
            if (i + 2 >= argc) throw CommandLineError("-res needs a width and a height");
            line.screenWidth = readAtoiInt(argv[i + 1]);
            line.screenHeight = readAtoiInt(argv[i + 2]);
            i += 2;
        } else if (std::strcmp(arg, "--toolbox") == 0) {
            line.toolbox = true;
        } else if (std::strcmp(arg, "--frames") == 0) {
            if (i + 1 >= argc) throw CommandLineError("--frames needs a frame count");
            line.frameLimit = readAtoiInt(argv[i + 1]);
            if (line.frameLimit <= 0) throw CommandLineError("--frames needs a positive frame count");
            i += 1;
        } else if (readWatchOption(argc, argv, i, line, speedGiven)) {
            // "--watch", "--stage" or "--speed" and its value.
        }
    }
    checkWatchOptions(line, speedGiven);
    return line;
}

const char* commandLineUsage() {
    return "usage: kvr2013 [-window | -fullscreen] [-res WIDTH HEIGHT]\n"
           "       kvr2013 --watch FILE --stage S [--speed 0.25|0.5|1|2|4|8]\n";
}

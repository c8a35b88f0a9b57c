// Command line reading for the game's start-up (window, files, watching a
// replay, developer switches). Every option is one row of
// kOptions: its name, how many values follow it, what it sets, and its line
// in --help (none for the developer's hidden ones).
#include "boot/command_line.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdint>
#include <cstring>
#include <optional>

#include "config/server_settings.h"

namespace {

struct Option {
    const char* name;
    int valueCount;
    void (*apply)(CommandLine& line, const char* const* values);
    const char* helpValues;  // shown after the name in --help
    const char* help;        // nullptr: not shown in --help
};

const Option kOptions[] = {
    {"-window", 0, [](CommandLine& l, const char* const*) { l.fullScreen = false; }, "",
     "play in a window (the default)"},
    {"-fullscreen", 0, [](CommandLine& l, const char* const*) { l.fullScreen = true; }, "", "play in full screen"},
    {"-res", 2,
     [](CommandLine& l, const char* const* v) {
         l.screenWidth = readAtoiInt(v[0]);
         l.screenHeight = readAtoiInt(v[1]);
     },
     " W H", "window or screen size in pixels (default 640 480)"},
    {"--resources", 1, [](CommandLine& l, const char* const* v) { l.resourcesDir = v[0]; }, " DIR",
     "read the pictures and sounds from DIR"},
    {"--data-dir", 1, [](CommandLine& l, const char* const* v) { l.dataDir = v[0]; }, " DIR",
     "keep config.ini, replays, run.log and screenshots in DIR"},
    {"--watch", 1,
     [](CommandLine& l, const char* const* v) {
         if (v[0][0] == '\0') throw CommandLineError("--watch needs a replay file");
         l.watchFile = v[0];
     },
     " FILE", "watch a replay in the theatre (with --stage)"},
    {"--stage", 1,
     [](CommandLine& l, const char* const* v) {
         // Strict, unlike the window size: watching on the wrong stage would show another course.
         const std::string stage = v[0];
         if (stage.size() != 1 || stage[0] < '0' || stage[0] > '3') {
             throw CommandLineError("--stage must be 0, 1, 2 or 3, not '" + stage + "'");
         }
         l.watchStage = stage[0] - '0';
     },
     " S", "the stage the watched replay was flown on, 0 to 3"},
    {"--speed", 1,
     [](CommandLine& l, const char* const* v) {
         const std::optional<int> step = theatreSpeedStepFromText(v[0]);
         if (!step) {
             throw CommandLineError(std::string("--speed must be 0.25, 0.5, 1, 2, 4 or 8, not '") + v[0] + "'");
         }
         l.watchSpeedStep = *step;
     },
     " X", "the speed to start watching at: 0.25, 0.5, 1, 2, 4 or 8"},
    {"--score-server", 1,
     [](CommandLine& l, const char* const* v) {
         l.scoreServer = checkedServerUrl(v[0]);
         if (l.scoreServer.empty()) {
             throw CommandLineError(std::string("--score-server must be an http:// or https:// URL, not '") + v[0] + "'");
         }
     },
     " URL", "the world score server, for this session only"},
    {"--toolbox", 0, [](CommandLine& l, const char* const*) { l.toolbox = true; }, "",
     "open the developer's toolbox screen"},
    {"--frames", 1,
     [](CommandLine& l, const char* const* v) {
         l.frameLimit = readAtoiInt(v[0]);
         if (l.frameLimit <= 0) throw CommandLineError("--frames needs a positive frame count");
     },
     " N", nullptr},
    {"--help", 0, [](CommandLine& l, const char* const*) { l.help = true; }, "",
     "print this text and the directories in use, then exit"},
    {"--version", 0, [](CommandLine& l, const char* const*) { l.version = true; }, "",
     "print the version, then exit"},
};

// What an option needs after it, for the message when it is missing.
const char* missingValuesText(const Option& option) {
    if (std::strcmp(option.name, "-res") == 0) return "a width and a height";
    if (std::strcmp(option.name, "--frames") == 0) return "a frame count";
    if (std::strcmp(option.name, "--watch") == 0) return "a replay file";
    if (std::strcmp(option.name, "--stage") == 0) return "a stage from 0 to 3";
    if (std::strcmp(option.name, "--speed") == 0) return "a speed";
    if (std::strcmp(option.name, "--score-server") == 0) return "a server URL";
    return "a directory";
}

// A replay file does not say its stage, and a stage or speed alone watches nothing.
void checkWatchOptions(const CommandLine& line) {
    if (line.watchFile.empty()) {
        if (line.watchStage >= 0 || line.watchSpeedStep >= 0) {
            throw CommandLineError("--stage and --speed go with --watch FILE");
        }
        return;
    }
    if (line.watchStage < 0) {
        throw CommandLineError("--watch needs --stage S (0 to 3): a replay file does not say its stage");
    }
}

const Option* findOption(const char* arg) {
    for (const Option& option : kOptions) {
        if (std::strcmp(arg, option.name) == 0) return &option;
    }
    return nullptr;
}

}  // namespace

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

CommandLine parseCommandLine(int argc, const char* const* argv) {
    CommandLine line;
    for (int i = 0; i < argc; ++i) {
        const Option* option = findOption(argv[i]);
        if (!option) {
            // Index 0 is the program's own path, not something the player typed.
            if (i > 0) line.unknown.emplace_back(argv[i]);
            continue;
        }
        if (i + option->valueCount >= argc) {
            throw CommandLineError(std::string(option->name) + " needs " + missingValuesText(*option));
        }
        option->apply(line, argv + i + 1);
        i += option->valueCount;
    }
    checkWatchOptions(line);
    return line;
}

std::string unknownOptionWarnings(const CommandLine& line) {
    std::string warnings;
    for (const std::string& arg : line.unknown) {
        warnings += "kvr2013: ignoring unknown option '" + arg + "' (see --help)\n";
    }
    return warnings;
}

const char* commandLineUsage() {
    return "usage: kvr2013 [-window | -fullscreen] [-res WIDTH HEIGHT] [--resources DIR] [--data-dir DIR]\n"
           "               [--score-server URL]\n"
           "       kvr2013 --watch FILE --stage S [--speed 0.25|0.5|1|2|4|8]\n"
           "       kvr2013 --help (every option, the controls and the directories in use)\n";
}

std::string commandLineOptionsHelp() {
    std::string text;
    for (const Option& option : kOptions) {
        if (!option.help) continue;
        std::string left = std::string("  ") + option.name + option.helpValues;
        left.resize(std::max<size_t>(left.size() + 1, 22), ' ');
        text += left + option.help + "\n";
    }
    return text;
}

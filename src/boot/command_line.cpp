// Command line reading for the game's start-up: window size, window or full
// screen, and two developer switches.
#include "boot/command_line.h"

#include <cctype>
#include <climits>
#include <cstdint>
#include <cstring>

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
        }
    }
    return line;
}

const char* commandLineUsage() {
    return "usage: kvr2013 [-window | -fullscreen] [-res WIDTH HEIGHT]\n";
}

// Reads the process arguments into the window size and mode the game starts
// with, plus the hidden developer switches. Nothing here touches the framework.
#pragma once

#include <stdexcept>
#include <string>

#include "state/theatre_speed.h"

// A command line the game cannot start from; main reports it on stderr.
class CommandLineError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct CommandLine {
    int screenWidth = 640;
    int screenHeight = 480;
    bool fullScreen = false;
    // Developer switches, not shown in the usage text.
    bool toolbox = false;  // "--toolbox": start on the toolbox screen instead of the logo
    int frameLimit = 0;    // "--frames N": end the loop normally after N frames (0 = never)
    // "--watch FILE --stage S [--speed X]": start in the theatre watching FILE on
    // stage S (a replay file holds no stage) at speed X (0.25, 0.5, 1, 2, 4 or 8).
    std::string watchFile;
    int watchStage = -1;  // -1: not given
    int watchSpeedStep = THEATRE_NORMAL_SPEED;
};

// Walks argv from index 0. "-window" / "-fullscreen": the last one wins;
// "-res W H": a later one overwrites an earlier one, values read like atoi.
// Every other argument is ignored. Throws CommandLineError when "-res" lacks
// its two values or "--frames" lacks a positive count; when "--watch" lacks its
// file or its "--stage" (0 to 3), when "--speed" is not one of the six speeds,
// and when "--stage" or "--speed" comes without "--watch".
CommandLine parseCommandLine(int argc, const char* const* argv);

// Decimal text to int the way atoi reads it: leading white space, an optional
// sign, then digits up to the first other character; no digits reads as 0.
// Values beyond the int range saturate instead of being undefined.
int readAtoiInt(const std::string& text);

// The text printed on stderr after a CommandLineError.
const char* commandLineUsage();

// Reads the process arguments into what the game starts with: the window
// size and mode, where its files are, and the switches that print something
// and stop. The options live in one table (command_line.cpp) that both the
// reading and the --help text come from. Nothing here touches the framework.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

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
    std::string resourcesDir;  // "--resources DIR": searched first for the pictures and sounds
    std::string dataDir;       // "--data-dir DIR": where the player's files live
    std::string scoreServer;   // "--score-server URL": the world score server for this session only
    bool help = false;         // "--help": print the usage and the directories, then stop
    bool version = false;      // "--version": print "kvr2013 X.Y.Z", then stop
    // Arguments after the program's path that are no option of the game, in order.
    std::vector<std::string> unknown;
    // Developer switches.
    bool toolbox = false;  // "--toolbox": start on the toolbox screen instead of the logo
    int frameLimit = 0;    // "--frames N" (not in --help): end the loop normally after N frames (0 = never)
    // "--watch FILE --stage S [--speed X]": start in the theatre watching FILE on
    // stage S (a replay file holds no stage) at speed X (0.25, 0.5, 1, 2, 4 or 8).
    std::string watchFile;
    int watchStage = -1;      // -1: not given
    int watchSpeedStep = -1;  // -1: not given, which is x1
};

// Walks argv from index 0 (the program's path is compared too, as every
// argument is). "-window" / "-fullscreen": the last one wins; "-res W H": a
// later one overwrites an earlier one, values read like atoi; a later
// "--resources" or "--data-dir" overwrites an earlier one. Any other
// argument is ignored and, after index 0, listed in unknown. Throws
// CommandLineError when an option lacks its values or "--frames" its
// positive count; when "--watch" comes without "--stage", "--stage" is not
// 0 to 3 or "--speed" not one of the six speeds, and when "--stage" or
// "--speed" comes without "--watch", and when "--score-server" is not an
// http:// or https:// URL.
CommandLine parseCommandLine(int argc, const char* const* argv);

// Decimal text to int the way atoi reads it: leading white space, an optional
// sign, then digits up to the first other character; no digits reads as 0.
// Values beyond the int range saturate instead of being undefined.
int readAtoiInt(const std::string& text);

// One line per ignored argument:
// "kvr2013: ignoring unknown option '-fulscreen' (see --help)\n".
std::string unknownOptionWarnings(const CommandLine& line);

// The text printed on stderr after a CommandLineError.
const char* commandLineUsage();

// The options part of --help: one line per option the player may use.
std::string commandLineOptionsHelp();

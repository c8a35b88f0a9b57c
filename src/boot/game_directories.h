// The directories of this run, worked out from the process: its command
// line, its own executable (/proc/self/exe), its working directory, its
// environment and the user's account entry. Finding does not create
// anything, so --help can show them without a trace on disk.
#pragma once

#include "boot/command_line.h"
#include "boot/data_dir.h"
#include "boot/resource_search.h"

struct GameDirectories {
    ResourceSearch resources;
    DataDirChoice data;
};

GameDirectories findGameDirectories(const CommandLine& line);

// The text of --help: usage, options, controls and these directories.
std::string gameHelpText(const GameDirectories& directories);

// "kvr2013 1.0.0": the version set once in the top CMakeLists.txt.
std::string gameVersionText();

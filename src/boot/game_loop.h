// The life of the windowed game: start the framework on the backend the
// caller installed, load what every scene shares, run the fixed-pace frame
// loop, and always shut the framework down.
#pragma once

#include "boot/command_line.h"

// Exit status of the program: 0 after a normal end (the scene machine stops
// the loop, Escape or a window close), 1 when any other error ended the run.
// The error's text is in "run.log" and on standard output either way.
int runGame(const CommandLine& line);

// Exit status for an error that escaped the loop: the quit request is the
// normal way out, everything else is a failure.
int exitStatusFor(const std::exception& error);

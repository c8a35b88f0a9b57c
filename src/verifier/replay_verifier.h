// The headless replay verifier: plays one replay through the real game scene
// on the headless backend and prints one line with what the run scored.
//   kvr2013-verify --stage S --replay FILE [--hiscore H] [--max-frames N] [--trace TFILE] [--log LFILE]
// The game answers the same command line after "--headless".
#pragma once

#include <string>

// True when the command line asks for the verifier (it contains "--headless").
bool isReplayVerifierCommand(int argc, char** argv);

// Runs the verifier and returns the process exit status. program names the
// command in messages ("kvr2013-verify", or "kvr2013 --headless").
int runReplayVerifier(int argc, char** argv, const std::string& program);

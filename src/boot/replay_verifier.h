// The headless replay verifier: plays one replay through the real game scene
// on the headless backend and prints one line with what the run scored.
//   kvr2013 --headless --stage S --replay FILE [--hiscore H] [--max-frames N] [--trace TFILE]
#pragma once

// True when the command line asks for the verifier (it contains "--headless").
bool isReplayVerifierCommand(int argc, char** argv);

// Runs the verifier and returns the process exit status.
int runReplayVerifier(int argc, char** argv);

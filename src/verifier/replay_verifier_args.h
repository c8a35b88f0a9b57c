// The verifier's command line: which stage and replay file to play, the
// hi-score to compare with, a frame limit and an optional trace file.
#pragma once

#include <stdexcept>
#include <string>

class VerifierArgsError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct VerifierArgs {
    int stage = -1;
    std::string replayFile;
    int hiScore = 0;
    long long maxFrames = 1000000;
    std::string traceFile;  // empty: no trace
    std::string logFile;    // empty: what the run logs goes nowhere
};

// Reads argv[1..]: "--headless", "--stage S" (0..3), "--replay FILE",
// "--hiscore H" (0 or more), "--max-frames N" (1 or more), "--trace TFILE",
// "--log LFILE".
// Throws VerifierArgsError on a missing or malformed value, an unknown
// argument, or when --stage or --replay is absent.
VerifierArgs parseVerifierArgs(int argc, const char* const* argv);

// The usage text, naming the program as it was started.
std::string verifierUsage(const std::string& program);

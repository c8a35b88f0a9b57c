// Plays one submitted replay with this build's play field, in a child process
// the server can always get rid of: the verifier's executable, under CPU,
// memory and wall-clock limits, in a scratch directory of its own. The
// server's verdict on a run is only ever what comes back from here.
#pragma once

#include <string>
#include <string_view>

namespace verifypool {

struct VerifyLimits {
    long cpuSeconds = 10;
    long memoryBytes = 512L << 20;
    long wallMillis = 20000;
    long fileBytes = 256L << 20;  // the trace is the largest file; a 36000-record run writes about 2 MB
};

struct VerifyOutcome {
    enum class Kind { Played, Failed };  // Failed: crash, signal, hang (killed), bad exit, unreadable output
    Kind kind = Kind::Failed;
    std::string line;  // the verifier's one line, e.g. "stage=0 frames=3600 score=1234 distance=1000m energy=5 result=finished"
    int stage = 0, frames = 0, score = 0, distance = 0;
    std::string result;       // "finished" | "destroyed" | "limit"
    std::string traceSha256;  // hex SHA-256 of the --trace file: the run's identity
    std::string failure;      // for logs only, never sent to clients
};

// Runs `VERIFIER --stage S --replay TMPFILE --trace TMPFILE` with no
// --hiscore: a submission claims nothing, and the hi-score a run is played
// against changes neither its line nor its trace. A replay of the wrong
// shape (scoreproto::checkReplayShape) is Failed without starting a child.
VerifyOutcome verifyReplay(const std::string& verifierPath, int stage, std::string_view replayBytes,
                           const VerifyLimits& limits);

}  // namespace verifypool

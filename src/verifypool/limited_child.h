// One child process run to its end or killed: resource limits set in the
// child before exec, its own process group so a wrapper's children die with
// it, stdout captured up to a cap, stderr to a file, and a wall-clock
// deadline after which the whole group is killed.
#pragma once

#include <string>
#include <vector>

#include "verifypool/verify_replay.h"

namespace verifypool {

struct ChildResult {
    bool started = false;  // false: fork failed (the failure says why)
    bool exited = false;   // exited on its own with exitCode; otherwise killed by termSignal
    int exitCode = -1;
    int termSignal = 0;
    bool timedOut = false;  // the deadline passed and the group was killed
    std::string out;        // stdout, at most outputCap bytes
    bool outTruncated = false;
    std::string failure;
};

ChildResult runLimitedChild(const std::vector<std::string>& argv, const VerifyLimits& limits,
                            const std::string& stderrFile, std::size_t outputCap);

}  // namespace verifypool

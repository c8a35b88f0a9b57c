// `kvr2013-scores submit`: sends a saved replay to a score server. It makes
// the key file (mode 0600) the first time, registers the name with that key
// (the server answers 200 when it already has them), submits the replay,
// and prints the server's JSON answer on stdout.
//
// Exit status: 0 the entry is on the table (new, or already there); 1 the
// server refused it (any 4xx answer); 2 a usage error, a file that cannot be
// read, no answer from the server, or a 5xx answer after the retries.
#pragma once

#include <chrono>
#include <functional>
#include <iosfwd>
#include <string>

#include "scoreclient/http_transport.h"

namespace scoreclient {

struct SubmitArgs {
    std::string server;  // base URL, without a trailing slash
    std::string keyFile;
    std::string name;
    int stage = 0;
    std::string replayFile;
};

class SubmitUsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// argv as main has it; a leading "submit" word after the program is skipped.
SubmitArgs parseSubmitArgs(int argc, const char* const* argv);
std::string submitUsage();

// What a submission needs from the world besides the server: the time to
// sign with and a way to wait before a retry (both replaced in tests).
struct SubmitEnvironment {
    std::function<long long()> unixSeconds;
    std::function<void(std::chrono::milliseconds)> wait;
    int attempts = 3;  // tries of a request answered 5xx or 503
    std::chrono::milliseconds longestWait{30000};
};
SubmitEnvironment realSubmitEnvironment();

int runSubmit(const SubmitArgs& args, HttpTransport& transport, const SubmitEnvironment& environment,
              std::ostream& out, std::ostream& err);

}  // namespace scoreclient

// Called by kvr2013-scores' main for its "submit" subcommand.
int runSubmitCommand(int argc, char** argv);

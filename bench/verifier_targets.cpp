// The verifier's figures side by side, in one run with the runs of each
// command interleaved so a busy moment of the machine falls on all of them
// alike: the start of a one-frame verifier run against the smallest C++
// program; whole 1000 m and 3000 m replays, process start included, as
// times real time (a play frame is 16 ms); and the peak resident set.
//   verifier_targets [runs, default 30]
// Figures are printed, never judged: timings depend on the machine.
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "bench_support.h"

namespace {

struct Command {
    std::string name;
    std::vector<std::string> argv;
    int frames = 0;  // play frames the replay holds, 0 when it is not a replay
};

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;
    const std::string verify = KVR_VERIFY_BINARY;
    const std::string data = std::string(KVR_SOURCE_DIR) + "/bench/data/";
    const std::vector<Command> commands = {
        {"minimal C++ program", {KVR_MINIMAL_BINARY}, 0},
        {"verifier, one frame", {verify, "--stage", "0", "--replay", data + "stage0.bin", "--max-frames", "1"}, 0},
        {"verifier, 1000 m replay", {verify, "--stage", "0", "--replay", data + "stage0.bin"}, 10182},
        {"verifier, 3000 m replay", {verify, "--stage", "2", "--replay", data + "stage2.bin"}, 30196},
    };
    std::map<std::string, std::vector<double>> times;
    std::map<std::string, long> peak;
    for (const Command& command : commands) bench::timeProcess(command.argv);  // warm the file cache
    for (int run = 0; run < runs; ++run) {
        for (const Command& command : commands) {
            const bench::ProcessFigures f = bench::timeProcess(command.argv);
            if (f.status != 0) {
                std::fprintf(stderr, "%s exited with %d\n", command.name.c_str(), f.status);
                return 1;
            }
            times[command.name].push_back(f.wallMs);
            peak[command.name] = std::max(peak[command.name], f.maxRssKb);
        }
    }
    std::printf("%d runs each, wall time from fork to exit\n", runs);
    for (const Command& command : commands) {
        const double median = bench::quantile(times[command.name], 0.5);
        std::printf("  %-26s median %7.2f ms  min %7.2f ms  peak RSS %5ld KiB", command.name.c_str(), median,
                    bench::quantile(times[command.name], 0.0), peak[command.name]);
        if (command.frames > 0) std::printf("  %6.0fx real time", command.frames * 16.0 / median);
        std::printf("\n");
    }
    const double minimal = bench::quantile(times[commands[0].name], 0.5);
    const double oneFrame = bench::quantile(times[commands[1].name], 0.5);
    std::printf("  one-frame verifier run / minimal program: %.2fx\n", oneFrame / minimal);
    return 0;
}

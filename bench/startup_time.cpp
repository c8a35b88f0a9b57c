// Start-up time of the real game: from spawning "kvr2013 --frames 1" to its
// first presented frame (the game prints the monotonic clock right after its
// first buffer swap), and to its exit. Run under an X server:
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/bench/startup_time [runs]
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "bench_support.h"

namespace {

long long monotonicNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

struct StartupSample {
    double firstFrameMs = -1;
    double exitMs = -1;
};

StartupSample runOnce(const std::filesystem::path& dir) {
    std::string errPath = (dir / "game.stderr").string();
    long long spawned = monotonicNs();
    pid_t pid = fork();
    if (pid == 0) {
        if (chdir(dir.c_str()) != 0) _exit(126);
        setenv("SDL_VIDEODRIVER", "x11", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        int errFd = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int nullFd = open("/dev/null", O_WRONLY);
        dup2(errFd, STDERR_FILENO);
        dup2(nullFd, STDOUT_FILENO);
        execl(KVR_GAME_BINARY, KVR_GAME_BINARY, "--frames", "1", static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    StartupSample sample;
    sample.exitMs = static_cast<double>(monotonicNs() - spawned) / 1e6;
    std::ifstream err(errPath);
    std::string word;
    long long firstFrame = 0;
    while (err >> word) {
        if (word == "first-frame-ns" && err >> firstFrame) {
            sample.firstFrameMs = static_cast<double>(firstFrame - spawned) / 1e6;
        }
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) sample.firstFrameMs = -1;
    return sample;
}

}  // namespace

int main(int argc, char** argv) {
    int runs = argc > 1 ? std::atoi(argv[1]) : 20;
    auto dir = bench::makeWorkDirWithResources();
    std::vector<double> firstFrame, exit;
    runOnce(dir);  // warm the file cache; not counted
    for (int i = 0; i < runs; ++i) {
        StartupSample sample = runOnce(dir);
        if (sample.firstFrameMs < 0) {
            std::fprintf(stderr, "run %d failed; see %s\n", i, (dir / "game.stderr").c_str());
            return 1;
        }
        firstFrame.push_back(sample.firstFrameMs);
        exit.push_back(sample.exitMs);
    }
    std::printf("start-up, %d runs: spawn -> first presented frame: median %.1f ms (min %.1f, p90 %.1f); "
                "spawn -> exit: median %.1f ms\n",
                runs, bench::quantile(firstFrame, 0.5), bench::quantile(firstFrame, 0.0),
                bench::quantile(firstFrame, 0.9), bench::quantile(exit, 0.5));
    std::filesystem::remove_all(dir);
    return 0;
}

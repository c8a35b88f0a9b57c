// Start-up time of the real game beside a bare SDL2 + OpenGL + SDL_mixer
// program that opens a 640x480 window and the audio, clears and swaps once
// (bench/baseline/bare_sdl_window): from spawning each to its first
// presented frame (both print the monotonic clock right after their first
// buffer swap), runs interleaved. Run under an X server:
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

StartupSample runOnce(const std::filesystem::path& dir, const std::vector<const char*>& command) {
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
        std::vector<char*> args;
        for (const char* arg : command) args.push_back(const_cast<char*>(arg));
        args.push_back(nullptr);
        execv(args[0], args.data());
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
    const std::vector<const char*> game = {KVR_GAME_BINARY, "--frames", "1"};
    const std::vector<const char*> bare = {KVR_BARE_WINDOW_BINARY};
    std::vector<double> gameFirst, bareFirst, gameExit;
    runOnce(dir, game);  // warm the file cache; not counted
    runOnce(dir, bare);
    for (int i = 0; i < runs; ++i) {
        const StartupSample g = runOnce(dir, game);
        const StartupSample b = runOnce(dir, bare);
        if (g.firstFrameMs < 0 || b.firstFrameMs < 0) {
            std::fprintf(stderr, "run %d failed; see %s\n", i, (dir / "game.stderr").c_str());
            return 1;
        }
        gameFirst.push_back(g.firstFrameMs);
        bareFirst.push_back(b.firstFrameMs);
        gameExit.push_back(g.exitMs);
    }
    const double gameMedian = bench::quantile(gameFirst, 0.5);
    const double bareMedian = bench::quantile(bareFirst, 0.5);
    std::printf("start-up, %d runs each, spawn -> first presented frame:\n"
                "  game         median %6.1f ms (min %.1f, p90 %.1f); spawn -> exit median %.1f ms\n"
                "  bare window  median %6.1f ms (min %.1f, p90 %.1f)\n"
                "  game / bare window: %.2fx\n",
                runs, gameMedian, bench::quantile(gameFirst, 0.0), bench::quantile(gameFirst, 0.9),
                bench::quantile(gameExit, 0.5), bareMedian, bench::quantile(bareFirst, 0.0),
                bench::quantile(bareFirst, 0.9), gameMedian / bareMedian);
    std::filesystem::remove_all(dir);
    return 0;
}

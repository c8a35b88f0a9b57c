// CPU time of the replay theatre per drawn frame at x8 over a whole replay
// (eight updates, each with its drawing's random draws, one picture, the
// progress bar, the swap), and what its jumps cost: the silent measuring run
// when the theatre opens, and catching up for a jump forward to the results
// and for the worst jump back (from the results, ten seconds back: a new run
// played from its start almost to its end). Process CPU clock, so the
// software renderer's helper threads count.
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/bench/theatre_x8_cpu [REPLAY STAGE]   real window
//   build/bench/theatre_x8_cpu --headless [REPLAY STAGE]    headless backend, drawing recorded
// Default replay: bench/data/stage0.bin on stage 0. Figures are printed, never judged.
#include <time.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include "bench_support.h"
#include "kiln2/headless.h"
#include "kiln2/kiln2.h"
#include "kiln2_sdl/real_backend.h"
#include "state/scene_machine.h"
#include "state/theatre_main.h"
#include "state/watched_run.h"

namespace {

constexpr int FRAME_BUDGET_MS = 16;

double processCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

double wallMs() {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

struct Timed {
    double cpuMs;
    double wallMs;
};

template <typename Body>
Timed timed(Body body) {
    const double cpu = processCpuMs();
    const double wall = wallMs();
    body();
    return {processCpuMs() - cpu, wallMs() - wall};
}

}  // namespace

int main(int argc, char** argv) {
    int first = 1;
    const bool headless = argc > 1 && std::string(argv[1]) == "--headless";
    if (headless) ++first;
    const std::string replay = std::filesystem::absolute(
        argc > first ? argv[first] : std::string(KVR_SOURCE_DIR) + "/bench/data/stage0.bin");
    const int stage = argc > first + 1 ? std::atoi(argv[first + 1]) : 0;

    auto dir = bench::makeWorkDirWithResources();
    std::filesystem::current_path(dir);
    if (headless) {
        Kiln_useHeadlessBackend({.readResourceFiles = true, .writeRunLog = false, .logToStderr = true,
                                 .recordDrawCalls = true});
    } else {
        Kiln_useRealBackend();
    }
    try {
        Kiln_init("KVR2013", 640, 480, false, false);
        loadSharedResources();

        std::unique_ptr<TheatreMain> theatre;
        const Timed opening = timed([&] {
            theatre = std::make_unique<TheatreMain>(WatchRequest{replay, stage, THEATRE_SPEED_COUNT - 1, 0});
        });
        if (theatre->watchedRun() == nullptr) throw KilnError("cannot play " + replay);
        const int lastFrame = theatre->watchedRun()->lastFrame();

        std::vector<double> samples;
        double total = 0;
        while (!theatre->isPaused() && samples.size() < 100000) {
            const double start = processCpuMs();
            theatre->update();
            theatre->draw();
            Kiln_flip();
            const double spent = processCpuMs() - start;
            samples.push_back(spent);
            total += spent;
            if (headless) kiln_headless::clearDrawCalls();
        }
        int over = 0;
        size_t slowest = 0;
        for (size_t i = 0; i < samples.size(); ++i) {
            over += samples[i] > FRAME_BUDGET_MS;
            if (samples[i] > samples[slowest]) slowest = i;
        }
        std::fprintf(stderr,
                     "theatre x8 on the %s, %s (%d frames): %zu drawn frames, CPU per frame mean %.3f ms, median "
                     "%.3f ms, p90 %.3f ms, p99 %.3f ms, max %.3f ms (drawn frame %zu); %d frames over the %d ms "
                     "budget\n",
                     headless ? "headless backend (drawing recorded)" : "real window", replay.c_str(), lastFrame,
                     samples.size(), total / static_cast<double>(samples.size()), bench::quantile(samples, 0.5),
                     bench::quantile(samples, 0.9), bench::quantile(samples, 0.99), bench::quantile(samples, 1.0),
                     slowest + 1, over, FRAME_BUDGET_MS);
        theatre.reset();

        WatchedRun run(stage, 0, replay);
        KilnQuietScope silent;  // the jumps' own quiet scopes cover the catching up; this one the music put back
        const Timed measuring = timed([&] { run.measure(); });
        const Timed forward = timed([&] { run.jumpTo(run.lastFrame()); });
        const Timed back = timed([&] { run.jumpTo(run.lastFrame() - TheatreMain::JUMP_FRAMES); });
        std::fprintf(stderr,
                     "opening the theatre (measuring the run): %.1f ms CPU, %.1f ms wall; measuring again: %.1f ms "
                     "CPU; jump from the start to the results: %.1f ms CPU, %.1f ms wall; ten seconds back from "
                     "there (a new run to frame %d): %.1f ms CPU, %.1f ms wall\n",
                     opening.cpuMs, opening.wallMs, measuring.cpuMs, forward.cpuMs, forward.wallMs, run.frame(),
                     back.cpuMs, back.wallMs);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "theatre_x8_cpu: %s\n", e.what());
        return 1;
    }
    Kiln_quit();
    std::filesystem::current_path("/");
    std::filesystem::remove_all(dir);
    return 0;
}

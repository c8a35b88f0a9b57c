// CPU cost of the ghost per frame over whole stages: one ghost update in
// step with the live run (its update and its drawing's random draws, in
// silence) plus drawing its craft, trail and HUD line, on the real window
// under an X server. The update is timed on the thread's CPU clock; the
// drawing calls on the process clock (the software renderer's threads count)
// without the swap, which rasterises them with the rest of the picture.
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/bench/ghost_cpu [STAGE ...]
// Default: stages 0 and 1, racing bench/data/stage0.bin and stage1.bin.
// Figures are printed, never judged.
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include "bench_support.h"
#include "config/player_files.h"
#include "kiln2/kiln2.h"
#include "kiln2_sdl/real_backend.h"
#include "state/ghost_run.h"
#include "state/scene_machine.h"

namespace {

double cpuMs(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

void report(const char* what, int stage, const std::vector<double>& samples) {
    double total = 0;
    for (double sample : samples) total += sample;
    std::fprintf(stderr, "stage %d, %s: %zu frames, mean %.4f ms, median %.4f ms, p99 %.4f ms, max %.4f ms\n", stage,
                 what, samples.size(), total / static_cast<double>(samples.size()), bench::quantile(samples, 0.5),
                 bench::quantile(samples, 0.99), bench::quantile(samples, 1.0));
}

void raceStage(int stage) {
    std::filesystem::create_directories("replay");
    std::filesystem::copy_file(std::string(KVR_SOURCE_DIR) + "/bench/data/stage" + std::to_string(stage) + ".bin",
                               stageReplayFile(stage), std::filesystem::copy_options::overwrite_existing);
    std::unique_ptr<GhostRun> ghost = GhostRun::forStage(stage, 0);
    if (!ghost) throw KilnError("no ghost for stage " + std::to_string(stage));
    std::vector<double> updates, drawing, both;
    while (ghost->isFlying()) {
        const double start = cpuMs(CLOCK_THREAD_CPUTIME_ID);
        ghost->follow();
        const double followed = cpuMs(CLOCK_THREAD_CPUTIME_ID);
        Kiln_clear();
        const double drawStart = cpuMs(CLOCK_PROCESS_CPUTIME_ID);
        ghost->drawCraft();
        ghost->drawHudLine(0);
        const double drawn = cpuMs(CLOCK_PROCESS_CPUTIME_ID);
        Kiln_flip();
        updates.push_back(followed - start);
        drawing.push_back(drawn - drawStart);
        both.push_back(followed - start + drawn - drawStart);
    }
    report("ghost update", stage, updates);
    report("ghost drawing calls", stage, drawing);
    report("ghost update + drawing calls", stage, both);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<int> stages;
    for (int i = 1; i < argc; ++i) stages.push_back(std::atoi(argv[i]));
    if (stages.empty()) stages = {0, 1};
    auto dir = bench::makeWorkDirWithResources();
    std::filesystem::current_path(dir);
    Kiln_useRealBackend();
    try {
        Kiln_init("KVR2013", 640, 480, false, false);
        loadSharedResources();
        for (int stage : stages) raceStage(stage);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "ghost_cpu: %s\n", e.what());
        return 1;
    }
    Kiln_quit();
    std::filesystem::current_path("/");
    std::filesystem::remove_all(dir);
    return 0;
}

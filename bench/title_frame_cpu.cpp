// CPU cost of one title-screen frame in the real window: update, draw and the
// buffer swap, measured on the process CPU clock (so the renderer's helper
// threads count), with the frame wait left out. Run under an X server:
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/bench/title_frame_cpu [frames]
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench_support.h"
#include "kiln2/kiln2.h"
#include "state/scene_machine.h"
#include "state/title_main.h"

namespace {

double processCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    int frames = argc > 1 ? std::atoi(argv[1]) : 600;
    auto dir = bench::makeWorkDirWithResources();
    std::filesystem::current_path(dir);
    std::vector<double> samples;
    try {
        Kiln_init("KVR2013", 640, 480, false, false);
        loadSharedResources();
        TitleMain title;
        for (int i = 0; i < frames + 60; ++i) {
            double start = processCpuMs();
            title.update();
            title.draw();
            Kiln_flip();
            double spent = processCpuMs() - start;
            if (i >= 60) samples.push_back(spent);  // the first second warms caches and the driver
            Kiln_waitFrame(16);
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        Kiln_quit();
        return 1;
    }
    Kiln_quit();
    std::printf("title frame (update + draw + flip), %zu frames at 640x480: CPU median %.3f ms, p90 %.3f ms, max %.3f ms\n",
                samples.size(), bench::quantile(samples, 0.5), bench::quantile(samples, 0.9),
                bench::quantile(samples, 1.0));
    std::filesystem::remove_all(dir);
    return 0;
}

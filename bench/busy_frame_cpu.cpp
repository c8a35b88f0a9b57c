// CPU cost of drawing one frame of a busy run in the real window: every wall,
// item, enemy and effect slot in use, the craft, its trail and the heads-up
// display, then the buffer swap. Measured on the process CPU clock, so the
// software renderer's helper threads count; the update is left out. Run
// under an X server (Mesa's software renderer there):
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/bench/busy_frame_cpu [width height [frames]]
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <vector>

#include "bench_support.h"
#include "busy_field.h"
#include "gamecore/game_main.h"
#include "kiln2/kiln2.h"
#include "state/scene_machine.h"

namespace {

double processCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    const int width = argc > 2 ? std::atoi(argv[1]) : 640;
    const int height = argc > 2 ? std::atoi(argv[2]) : 480;
    const int frames = argc > 3 ? std::atoi(argv[3]) : 300;
    auto dir = bench::makeWorkDirWithResources();
    std::filesystem::current_path(dir);
    std::vector<double> samples, drawOnly;
    try {
        Kiln_init("KVR2013", width, height, false, false);
        loadSharedResources();
        Kiln_setGlobalInt(REPLAY_FLAG_SLOT, 0);
        auto game = std::make_unique<GameMain>();
        game->update();  // INIT
        bench::fillField(*game);
        for (int i = 0; i < frames + 30; ++i) {
            bench::restoreField(*game);
            game->update();
            const double start = processCpuMs();
            game->draw();
            const double drawn = processCpuMs();
            Kiln_flip();
            const double spent = processCpuMs() - start;
            if (i >= 30) {
                samples.push_back(spent);
                drawOnly.push_back(drawn - start);
            }
        }
        std::printf("busy frame at %dx%d (%d walls, %d items, %d enemies, %d effects), %d frames: draw + swap CPU "
                    "median %.3f ms, p90 %.3f ms (of which the draw calls: median %.3f ms)\n",
                    width, height, game->liveWalls(), game->liveItems(), game->liveEnemies(), game->liveEffects(),
                    frames, bench::quantile(samples, 0.5), bench::quantile(samples, 0.9), bench::quantile(drawOnly, 0.5));
        game.reset();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "busy_frame_cpu: %s\n", e.what());
        return 1;
    }
    Kiln_quit();
    std::filesystem::current_path("/");
    std::filesystem::remove_all(dir);
    return 0;
}

// CPU cost of drawing one frame of a busy run in the real window: every wall,
// item, enemy and effect slot in use, the craft, its trail and the heads-up
// display, then the buffer swap. Measured on the process CPU clock, so the
// software renderer's helper threads count; the update is left out. Run
// under an X server (Mesa's software renderer there):
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/bench/busy_frame_cpu [width height [frames]]
// With "--replay FILE STAGE width height" it instead plays that replay in the
// window and times the draw of every play frame of the real run.
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <string>
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

// Plays a replay of stage in the window and times drawing each PLAY frame.
int timeReplayFrames(const char* replay, int stage, int width, int height) {
    const std::string source = std::filesystem::absolute(replay).string();
    auto dir = bench::makeWorkDirWithResources();
    std::filesystem::current_path(dir);
    std::filesystem::create_directory("replay");
    std::filesystem::copy_file(source, "replay/replay_0" + std::to_string(stage) + ".bin");
    {
        std::FILE* config = std::fopen("config.ini", "wb");
        std::fprintf(config, "HI_SCORE1 = 0\nHI_SCORE2 = 0\nHI_SCORE3 = 0\nHI_SCORE4 = 0\nMODE = %d\n", stage);
        std::fclose(config);
    }
    std::vector<double> samples;
    int mostWalls = 0, mostEffects = 0;
    try {
        Kiln_init("KVR2013", width, height, false, false);
        loadSharedResources();
        Kiln_setGlobalInt(REPLAY_FLAG_SLOT, 1);
        auto game = std::make_unique<GameMain>();
        while (game->phase != GameMain::RESULTS && game->phase != GameMain::END) {
            game->update();
            const double start = processCpuMs();
            game->draw();
            Kiln_flip();
            if (game->phase == GameMain::PLAY) samples.push_back(processCpuMs() - start);
            mostWalls = std::max(mostWalls, game->liveWalls());
            mostEffects = std::max(mostEffects, game->liveEffects());
        }
        game.reset();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "busy_frame_cpu: %s\n", e.what());
        return 1;
    }
    std::printf("replay %s at %dx%d, %zu play frames (up to %d walls, %d effects): draw + swap CPU median %.3f ms, "
                "p90 %.3f ms, p99 %.3f ms\n",
                replay, width, height, samples.size(), mostWalls, mostEffects, bench::quantile(samples, 0.5),
                bench::quantile(samples, 0.9), bench::quantile(samples, 0.99));
    Kiln_quit();
    std::filesystem::current_path("/");
    std::filesystem::remove_all(dir);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 6 && std::string(argv[1]) == "--replay") {
        return timeReplayFrames(argv[2], std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]));
    }
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

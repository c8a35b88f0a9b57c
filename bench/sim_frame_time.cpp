// Time of one PLAY frame of the play field (the game scene's update) with
// every pool full: 1200 walls, 20 items, 20 enemies, 200 effects, and the
// collider list at its 800 entries. Headless, no drawing. Each sample is one
// update of a freshly refilled field, timed alone (wall clock, and thread
// CPU time, which a busy machine disturbs less); prints median and p99.
//   sim_frame_time [samples]
#include <time.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "bench_support.h"
#include "busy_field.h"
#include "gamecore/game_main.h"
#include "kiln2/kiln2.h"

int main(int argc, char** argv) {
    const int samples = argc > 1 ? std::atoi(argv[1]) : 20000;
    auto dir = bench::makeWorkDirWithResources();
    std::filesystem::current_path(dir);
    Kiln_useHeadlessBackend(
        {.readResourceFiles = false, .writeRunLog = false, .logToStderr = true, .recordDrawCalls = false});
    Kiln_init("KVR2013", 640, 480, false, false);
    Kiln_setGlobalInt(REPLAY_FLAG_SLOT, 0);
    auto game = std::make_unique<GameMain>();
    game->update();  // INIT: textures, sounds, settings, the course and the keypad

    std::vector<double> micros, cpuMicros;
    micros.reserve(static_cast<size_t>(samples));
    cpuMicros.reserve(static_cast<size_t>(samples));
    int collidersSeen = 0;
    bench::fillField(*game);
    int liveAfter[4] = {};
    for (int i = 0; i < samples + 500; ++i) {
        bench::restoreField(*game);
        timespec cpuStart{}, cpuEnd{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpuStart);
        const auto start = std::chrono::steady_clock::now();
        game->update();
        const auto end = std::chrono::steady_clock::now();
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpuEnd);
        if (i >= 500) {
            cpuMicros.push_back(static_cast<double>(cpuEnd.tv_sec - cpuStart.tv_sec) * 1e6 +
                                static_cast<double>(cpuEnd.tv_nsec - cpuStart.tv_nsec) / 1e3);
        }
        collidersSeen = game->colliderCount;
        liveAfter[0] = game->liveWalls();
        liveAfter[1] = game->liveItems();
        liveAfter[2] = game->liveEnemies();
        liveAfter[3] = game->liveEffects();
        if (i >= 500) micros.push_back(std::chrono::duration<double, std::micro>(end - start).count());
    }
    std::printf("PLAY frame, full pools (after it: %d walls, %d items, %d enemies, %d effects, %d colliders), "
                "%d samples: median %.2f us, p90 %.2f us, p99 %.2f us, min %.2f us\n",
                liveAfter[0], liveAfter[1], liveAfter[2], liveAfter[3], collidersSeen, samples, bench::quantile(micros, 0.5), bench::quantile(micros, 0.9), bench::quantile(micros, 0.99),
                bench::quantile(micros, 0.0));
    // Thread CPU time leaves out the time other processes had the core; it includes the clock calls.
    std::printf("the same frames in thread CPU time: median %.2f us, p99 %.2f us\n", bench::quantile(cpuMicros, 0.5),
                bench::quantile(cpuMicros, 0.99));
    game.reset();
    Kiln_quit();
    std::filesystem::current_path("/");
    std::filesystem::remove_all(dir);
    return 0;
}

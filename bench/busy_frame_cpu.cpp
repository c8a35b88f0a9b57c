// CPU cost of drawing one frame of a busy run in the real window: every wall,
// item, enemy and effect slot in use, the craft, its trail and the heads-up
// display, then the buffer swap. Measured on the process CPU clock, so the
// software renderer's helper threads count; the update is left out. Run
// under an X server (Mesa's software renderer there):
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/bench/busy_frame_cpu [width height [frames]]
// With "--replay FILE STAGE width height" it instead plays that replay in the
// window and times the draw of every play frame of the real run. With
// "--window-and-full-screen FILE STAGE" it plays the replay twice in one
// process, first in a 640x480 window, then full screen on the desktop (run it
// with a window manager, which carries full screen out, on a large screen, as
// scripts/bench.sh does) and prints both figures and their ratio.
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <cstdlib>
#include <exception>
#include <memory>
#include <vector>

#include <SDL.h>

#include "bench_support.h"
#include "busy_field.h"
#include "gamecore/game_main.h"
#include "kiln2/kiln2.h"
#include "kiln2_sdl/real_backend.h"
#include "state/scene_machine.h"

namespace {

double processCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// A stage's replay set up as the stage's best run in a fresh working
// directory, with config.ini choosing the stage; returns the directory.
std::filesystem::path workDirWithReplay(const char* replay, int stage) {
    const std::string source = std::filesystem::absolute(replay).string();
    auto dir = bench::makeWorkDirWithResources();
    std::filesystem::current_path(dir);
    std::filesystem::create_directory("replay");
    std::filesystem::copy_file(source, "replay/replay_0" + std::to_string(stage) + ".bin");
    std::FILE* config = std::fopen("config.ini", "wb");
    std::fprintf(config, "HI_SCORE1 = 0\nHI_SCORE2 = 0\nHI_SCORE3 = 0\nHI_SCORE4 = 0\nMODE = %d\n", stage);
    std::fclose(config);
    return dir;
}

struct ReplayTiming {
    std::vector<double> samples;  // draw + swap CPU of each play frame
    int mostWalls = 0;
    int mostEffects = 0;
};

// Plays the stage's replay in the window as it is now and times every play frame's draw and swap.
ReplayTiming timeOneReplay() {
    ReplayTiming timing;
    Kiln_setGlobalInt(REPLAY_FLAG_SLOT, 1);
    auto game = std::make_unique<GameMain>();
    while (game->phase != GameMain::RESULTS && game->phase != GameMain::END) {
        game->update();
        const double start = processCpuMs();
        game->draw();
        Kiln_flip();
        if (game->phase == GameMain::PLAY) timing.samples.push_back(processCpuMs() - start);
        timing.mostWalls = std::max(timing.mostWalls, game->liveWalls());
        timing.mostEffects = std::max(timing.mostEffects, game->liveEffects());
        // Outside the timing: the window's events are taken as the game takes
        // them; an X server drops a client that leaves them unread for long.
        Kiln_waitFrame(1);
    }
    return timing;
}

void printTiming(const char* replay, const std::string& where, const ReplayTiming& timing) {
    std::printf("replay %s %s, %zu play frames (up to %d walls, %d effects): draw + swap CPU median %.3f ms, "
                "p90 %.3f ms, p99 %.3f ms\n",
                replay, where.c_str(), timing.samples.size(), timing.mostWalls, timing.mostEffects,
                bench::quantile(timing.samples, 0.5), bench::quantile(timing.samples, 0.9),
                bench::quantile(timing.samples, 0.99));
}

void leaveWorkDir(const std::filesystem::path& dir) {
    std::filesystem::current_path("/");
    std::filesystem::remove_all(dir);
}

// Plays a replay of stage in the window and times drawing each PLAY frame.
int timeReplayFrames(const char* replay, int stage, int width, int height) {
    const auto dir = workDirWithReplay(replay, stage);
    try {
        Kiln_init("KVR2013", width, height, false, false);
        loadSharedResources();
        const ReplayTiming timing = timeOneReplay();
        printTiming(replay, "at " + std::to_string(width) + "x" + std::to_string(height), timing);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "busy_frame_cpu: %s\n", e.what());
        return 1;
    }
    Kiln_quit();
    leaveWorkDir(dir);
    return 0;
}

std::string drawableSize() {
    int width = 0, height = 0;
    SDL_GL_GetDrawableSize(SDL_GL_GetCurrentWindow(), &width, &height);
    return std::to_string(width) + "x" + std::to_string(height);
}

// The same replay in a 640x480 window and then full screen, in one process,
// so the two figures are taken on the same machine at the same time.
int timeWindowAndFullScreen(const char* replay, int stage) {
    const auto dir = workDirWithReplay(replay, stage);
    try {
        Kiln_init("KVR2013", 640, 480, false, false);
        loadSharedResources();
        const ReplayTiming window = timeOneReplay();
        printTiming(replay, "in a window, drawable " + drawableSize(), window);

        SDL_DisplayMode desktop;
        SDL_GetDesktopDisplayMode(0, &desktop);
        const std::string screen = std::to_string(desktop.w) + "x" + std::to_string(desktop.h);
        Kiln_toggleFullScreen();
        // The window manager answers within a few frames; a second at most.
        for (int frame = 0; frame < 60 && drawableSize() != screen; ++frame) {
            Kiln_flip();
            Kiln_waitFrame(16);
        }
        if (drawableSize() != screen) {
            std::fprintf(stderr, "busy_frame_cpu: full screen left the window at %s, not %s (no window manager?)\n",
                         drawableSize().c_str(), screen.c_str());
            return 1;
        }
        const ReplayTiming fullScreen = timeOneReplay();
        printTiming(replay, "full screen, drawable " + drawableSize(), fullScreen);
        std::printf("full screen / window: %.2f (median CPU per frame)\n",
                    bench::quantile(fullScreen.samples, 0.5) / bench::quantile(window.samples, 0.5));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "busy_frame_cpu: %s\n", e.what());
        return 1;
    }
    Kiln_quit();
    leaveWorkDir(dir);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Kiln_useRealBackend();
    if (argc == 4 && std::string(argv[1]) == "--window-and-full-screen") {
        return timeWindowAndFullScreen(argv[2], std::atoi(argv[3]));
    }
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

// The main loop of the windowed game. One pass is one frame: the scene step,
// the buffer swap, then the framework's 16 ms wait, which also samples the
// devices for the next frame and raises the quit request.
#include "boot/game_loop.h"

#include <chrono>
#include <cstdio>

#include "boot/player_settings.h"
#include "boot/world_start.h"
#include "kiln2/kiln2.h"
#include "state/scene_machine.h"

namespace {

constexpr int kFrameMs = 16;

// With "--frames" the developer is timing start-up: say on stderr when the
// first picture reached the screen, on the monotonic clock a parent can share.
void reportFirstFrame() {
    auto now = std::chrono::steady_clock::now().time_since_epoch();
    long long ns = std::chrono::duration_cast<std::chrono::nanoseconds>(now).count();
    std::fprintf(stderr, "first-frame-ns %lld\n", ns);
}

void logError(const std::exception& error) {
    try {
        Kiln_logException(error);
    } catch (const std::exception& logFailure) {
        // The log itself failed (an unwritable run.log): stderr is all that is left.
        std::fprintf(stderr, "%s\n%s\n", error.what(), logFailure.what());
    }
}

}  // namespace

int exitStatusFor(const std::exception& error) {
    return dynamic_cast<const KilnQuit*>(&error) ? 0 : 1;
}

int runGame(const CommandLine& line) {
    int status = 0;
    try {
        choosePlayerControllerMappings();
        Kiln_init("KVR2013", line.screenWidth, line.screenHeight, line.fullScreen, false);
        applyPlayerOptions();
        startWorldService(line.scoreServer);
        loadSharedResources();
        bool running = true;
        int frames = 0;
        while (running) {
            running = stepScene();
            Kiln_flip();
            ++frames;
            if (frames == 1 && line.frameLimit > 0) reportFirstFrame();
            Kiln_waitFrame(kFrameMs);
            if (line.frameLimit > 0 && frames >= line.frameLimit) running = false;
        }
    } catch (const std::exception& error) {
        logError(error);
        status = exitStatusFor(error);
    } catch (...) {
        logError(KilnError("unknown error"));
        status = 1;
    }
    // However the loop ended: the world link's worker ends before the process does.
    stopWorldService();
    try {
        Kiln_quit();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        status = 1;
    }
    return status;
}

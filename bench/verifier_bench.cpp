// Times the headless replay verifier on a whole 1000 m run, and makes that
// run's replay: an autopilot reads the play field, steers the craft through
// the openings and collects items, playing live with the keyboard so the game
// records it like any run.
//
//   verifier_bench make-replay OUT.bin     play stage 0 live and save its replay
//   verifier_bench [REPLAY.bin] [RUNS]     time RUNS verifier processes (default 20)
//
// Figures are printed, never judged: timings depend on the machine.
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "bench_support.h"
#include "gamecore/game_main.h"
#include "kiln2/headless.h"
#include "kiln2/kiln2.h"

namespace {

namespace fs = std::filesystem;

constexpr int ROW_PX = 16;

// Where the craft should be: inside the next column's opening, placed toward
// the opening of the column after it, or on an item lying on the way.
class Autopilot {
public:
    int targetY(const GameMain& g) const {
        const int sub = g.subPixels;
        const int craftX = g.player.x;
        const int craftY = g.player.y / sub;
        int columns[2] = {INT_MAX, INT_MAX};
        for (const PlayObject& wall : g.walls) {
            if (wall.life <= 0 || wall.x < craftX - 14 * sub) continue;
            if (wall.x < columns[0]) {
                if (columns[0] != INT_MAX) columns[1] = std::min(columns[1], columns[0]);
                columns[0] = wall.x;
            } else if (wall.x > columns[0] && wall.x < columns[1]) {
                columns[1] = wall.x;
            }
        }
        if (columns[0] == INT_MAX) return 240;

        std::vector<Band> first = bands(g, columns[0]);
        if (first.empty()) return craftY;
        // Aim at the second column's nearest opening, through the first column's best band.
        int goal = craftY;
        if (columns[1] != INT_MAX) {
            std::vector<Band> second = bands(g, columns[1]);
            int bestCost = INT_MAX;
            for (const Band& a : first) {
                for (const Band& b : second) {
                    const int through = std::clamp(b.centre(), a.top, a.bottom);
                    const int cost = std::abs(through - craftY) + std::abs(b.clampOf(through) - through) / 2;
                    if (cost < bestCost) {
                        bestCost = cost;
                        goal = b.clampOf(through);
                    }
                }
            }
        }
        // An item between the two columns is worth a detour when the second opening stays in reach.
        if (columns[1] != INT_MAX) {
            for (const PlayObject& item : g.items) {
                if (item.life <= 0 || item.x < columns[0] || item.x > columns[1]) continue;
                const int itemY = item.y / sub;
                if (std::abs(itemY - goal) < (columns[1] - item.x) / sub * 3 + 40) goal = itemY;
            }
        }
        int best = craftY;
        int bestCost = INT_MAX;
        for (const Band& a : first) {
            const int cost = std::abs(a.clampOf(craftY) - craftY) + std::abs(a.clampOf(goal) - goal) / 2;
            if (cost < bestCost) {
                bestCost = cost;
                best = a.clampOf(goal);
            }
        }

        const int framesToColumn = (columns[0] - craftX) / sub;
        for (const PlayObject& item : g.items) {
            if (item.life <= 0 || item.x < craftX - 8 * sub || item.x > columns[0]) continue;
            const int itemY = item.y / sub;
            const int framesAfterItem = framesToColumn - (item.x - craftX) / sub;
            // Only an item that leaves time to reach the opening afterwards.
            if (std::abs(itemY - best) < framesAfterItem * 2 + 30) return itemY;
        }
        return best;
    }

    bool thrust(const GameMain& g) const {
        const int error = g.player.y / g.subPixels - targetY(g);  // > 0: below the target
        // The fastest approach that can still stop in time at about 0.1 px per frame squared.
        const double speed = std::min(std::sqrt(0.12 * std::abs(error)) * 1000.0, 4000.0);
        const int wantedRise = static_cast<int>(error >= 0 ? speed : -speed);
        return g.player.vy < wantedRise;
    }

private:
    // The safe centres of the craft in one opening of a column, in pixels.
    struct Band {
        int top;
        int bottom;
        int centre() const { return (top + bottom) / 2; }
        int clampOf(int y) const { return std::clamp(y, top, bottom); }
    };

    static std::vector<Band> bands(const GameMain& g, int columnX) {
        const int sub = g.subPixels;
        bool blocked[40] = {};
        for (const PlayObject& wall : g.walls) {
            if (wall.life > 0 && wall.x == columnX) blocked[std::clamp(wall.y / sub / ROW_PX, 0, 39)] = true;
        }
        for (const PlayObject& enemy : g.enemies) {
            if (enemy.life <= 0 || std::abs(enemy.x - columnX) > 30 * sub) continue;
            const int half = 10 * (enemy.kind + 2) + 14;
            for (int r = 0; r < 40; ++r) {
                if (std::abs(r * ROW_PX - enemy.y / sub) <= half) blocked[r] = true;
            }
        }
        std::vector<Band> found;
        for (int r = 1; r < 31;) {
            if (blocked[r]) {
                ++r;
                continue;
            }
            int end = r;
            while (end < 40 && !blocked[end]) ++end;
            // Wall blocks reach 8 px from their centres, the craft 4 px from its own; keep a margin.
            const int top = (r - 1) * ROW_PX + 8 + 4 + 5;
            const int bottom = std::min(end * ROW_PX - 8 - 4 - 5, 462);
            if (bottom >= top) found.push_back({top, bottom});
            r = end;
        }
        return found;
    }
};

struct LiveResult {
    int score = 0;
    int frames = 0;
    int metres = 0;
    bool finished = false;
};

// Plays stage 0 live in a scratch directory and copies the saved replay to out.
LiveResult makeReplay(const fs::path& out) {
    const fs::path work = fs::temp_directory_path() / ("kvr-bench-" + std::to_string(::getpid()));
    fs::create_directories(work);
    const fs::path previous = fs::current_path();
    fs::current_path(work);
    std::ofstream("config.ini") << "HI_SCORE1 = 0\nHI_SCORE2 = 0\nHI_SCORE3 = 0\nHI_SCORE4 = 0\nMODE = 0\n";

    Kiln_useHeadlessBackend({.readResourceFiles = false, .writeRunLog = false, .logToStderr = true,
                             .recordDrawCalls = false});
    Kiln_init("KVR2013", 640, 480, false, false);
    Kiln_setGlobalInt(REPLAY_FLAG_SLOT, 0);
    auto game = std::make_unique<GameMain>();
    const Autopilot pilot;
    for (int i = 0; i < 40000 && game->phase != GameMain::RESULTS; ++i) {
        kiln_headless::setKey(KEY_UP, game->phase == GameMain::PLAY && pilot.thrust(*game));
        Kiln_waitFrame(16);
        game->update();
        game->draw();
        kiln_headless::clearSoundEvents();
    }
    LiveResult result{game->score, game->frameCounter, game->scrollPos / 100 / 100 * 10, game->player.life > 0};
    game.reset();
    Kiln_quit();
    fs::copy_file("replay/replay_00.bin", out, fs::copy_options::overwrite_existing);
    fs::current_path(previous);
    fs::remove_all(work);
    return result;
}

bench::ProcessFigures timeVerifier(const std::string& binary, const std::string& replay) {
    return bench::timeProcess({binary, "--stage", "0", "--replay", replay});
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::string(argv[1]) == "make-replay") {
        const LiveResult r = makeReplay(argv[2]);
        std::printf("live run: %d frames, score %d, %d m, %s; replay %s (%ju bytes)\n", r.frames, r.score,
                    r.metres, r.finished ? "finished" : "destroyed", argv[2],
                    static_cast<uintmax_t>(fs::file_size(argv[2])));
        return 0;
    }
    const std::string replay = argc >= 2 ? argv[1] : std::string(KVR_SOURCE_DIR) + "/bench/data/stage0_autopilot.bin";
    const int runs = argc >= 3 ? std::max(1, std::atoi(argv[2])) : 20;
    const std::string binary = KVR_VERIFY_BINARY;
    std::printf("verifier: %s\nreplay: %s\n", binary.c_str(), replay.c_str());
    std::fflush(stdout);
    std::vector<double> times;
    long maxRss = 0;
    for (int i = 0; i < runs; ++i) {
        const bench::ProcessFigures f = timeVerifier(binary, replay);
        if (f.status != 0) {
            std::fprintf(stderr, "verifier exited with %d\n", f.status);
            return 1;
        }
        times.push_back(f.wallMs);
        maxRss = std::max(maxRss, f.maxRssKb);
    }
    std::sort(times.begin(), times.end());
    std::printf("%d runs: wall time min %.1f ms, median %.1f ms, max %.1f ms; peak resident set %ld KiB\n", runs,
                times.front(), times[times.size() / 2], times.back(), maxRss);
    return 0;
}

// Shared set-up for the game scene's tests: the framework on its headless
// backend, a scratch working directory (the scene reads and writes
// "config.ini" and "replay/" there), frame stepping with scripted keys, and a
// simple craft pilot that holds a height.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "gamecore/game_main.h"
#include "kiln2/headless.h"
#include "kiln2/kiln2.h"

namespace scene_test {

// A fresh directory made the working directory for one test, then removed.
class ScratchDir {
public:
    ScratchDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "kvr-scene-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(path_);
    }
    ~ScratchDir() {
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
        for (const auto& entry : std::filesystem::recursive_directory_iterator(path_, ignored)) {
            std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all, ignored);
        }
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
    std::filesystem::path previous_;
};

inline void writeFile(const std::string& name, const std::string& text) {
    std::ofstream out(name, std::ios::binary);
    out << text;
    if (!out) throw std::runtime_error("cannot write " + name);
}

inline std::string readFile(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    if (!in) return "";
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The keys held during one frame.
struct Keys {
    bool up = false;
    bool a = false;
    bool b = false;
    bool down = false;
};

// The first half of a frame: the devices are sampled, then the scene updates.
inline void updateFrame(GameMain& game, Keys keys) {
    kiln_headless::setKey(KEY_UP, keys.up);
    kiln_headless::setKey(KEY_z, keys.a);
    kiln_headless::setKey(KEY_x, keys.b);
    kiln_headless::setKey(KEY_DOWN, keys.down);
    Kiln_waitFrame(16);
    game.update();
}

// One frame as the main loop runs it: update, then draw.
inline void playFrame(GameMain& game, Keys keys) {
    updateFrame(game, keys);
    game.draw();
}

// Plugs in a mapped controller and lets the frame that opens it pass; its
// buttons count from the next frame on.
inline int plugInPad(const std::string& name = "Test Pad") {
    const int id = kiln_headless::connectController(name, true);
    Kiln_waitFrame(16);
    return id;
}

// What takes the player away from a live run for one frame's events.
enum class Away { Window, Controller };

// Thrust whenever the craft is below the height or sinking fast: it bobs
// around that height until its energy runs out, then falls.
inline bool holdHeight(const GameMain& game, int heightPx) {
    const int y = game.player.y / game.subPixels;
    return (y > heightPx && game.player.vy < 300) || game.player.vy < -600;
}

// The state a run must reproduce, taken after every update that did work; the
// last field is the index word of the run's own random generator.
struct FrameState {
    int frameCounter, phase, score, scrollPos, y, vy, energy, life, barrierFrames, invincibleFrames, sparkleFrames;
    int walls, items, enemies, effects, shakeFrames, slowMotionFrames;
    uint32_t randIndex;
    bool operator==(const FrameState&) const = default;
};

inline FrameState stateOf(const GameMain& g) {
    return {g.frameCounter, g.phase, g.score, g.scrollPos, g.player.y, g.player.vy, g.player.energy, g.player.life,
            g.player.barrierFrames, g.player.invincibleFrames, g.player.sparkleFrames, g.liveWalls(), g.liveItems(),
            g.liveEnemies(), g.liveEffects(), g.shakeFrames, g.slowMotionFrames, g.random.index};
}

// One line of the replay verifier's trace (the 18 numbers of run_trace.h, in
// FrameState's order) as a FrameState.
inline FrameState frameStateFromTrace(const std::string& line) {
    std::istringstream words(line);
    long long f[18] = {};
    for (long long& field : f) words >> field;
    auto i = [&f](int k) { return static_cast<int>(f[k]); };
    return {i(0), i(1), i(2), i(3), i(4), i(5), i(6), i(7), i(8), i(9), i(10), i(11), i(12), i(13), i(14), i(15),
            i(16), static_cast<uint32_t>(f[17])};
}

// What the replay verifier (the program, the judge of every run) says about a
// replay: its one line, and its trace, whose element i is the run's state
// after update i + 1.
struct VerifierReport {
    std::string line;
    std::vector<FrameState> trace;
};

inline VerifierReport verifierReport(const std::string& verifier, int stage, const std::string& replay) {
    const std::string traceFile = (std::filesystem::temp_directory_path() /
                                   ("kvr-verifier-trace-" + std::to_string(::getpid()) + ".txt"))
                                      .string();
    const std::string command = "'" + verifier + "' --stage " + std::to_string(stage) + " --replay '" + replay +
                                "' --trace '" + traceFile + "'";
    VerifierReport report;
    FILE* out = ::popen(command.c_str(), "r");
    if (out == nullptr) throw std::runtime_error("cannot run " + command);
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, out) != nullptr) report.line += buffer;
    if (::pclose(out) != 0) throw std::runtime_error("the verifier failed: " + command);
    if (!report.line.empty() && report.line.back() == '\n') report.line.pop_back();
    std::istringstream lines(readFile(traceFile));
    for (std::string line; std::getline(lines, line);) report.trace.push_back(frameStateFromTrace(line));
    std::filesystem::remove(traceFile);
    return report;
}

// Framework on the headless backend in a scratch directory, with the title's
// hand-over slot cleared (a live run) unless a test sets it.
class SceneTest : public ::testing::Test {
protected:
    void SetUp() override { startFramework(true); }
    void TearDown() override {
        game.reset();
        Kiln_quit();
        kiln_headless::reset();
    }

    void startFramework(bool recordDrawCalls) {
        Kiln_useHeadlessBackend({.readResourceFiles = false, .writeRunLog = false, .logToStderr = true,
                                 .recordDrawCalls = recordDrawCalls});
        Kiln_init("KVR2013", 640, 480, false, false);
        Kiln_setGlobalInt(REPLAY_FLAG_SLOT, 0);
    }

    // Restarts the framework between two games of one test (a new process would).
    void restartFramework(bool recordDrawCalls) {
        game.reset();
        Kiln_quit();
        kiln_headless::reset();
        startFramework(recordDrawCalls);
    }

    void newGame() { game = std::make_unique<GameMain>(); }

    // Runs frames with no key held until the phase is reached; fails after limit frames.
    void runUntilPhase(int phase, int limit = 20000) {
        for (int i = 0; i < limit && game->phase != phase; ++i) playFrame(*game, {});
        ASSERT_EQ(game->phase, phase);
    }

    // A new game past its countdown: the next update is the first play frame.
    void startPlaying() {
        newGame();
        runUntilPhase(GameMain::PLAY, 400);
    }

    ScratchDir dir;
    std::unique_ptr<GameMain> game;
};

}  // namespace scene_test

namespace scene_test {

// The text drawn with its first cell at (x, y) and the given scale, read back
// from the recorded glyphs: cells without a glyph read as spaces, and two
// empty cells in a row end the text.
inline std::string textAt(int x, int y, float scale) {
    const float cell = scale * 8.0f;
    std::string text;
    int gap = 0;
    for (int k = 0; k < 80 && gap < 2; ++k) {
        char found = 0;
        for (const KilnDrawCall& call : kiln_headless::drawCalls()) {
            if (call.kind == KilnDrawCall::GLYPH && call.y == static_cast<float>(y) && call.h == cell &&
                call.x == static_cast<float>(x) + k * cell) {
                found = call.glyph;
            }
        }
        if (found != 0) {
            // One space a gap cell (a loop: g++ 12 with the sanitizers takes an
            // int count for append as possibly negative and fails the build).
            for (; gap > 0; --gap) text += ' ';
            text += found;
        } else if (text.empty() && k == 0) {
            text += ' ';  // a text may open with a space
        } else {
            ++gap;
        }
    }
    return text;
}

// The recorded glyph at exactly (x, y), or nullptr.
inline const KilnDrawCall* glyphAt(int x, int y) {
    for (const KilnDrawCall& call : kiln_headless::drawCalls()) {
        if (call.kind == KilnDrawCall::GLYPH && call.x == static_cast<float>(x) && call.y == static_cast<float>(y)) {
            return &call;
        }
    }
    return nullptr;
}

inline int countSound(KilnSoundEvent::Kind kind, const std::string& name) {
    int count = 0;
    for (const KilnSoundEvent& event : kiln_headless::soundEvents()) {
        if (event.kind == kind && event.name == name) ++count;
    }
    return count;
}

}  // namespace scene_test

// Test fixture for the start-up scenes: a fresh temporary working directory
// (so "run.log" and "config.ini" land there), the framework on its headless
// backend with resources registered without touching disk, and helpers to
// run frames the way the main loop does and to read back the drawn text.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "config/player_files.h"
#include "kiln2/headless.h"
#include "kiln2/kiln2.h"
#include "state/scene_machine.h"

class HeadlessScene : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device seed;
        workDir = std::filesystem::temp_directory_path() / ("kvr2013-scene-" + std::to_string(seed()));
        std::filesystem::create_directories(workDir);
        previousDir = std::filesystem::current_path();
        std::filesystem::current_path(workDir);
        resetSceneMachine();
        Kiln_useHeadlessBackend(backendOptions());
        Kiln_init("KVR2013", 640, 480, false, false);
    }

    void TearDown() override {
        resetSceneMachine();
        Kiln_quit();
        kiln_headless::reset();
        // Settings a test saved by key must not ride along with the next test's saves.
        setPlayerDataDir("", true);
        std::filesystem::current_path(previousDir);
        std::error_code ignored;
        std::filesystem::remove_all(workDir, ignored);
    }

    virtual KilnHeadlessOptions backendOptions() const {
        return {.readResourceFiles = false, .writeRunLog = true, .logToStderr = true, .recordDrawCalls = true};
    }

    // One pass of the main loop: scene step, swap, then the wait that samples
    // the devices for the next frame.
    bool frame() {
        bool keepRunning = stepScene();
        Kiln_flip();
        Kiln_waitFrame(16);
        return keepRunning;
    }

    // Holds or releases a key; the next Kiln_waitFrame takes it into the snapshot.
    static void setKey(int key, bool down) { kiln_headless::setKey(key, down); }

    // A key held for exactly one snapshot: down now, released by the next wait.
    static void tapKeyForNextFrame(int key) {
        kiln_headless::setKey(key, true);
        Kiln_waitFrame(16);
        kiln_headless::setKey(key, false);
    }

    std::string readFile(const std::string& name) const {
        std::ifstream in(workDir / name, std::ios::binary);
        std::ostringstream content;
        content << in.rdbuf();
        return content.str();
    }

    void writeFile(const std::string& name, const std::string& content) const {
        std::ofstream out(workDir / name, std::ios::binary);
        out << content;
    }

    bool fileExists(const std::string& name) const { return std::filesystem::exists(workDir / name); }

    // One line of drawn text, read back from the recorded glyphs.
    struct TextLine {
        std::string text;
        float x = 0;
        float scale = 0;
        bool allOpaqueWhite = true;
        bool operator==(const TextLine&) const = default;
    };

    // Reassembles the glyphs drawn with their top at y into text: glyphs are
    // sorted by x, and the gap before each one, measured in whole advances,
    // becomes spaces (a space draws nothing and only moves the pen).
    static TextLine textAt(float y) {
        std::vector<KilnDrawCall> glyphs;
        for (const KilnDrawCall& call : kiln_headless::drawCalls()) {
            if (call.kind == KilnDrawCall::GLYPH && call.y == y) glyphs.push_back(call);
        }
        TextLine line;
        if (glyphs.empty()) return line;
        std::sort(glyphs.begin(), glyphs.end(), [](const auto& a, const auto& b) { return a.x < b.x; });
        line.x = glyphs.front().x;
        line.scale = glyphs.front().w / 8.0f;
        int advance = static_cast<int>(line.scale * 8.0f);
        float penX = line.x;
        for (const KilnDrawCall& glyph : glyphs) {
            int gap = advance > 0 ? static_cast<int>((glyph.x - penX) / advance) : 0;
            line.text.append(std::max(gap, 0), ' ');
            line.text += glyph.glyph;
            penX = glyph.x + advance;
            line.allOpaqueWhite = line.allOpaqueWhite && glyph.r == 255 && glyph.g == 255 && glyph.b == 255 &&
                                  glyph.a == 255 && glyph.key == "font";
        }
        return line;
    }

    static int countCalls(KilnDrawCall::Kind kind) {
        return static_cast<int>(std::count_if(kiln_headless::drawCalls().begin(), kiln_headless::drawCalls().end(),
                                              [kind](const KilnDrawCall& call) { return call.kind == kind; }));
    }

    std::filesystem::path workDir;
    std::filesystem::path previousDir;
};

// A headless framework for the menu tests: mouse positions and buttons go in
// through the headless backend, one frame at a time, and the draw calls the
// widgets make come back out.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "kiln2/headless.h"
#include "kiln2/kiln2.h"

class MenuTest : public testing::Test {
protected:
    void SetUp() override {
        KilnHeadlessOptions options;
        options.readResourceFiles = false;
        options.writeRunLog = false;
        options.logToStderr = true;
        Kiln_useHeadlessBackend(options);
        Kiln_init("menu test", 640, 480, false, true);
        Kiln_loadTexture("menu", "resource/image/menu.bmp", {0, 255, 0});
        moveMouse(0, 0);
        moveMouse(0, 0);
    }

    void TearDown() override {
        Kiln_quit();
        kiln_headless::reset();
    }

    // One frame with the mouse at (x, y) and the given buttons held.
    void moveMouse(int x, int y, uint8_t buttons = 0) {
        kiln_headless::setMouse(x, y, buttons);
        Kiln_waitFrame(16);
    }

    // A left click at (x, y): the button goes down in this frame.
    void clickAt(int x, int y) {
        moveMouse(x, y, 0);
        moveMouse(x, y, 1);
    }

    std::vector<KilnDrawCall> drawn(KilnDrawCall::Kind kind) {
        std::vector<KilnDrawCall> out;
        for (const auto& call : kiln_headless::drawCalls()) {
            if (call.kind == kind) {
                out.push_back(call);
            }
        }
        return out;
    }
};

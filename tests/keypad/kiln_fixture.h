// Starts the framework's headless backend for each test, so input can be set
// by hand and taken into a frame with Kiln_waitFrame.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>

#include "kiln2/headless.h"
#include "kiln2/kiln2.h"

class KilnInputTest : public testing::Test {
protected:
    void SetUp() override { kiln_headless::reset(); }

    void TearDown() override {
        if (started_) Kiln_quit();
        kiln_headless::reset();
    }

    // Joysticks are attached between choosing the backend and starting it, as devices present at start-up.
    void start(std::initializer_list<int> joystickSlots = {}) {
        KilnHeadlessOptions options;
        options.readResourceFiles = false;
        options.writeRunLog = false;
        options.recordDrawCalls = false;
        Kiln_useHeadlessBackend(options);
        for (int slot : joystickSlots) kiln_headless::attachJoystick(slot, 4);
        Kiln_init("input test", 640, 480, false, true);
        started_ = true;
    }

    // One frame with exactly these keys held.
    void frameWithKeys(std::initializer_list<int> keys) {
        kiln_headless::releaseAllKeys();
        for (int key : keys) kiln_headless::setKey(key, true);
        Kiln_waitFrame(16);
    }

private:
    bool started_ = false;
};

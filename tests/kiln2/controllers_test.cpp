// Controllers plugged in and pulled out while the framework runs: mapped ones
// read by position, others by their raw buttons, all of them driving the same
// logical buttons; the log names them; a lost one or a lost window is news for
// exactly one frame.
#include "kiln2/kiln_state.h"
#include "kiln_test_support.h"

using namespace kiln_test;

namespace {

class Controllers : public HeadlessTest {
protected:
    void SetUp() override { start(noFiles()); }

    // Plugs a controller in and lets the frame that opens it pass.
    int plugIn(const std::string& name, bool mapped = true) {
        const int id = kiln_headless::connectController(name, mapped, 6);
        frame();
        return id;
    }

    static bool pressed(int button) { return Kiln_isPadPressed(button); }
    static bool pushed(int button) { return Kiln_isPadPushed(button); }
};

TEST_F(Controllers, AMappedControllerPluggedInPlaysFromTheNextFrame) {
    const int pad = kiln_headless::connectController("Blue Pad", true);
    kiln_headless::setControllerInput(pad, CONTROLLER_SOUTH, true);
    frame();  // its news arrives: it is opened now, read from the next frame on
    EXPECT_FALSE(pressed(PAD_A));
    EXPECT_EQ(Kiln_getControllerCount(), 1);
    EXPECT_TRUE(kiln_headless::isControllerOpen(pad));
    EXPECT_EQ(readFile("run.log"), "Controller connected: Blue Pad\n");
    frame();
    EXPECT_TRUE(pressed(PAD_A));
    EXPECT_TRUE(pushed(PAD_A)) << "a new device starts with nothing held";
    frame();
    EXPECT_TRUE(pressed(PAD_A));
    EXPECT_FALSE(pushed(PAD_A));
}

TEST_F(Controllers, PositionsAndTheLeftStickAreTheLogicalButtons) {
    const int pad = plugIn("Pad");
    struct Case {
        KilnControllerInput input;
        int button;
    };
    const Case cases[] = {{CONTROLLER_SOUTH, PAD_A},      {CONTROLLER_EAST, PAD_B},
                          {CONTROLLER_START, PAD_PAUSE},  {CONTROLLER_DPAD_UP, PAD_UP},
                          {CONTROLLER_DPAD_DOWN, PAD_DOWN}, {CONTROLLER_DPAD_LEFT, PAD_LEFT},
                          {CONTROLLER_DPAD_RIGHT, PAD_RIGHT}, {CONTROLLER_BACK, PAD_BACK},
                          {CONTROLLER_LEFT_SHOULDER, PAD_JUMP_BACK}, {CONTROLLER_RIGHT_SHOULDER, PAD_JUMP_FORWARD},
                          {CONTROLLER_NORTH, PAD_WORLD}};
    for (const Case& c : cases) {
        kiln_headless::setControllerInput(pad, c.input, true);
        frame();
        for (int button = 0; button < PAD_BUTTON_COUNT; ++button) {
            EXPECT_EQ(pressed(button), button == c.button) << "input " << c.input << ", button " << button;
            EXPECT_EQ(pushed(button), button == c.button) << "input " << c.input << ", button " << button;
        }
        kiln_headless::setControllerInput(pad, c.input, false);
        frame();
    }
    // The stick with the keypad's threshold: exactly 26214 is still the middle.
    kiln_headless::setControllerStick(pad, 26214, -26214);
    frame();
    EXPECT_FALSE(pressed(PAD_RIGHT) || pressed(PAD_UP));
    kiln_headless::setControllerStick(pad, 26215, -26215);
    frame();
    EXPECT_TRUE(pushed(PAD_RIGHT) && pushed(PAD_UP));
    kiln_headless::setControllerStick(pad, -32768, 32767);
    frame();
    EXPECT_TRUE(pushed(PAD_LEFT) && pushed(PAD_DOWN));
    EXPECT_FALSE(pressed(PAD_RIGHT) || pressed(PAD_UP));
    // A mapped controller's raw buttons are not its positions.
    kiln_headless::setJoyButton(pad, 0, true);
    kiln_headless::setControllerStick(pad, 0, 0);
    frame();
    EXPECT_FALSE(pressed(PAD_A));
}

TEST_F(Controllers, EastCanBeChosenAsAAndSouthIsThenB) {
    const int pad = plugIn("Pad");
    Kiln_setControllerFaceA(FACE_EAST);
    kiln_headless::setControllerInput(pad, CONTROLLER_EAST, true);
    frame();
    EXPECT_TRUE(pressed(PAD_A));
    EXPECT_FALSE(pressed(PAD_B));
    kiln_headless::setControllerInput(pad, CONTROLLER_EAST, false);
    kiln_headless::setControllerInput(pad, CONTROLLER_SOUTH, true);
    frame();
    EXPECT_TRUE(pressed(PAD_B));
    EXPECT_FALSE(pressed(PAD_A));
}

TEST_F(Controllers, ADeviceWithoutAMappingPlaysByItsRawButtonsAndFirstStick) {
    const int stick = plugIn("Old Stick", false);
    EXPECT_EQ(readFile("run.log"),
              "Controller connected: Old Stick (no mapping known: button 0 is A, button 1 is B, the first stick "
              "moves)\n");
    kiln_headless::setJoyButton(stick, 0, true);
    frame();
    EXPECT_TRUE(pushed(PAD_A));
    kiln_headless::setJoyButton(stick, 0, false);
    kiln_headless::setJoyButton(stick, 1, true);
    kiln_headless::setJoyAxes(stick, 0, -32768);
    frame();
    EXPECT_TRUE(pushed(PAD_B));
    EXPECT_TRUE(pushed(PAD_UP));
    EXPECT_FALSE(pressed(PAD_A));
    // Positions mean nothing on a device whose layout is unknown.
    kiln_headless::setControllerInput(stick, CONTROLLER_START, true);
    frame();
    EXPECT_FALSE(pressed(PAD_PAUSE));
}

TEST_F(Controllers, EveryDeviceDrivesTheSameButtonsEachWithItsOwnEdge) {
    std::vector<int> pads;
    for (int i = 0; i < 6; ++i) pads.push_back(kiln_headless::connectController("Pad " + std::to_string(i), i % 2 == 0));
    frame();
    ASSERT_EQ(Kiln_getControllerCount(), 6);
    // Four of them fill the joystick slots; all six play.
    for (int slot = 0; slot < 4; ++slot) EXPECT_TRUE(kilnState().joysticks[static_cast<size_t>(slot)].hasDevice);
    kiln_headless::setControllerInput(pads[0], CONTROLLER_SOUTH, true);
    frame();
    EXPECT_TRUE(pushed(PAD_A));
    frame();
    EXPECT_FALSE(pushed(PAD_A));
    kiln_headless::setJoyButton(pads[5], 0, true);  // the sixth, raw, while the first still holds A
    frame();
    EXPECT_TRUE(pressed(PAD_A));
    EXPECT_TRUE(pushed(PAD_A));
    kiln_headless::setControllerInput(pads[0], CONTROLLER_SOUTH, false);
    kiln_headless::setJoyButton(pads[5], 0, false);
    kiln_headless::setControllerStick(pads[4], 0, 32767);
    frame();
    EXPECT_TRUE(pressed(PAD_DOWN));
    EXPECT_FALSE(pressed(PAD_A));
}

TEST_F(Controllers, APulledOutControllerIsNewsForOneFrameAndLetsGoOfItsButtons) {
    const int pad = plugIn("Red Pad");
    kiln_headless::setControllerInput(pad, CONTROLLER_DPAD_UP, true);
    frame();
    ASSERT_TRUE(pressed(PAD_UP));
    EXPECT_FALSE(Kiln_wasControllerLost());

    kiln_headless::disconnectController(pad);
    frame();
    EXPECT_TRUE(Kiln_wasControllerLost());
    EXPECT_FALSE(kiln_headless::isControllerOpen(pad));
    EXPECT_EQ(Kiln_getControllerCount(), 0);
    EXPECT_FALSE(kilnState().joysticks[0].hasDevice);
    EXPECT_EQ(readFile("run.log"), "Controller connected: Red Pad\nController disconnected: Red Pad\n");
    frame();
    EXPECT_FALSE(Kiln_wasControllerLost());
    EXPECT_FALSE(pressed(PAD_UP));

    // Its slot is free for the next one, and the joystick queries see it there.
    const int next = plugIn("Green Pad", false);
    kiln_headless::setJoyButton(next, 1, true);
    frame();
    EXPECT_TRUE(Kiln_isJoyButtonPushed(1, 0));
    EXPECT_TRUE(pressed(PAD_B));
}

TEST_F(Controllers, PullingOutADeviceNeverOpenedChangesNothing) {
    const int pad = kiln_headless::connectController("Quick Pad", true);
    kiln_headless::disconnectController(pad);  // gone before any frame saw it
    frame();
    EXPECT_FALSE(Kiln_wasControllerLost());
    EXPECT_EQ(Kiln_getControllerCount(), 0);
    EXPECT_FALSE(std::filesystem::exists("run.log"));
}

TEST_F(Controllers, ALostWindowIsNewsForOneFrame) {
    frame();
    EXPECT_FALSE(Kiln_wasFocusLost());
    kiln_headless::loseFocus();
    frame();
    EXPECT_TRUE(Kiln_wasFocusLost());
    frame();
    EXPECT_FALSE(Kiln_wasFocusLost());
}

TEST_F(Controllers, QuitClosesEveryDevice) {
    const int first = plugIn("One");
    const int second = plugIn("Two", false);
    Kiln_quit();
    EXPECT_FALSE(kiln_headless::isControllerOpen(first));
    EXPECT_FALSE(kiln_headless::isControllerOpen(second));
    EXPECT_EQ(Kiln_getControllerCount(), 0);
}

TEST_F(Controllers, UnknownLogicalButtonsAreNeverHeld) {
    const int pad = plugIn("Pad");
    for (KilnControllerInput input : {CONTROLLER_SOUTH, CONTROLLER_EAST, CONTROLLER_START}) {
        kiln_headless::setControllerInput(pad, input, true);
    }
    frame();
    for (int button : {-1, static_cast<int>(PAD_BUTTON_COUNT), 8, 100}) {
        EXPECT_FALSE(pressed(button)) << button;
        EXPECT_FALSE(pushed(button)) << button;
    }
}

}  // namespace

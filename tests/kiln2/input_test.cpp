// The input snapshot queries: held versus went-down-this-frame for keys,
// mouse buttons and joysticks, and their range guards and stick thresholds.
#include <array>
#include <functional>

#include "kiln_test_support.h"

using namespace kiln_test;

namespace {

class Input : public HeadlessTest {
protected:
    void SetUp() override {
        kiln_headless::reset();
        Kiln_useHeadlessBackend(noFiles());
        kiln_headless::attachJoystick(0, 4);
        Kiln_init("test", 640, 480, false, false);
    }
};

TEST_F(Input, NothingIsHeldBeforeTheFirstFrame) {
    kiln_headless::setKey('z', true);
    kiln_headless::setJoyButton(0, 0, true);
    EXPECT_FALSE(Kiln_isKeyPressed('z'));
    EXPECT_FALSE(Kiln_isJoyButtonPressed(0, 0));
    EXPECT_EQ(Kiln_getMouseButtons(), 0);
}

TEST_F(Input, KeyHeldForThreeFramesIsPushedOnlyInTheFirst) {
    kiln_headless::setKey(KEY_z, true);
    bool pressed[3], pushed[3];
    for (int i = 0; i < 3; ++i) {
        frame();
        pressed[i] = Kiln_isKeyPressed(KEY_z);
        pushed[i] = Kiln_isKeyPushed(KEY_z);
    }
    EXPECT_TRUE(pressed[0] && pressed[1] && pressed[2]);
    EXPECT_TRUE(pushed[0]);
    EXPECT_FALSE(pushed[1]);
    EXPECT_FALSE(pushed[2]);
    kiln_headless::setKey(KEY_z, false);
    frame();
    EXPECT_FALSE(Kiln_isKeyPressed(KEY_z));
    kiln_headless::setKey(KEY_z, true);
    frame();
    EXPECT_TRUE(Kiln_isKeyPushed(KEY_z)) << "down again after a frame up";
}

TEST_F(Input, KeyCodesOutsideTheTableAreNeverHeld) {
    for (int key = 0; key < KILN_KEY_COUNT; ++key) {
        if (key != KEY_ESCAPE) kiln_headless::setKey(key, true);
    }
    frame();
    EXPECT_TRUE(Kiln_isKeyPressed(322));
    EXPECT_TRUE(Kiln_isKeyPressed(0));
    for (int key : {-1, 323, 1000}) {
        EXPECT_FALSE(Kiln_isKeyPressed(key)) << key;
        EXPECT_FALSE(Kiln_isKeyPushed(key)) << key;
    }
}

TEST_F(Input, AnswersDoNotChangeBetweenFrames) {
    kiln_headless::setKey(KEY_SPACE, true);
    frame();
    kiln_headless::setKey(KEY_SPACE, false);
    EXPECT_TRUE(Kiln_isKeyPressed(KEY_SPACE));
    EXPECT_TRUE(Kiln_isKeyPushed(KEY_SPACE));
    EXPECT_TRUE(Kiln_isKeyPushed(KEY_SPACE));
}

TEST_F(Input, MouseButtonsPushedOnlyInTheirFirstFrame) {
    kiln_headless::setMouse(12, 34, 0x1);
    frame();
    EXPECT_EQ(Kiln_getMouseButtons(), 0x1);
    EXPECT_EQ(Kiln_getMouseButtonsPushed(), 0x1);
    kiln_headless::setMouse(12, 34, 0x5);
    frame();
    EXPECT_EQ(Kiln_getMouseButtons(), 0x5);
    EXPECT_EQ(Kiln_getMouseButtonsPushed(), 0x4);
    frame();
    EXPECT_EQ(Kiln_getMouseButtonsPushed(), 0x0);
    EXPECT_EQ(Kiln_getMouseX(), 12);
    EXPECT_EQ(Kiln_getMouseY(), 34);
}

TEST_F(Input, StickThresholdIsStrict) {
    struct Case {
        int16_t x, y;
        int dir;
        bool held;
    };
    const Case cases[] = {
        {0, -26214, JOY_UP, false},   {0, -26215, JOY_UP, true},     {0, 26214, JOY_DOWN, false},
        {0, 26215, JOY_DOWN, true},   {26214, 0, JOY_RIGHT, false},  {26215, 0, JOY_RIGHT, true},
        {-26214, 0, JOY_LEFT, false}, {-26215, 0, JOY_LEFT, true},   {-32768, 0, JOY_RIGHT, false},
        {0, 32767, JOY_UP, false},
    };
    for (const Case& c : cases) {
        kiln_headless::setJoyAxes(0, c.x, c.y);
        frame();
        EXPECT_EQ(Kiln_isJoyDirPressed(c.dir, 0), c.held) << c.x << "," << c.y << " dir " << c.dir;
    }
}

TEST_F(Input, NoneAndUnknownDirectionsAreNeverHeld) {
    kiln_headless::setJoyAxes(0, 32767, -32768);
    frame();
    for (int dir : {static_cast<int>(JOY_NONE), -1, 5}) {
        EXPECT_FALSE(Kiln_isJoyDirPressed(dir, 0)) << dir;
        EXPECT_FALSE(Kiln_isJoyDirPushed(dir, 0)) << dir;
    }
    EXPECT_TRUE(Kiln_isJoyDirPressed(JOY_RIGHT, 0));
    EXPECT_TRUE(Kiln_isJoyDirPressed(JOY_UP, 0));
}

TEST_F(Input, StickSwungFromLeftToRightPushesRight) {
    kiln_headless::setJoyAxes(0, -32768, 0);
    frame();
    EXPECT_TRUE(Kiln_isJoyDirPushed(JOY_LEFT, 0));
    kiln_headless::setJoyAxes(0, 32767, 0);
    frame();
    EXPECT_TRUE(Kiln_isJoyDirPushed(JOY_RIGHT, 0));
    EXPECT_FALSE(Kiln_isJoyDirPressed(JOY_LEFT, 0));
    frame();
    EXPECT_TRUE(Kiln_isJoyDirPressed(JOY_RIGHT, 0));
    EXPECT_FALSE(Kiln_isJoyDirPushed(JOY_RIGHT, 0));
}

TEST_F(Input, ButtonsBeyondTheDeviceAreFalse) {
    for (int b = 0; b < 4; ++b) kiln_headless::setJoyButton(0, b, true);
    frame();
    EXPECT_TRUE(Kiln_isJoyButtonPressed(3, 0));
    EXPECT_TRUE(Kiln_isJoyButtonPushed(0, 0));
    EXPECT_FALSE(Kiln_isJoyButtonPressed(4, 0));
    EXPECT_FALSE(Kiln_isJoyButtonPressed(-1, 0));
    frame();
    EXPECT_TRUE(Kiln_isJoyButtonPressed(0, 0));
    EXPECT_FALSE(Kiln_isJoyButtonPushed(0, 0));
}

TEST_F(Input, SlotsWithoutADeviceAnswerFalse) {
    frame();
    for (int joy : {1, 2, 3}) {
        EXPECT_FALSE(Kiln_isJoyButtonPressed(0, joy));
        EXPECT_FALSE(Kiln_isJoyDirPressed(JOY_UP, joy));
    }
}

TEST_F(Input, SticksAttachedAfterStartUpTakeTheFirstFreeSlotFromTheNextFrame) {
    kiln_headless::attachJoystick(1, 2);
    kiln_headless::setJoyButton(1, 0, true);
    kiln_headless::setJoyAxes(1, 32767, 0);
    frame();  // the frame whose events bring it
    EXPECT_FALSE(Kiln_isJoyButtonPressed(0, 1));
    EXPECT_FALSE(Kiln_isJoyDirPressed(JOY_RIGHT, 1));
    frame();
    EXPECT_TRUE(Kiln_isJoyButtonPressed(0, 1));
    EXPECT_TRUE(Kiln_isJoyDirPressed(JOY_RIGHT, 1));
    EXPECT_FALSE(Kiln_isJoyButtonPressed(1, 1)) << "it has two buttons, the second up";
    EXPECT_FALSE(Kiln_isJoyButtonPressed(2, 1)) << "and no third";
}

// A press that goes down and up again between two frames (a tap quicker than
// a frame, or a press while the game stalls) is held and pushed in the next
// frame only, once however often it came, and on every kind of device.
TEST_F(Input, APressLetGoBetweenTwoFramesIsPushedInTheNextFrameOnly) {
    const int pad = kiln_headless::connectController("Pad", true);
    frame();  // the frame whose events open it
    ASSERT_EQ(Kiln_bindKey(PAD_A, 'a'), BIND_DONE);
    struct Case {
        const char* device;
        std::function<void(bool)> set;
        std::function<bool()> held, pushed;
    };
    const Case cases[] = {
        {"a key", [](bool down) { kiln_headless::setKey('q', down); }, [] { return Kiln_isKeyPressed('q'); },
         [] { return Kiln_isKeyPushed('q'); }},
        {"a key bound to A", [](bool down) { kiln_headless::setKey('a', down); },
         [] { return Kiln_isKeyPressed(KEY_z); }, [] { return Kiln_isKeyPushed(KEY_z); }},
        {"the right mouse button", [](bool down) { kiln_headless::setMouse(5, 5, down ? 0x4 : 0x0); },
         [] { return Kiln_getMouseButtons() == 0x4; }, [] { return Kiln_getMouseButtonsPushed() == 0x4; }},
        {"a joystick button", [](bool down) { kiln_headless::setJoyButton(0, 2, down); },
         [] { return Kiln_isJoyButtonPressed(2, 0); }, [] { return Kiln_isJoyButtonPushed(2, 0); }},
        {"an unmapped device's A", [](bool down) { kiln_headless::setJoyButton(0, 0, down); },
         [] { return Kiln_isPadPressed(PAD_A); }, [] { return Kiln_isPadPushed(PAD_A); }},
        {"a controller's shoulder",
         [pad](bool down) { kiln_headless::setControllerInput(pad, CONTROLLER_RIGHT_SHOULDER, down); },
         [] { return Kiln_isPadPressed(PAD_JUMP_FORWARD); }, [] { return Kiln_isPadPushed(PAD_JUMP_FORWARD); }},
    };
    for (const Case& c : cases) {
        for (int taps : {1, 2}) {
            for (int tap = 0; tap < taps; ++tap) {
                c.set(true);
                c.set(false);
            }
            std::array<bool, 3> held{}, pushed{};
            for (size_t i = 0; i < held.size(); ++i) {
                frame();
                held[i] = c.held();
                pushed[i] = c.pushed();
            }
            const std::array<bool, 3> firstOnly = {true, false, false};
            EXPECT_EQ(held, firstOnly) << c.device << ", " << taps << " taps";
            EXPECT_EQ(pushed, firstOnly) << c.device << ", " << taps << " taps";
        }
    }
}

}  // namespace

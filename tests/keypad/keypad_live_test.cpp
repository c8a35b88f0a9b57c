// The keypad answering live from keyboard and joystick.
#include "keypad/keypad.h"

#include <array>
#include <vector>

#include "kiln_fixture.h"

namespace {

// All twelve answers, press queries first, in KeypadState order.
std::array<bool, 12> answers(Keypad& pad, bool forceLive) {
    return {pad.isPressA(forceLive),      pad.isPressB(forceLive),      pad.isPressLeft(forceLive),
            pad.isPressUp(forceLive),     pad.isPressRight(forceLive),  pad.isPressDown(forceLive),
            pad.isTriggerA(forceLive),    pad.isTriggerB(forceLive),    pad.isTriggerLeft(forceLive),
            pad.isTriggerUp(forceLive),   pad.isTriggerRight(forceLive), pad.isTriggerDown(forceLive)};
}

// Only the button at `index` (0 A, 1 B, 2 LEFT, 3 UP, 4 RIGHT, 5 DOWN) answers, held and maybe new.
std::array<bool, 12> only(int index, bool wentDown) {
    std::array<bool, 12> expected{};
    expected[index] = true;
    expected[6 + index] = wentDown;
    return expected;
}

const std::array<bool, 12> NOTHING{};

}  // namespace

using KeypadLive = KilnInputTest;

TEST_F(KeypadLive, NothingHeldAnswersFalseEverywhere) {
    start();
    Keypad pad(0);
    EXPECT_EQ(answers(pad, false), NOTHING);
    frameWithKeys({});
    EXPECT_EQ(answers(pad, false), NOTHING);
    EXPECT_EQ(answers(pad, true), NOTHING);
}

TEST_F(KeypadLive, EachKeyFeedsItsOwnButtonHeldThenNotNew) {
    start();
    Keypad pad(0);
    const std::pair<int, int> keyToButton[] = {{KEY_z, 0},    {KEY_SPACE, 0}, {KEY_x, 1},     {KEY_RETURN, 1},
                                               {KEY_LEFT, 2}, {KEY_UP, 3},    {KEY_RIGHT, 4}, {KEY_DOWN, 5}};
    for (const auto& [key, button] : keyToButton) {
        frameWithKeys({key});
        EXPECT_EQ(answers(pad, false), only(button, true)) << "first frame of key " << key;
        frameWithKeys({key});
        EXPECT_EQ(answers(pad, false), only(button, false)) << "second frame of key " << key;
        frameWithKeys({key});
        EXPECT_EQ(answers(pad, true), only(button, false)) << "third frame of key " << key;
        frameWithKeys({});
        EXPECT_EQ(answers(pad, false), NOTHING);
    }
}

TEST_F(KeypadLive, ZAndSpaceAreOneButtonButEachKeyHasItsOwnEdge) {
    start();
    Keypad pad(0);
    frameWithKeys({KEY_z});
    EXPECT_TRUE(pad.isTriggerA(false));
    frameWithKeys({KEY_z});
    EXPECT_FALSE(pad.isTriggerA(false));
    frameWithKeys({KEY_z, KEY_SPACE});  // SPACE goes down while Z is held
    EXPECT_TRUE(pad.isPressA(false));
    EXPECT_TRUE(pad.isTriggerA(false));
    frameWithKeys({KEY_SPACE});  // Z let go, SPACE still held
    EXPECT_TRUE(pad.isPressA(false));
    EXPECT_FALSE(pad.isTriggerA(false));
}

TEST_F(KeypadLive, JoystickButtonsAndStickFeedTheButtons) {
    start({0});
    Keypad pad(0);
    kiln_headless::setJoyButton(0, 0, true);
    Kiln_waitFrame(16);
    EXPECT_EQ(answers(pad, false), only(0, true));
    Kiln_waitFrame(16);
    EXPECT_EQ(answers(pad, false), only(0, false));
    kiln_headless::setJoyButton(0, 0, false);
    kiln_headless::setJoyButton(0, 1, true);
    Kiln_waitFrame(16);
    EXPECT_EQ(answers(pad, false), only(1, true));
    kiln_headless::setJoyButton(0, 1, false);

    struct Stick {
        int16_t x, y;
        int button;
    };
    const Stick sticks[] = {{-32768, 0, 2}, {0, -32768, 3}, {32767, 0, 4}, {0, 32767, 5}};
    for (const Stick& stick : sticks) {
        kiln_headless::setJoyAxes(0, stick.x, stick.y);
        Kiln_waitFrame(16);
        EXPECT_EQ(answers(pad, false), only(stick.button, true)) << "stick " << stick.x << "," << stick.y;
        kiln_headless::setJoyAxes(0, 0, 0);
        Kiln_waitFrame(16);
    }

    // Exactly at the threshold is not a direction.
    kiln_headless::setJoyAxes(0, 26214, -26214);
    Kiln_waitFrame(16);
    EXPECT_EQ(answers(pad, false), NOTHING);
}

TEST_F(KeypadLive, StickSweptAcrossTriggersTheNewDirection) {
    start({0});
    Keypad pad(0);
    kiln_headless::setJoyAxes(0, -32768, 0);
    Kiln_waitFrame(16);
    kiln_headless::setJoyAxes(0, 32767, 0);
    Kiln_waitFrame(16);
    EXPECT_EQ(answers(pad, false), only(4, true));
}

TEST_F(KeypadLive, KeyAndJoystickButtonEachGiveTheirOwnEdge) {
    start({0});
    Keypad pad(0);
    frameWithKeys({KEY_z});
    frameWithKeys({KEY_z});
    EXPECT_FALSE(pad.isTriggerA(false));
    kiln_headless::setJoyButton(0, 0, true);  // goes down while Z is held
    frameWithKeys({KEY_z});
    EXPECT_TRUE(pad.isTriggerA(false));
    frameWithKeys({KEY_z});
    EXPECT_TRUE(pad.isPressA(false));
    EXPECT_FALSE(pad.isTriggerA(false));
    frameWithKeys({});  // only the joystick button is still held
    EXPECT_TRUE(pad.isPressA(false));
    EXPECT_FALSE(pad.isTriggerA(false));
}

TEST_F(KeypadLive, WithoutAJoystickOnlyTheKeyboardCounts) {
    start();
    Keypad pad(0);
    kiln_headless::setJoyButton(0, 0, true);  // no device in slot 0: ignored
    frameWithKeys({KEY_UP});
    EXPECT_EQ(answers(pad, false), only(3, true));
}

TEST_F(KeypadLive, ASecondJoysticksPadIgnoresTheKeyboard) {
    start({0, 1});
    Keypad second(1);
    frameWithKeys({KEY_z, KEY_x, KEY_LEFT, KEY_UP, KEY_RIGHT, KEY_DOWN});
    EXPECT_EQ(answers(second, false), NOTHING);
    kiln_headless::setJoyButton(0, 1, true);  // the first joystick is not this pad's
    kiln_headless::setJoyButton(1, 0, true);
    Kiln_waitFrame(16);
    EXPECT_EQ(answers(second, false), only(0, true));
}

TEST_F(KeypadLive, ControllersPluggedInLaterFeedThePlayersPad) {
    start();
    Keypad pad(0);
    const int blue = kiln_headless::connectController("Blue Pad", true);
    const int old = kiln_headless::connectController("Old Stick", false, 2);
    Kiln_waitFrame(16);  // both are opened in this frame
    kiln_headless::setControllerInput(blue, CONTROLLER_SOUTH, true);
    Kiln_waitFrame(16);
    EXPECT_EQ(answers(pad, false), only(0, true));
    kiln_headless::setControllerInput(blue, CONTROLLER_SOUTH, false);
    kiln_headless::setJoyButton(old, 1, true);  // an unmapped device's button 1 is B
    Kiln_waitFrame(16);
    EXPECT_EQ(answers(pad, false), only(1, true));
    kiln_headless::setJoyButton(old, 1, false);

    const std::pair<KilnControllerInput, int> dpad[] = {
        {CONTROLLER_DPAD_LEFT, 2}, {CONTROLLER_DPAD_UP, 3}, {CONTROLLER_DPAD_RIGHT, 4}, {CONTROLLER_DPAD_DOWN, 5}};
    for (const auto& [input, button] : dpad) {
        kiln_headless::setControllerInput(blue, input, true);
        Kiln_waitFrame(16);
        EXPECT_EQ(answers(pad, false), only(button, true)) << "D-pad input " << input;
        kiln_headless::setControllerInput(blue, input, false);
        Kiln_waitFrame(16);
    }
    // Start is the pause, and nothing else.
    kiln_headless::setControllerInput(blue, CONTROLLER_START, true);
    Kiln_waitFrame(16);
    EXPECT_EQ(answers(pad, false), NOTHING);
    EXPECT_TRUE(pad.isTriggerPause());
    Kiln_waitFrame(16);
    EXPECT_FALSE(pad.isTriggerPause());
}

TEST_F(KeypadLive, TheRecordingTakesAControllersButtonsLikeKeys) {
    start();
    Keypad pad(0);
    const int blue = kiln_headless::connectController("Blue Pad", true);
    Kiln_waitFrame(16);
    kiln_headless::setControllerStick(blue, 0, -32768);
    Kiln_waitFrame(16);
    pad.update();
    EXPECT_TRUE(pad.stateAt(1).pressUp);
    EXPECT_TRUE(pad.stateAt(1).triggerUp);
    EXPECT_FALSE(pad.stateAt(1).pressA);
}

TEST_F(KeypadLive, AnotherJoysticksPadSeesNeitherTheControllersNorTheirStart) {
    start({0, 1});
    Keypad second(1);
    const int blue = kiln_headless::connectController("Blue Pad", true);
    Kiln_waitFrame(16);
    kiln_headless::setControllerInput(blue, CONTROLLER_SOUTH, true);
    kiln_headless::setControllerInput(blue, CONTROLLER_START, true);
    Kiln_waitFrame(16);
    EXPECT_EQ(answers(second, false), NOTHING);
    EXPECT_FALSE(second.isTriggerPause());
}

TEST_F(KeypadLive, BoundKeysFeedTheirButtonsAndTheRecordingHoldsOnlyButtons) {
    start();
    ASSERT_EQ(Kiln_bindKey(PAD_UP, KEY_w), BIND_DONE);
    ASSERT_EQ(Kiln_bindKey(PAD_A, 'j'), BIND_DONE);
    Keypad pad(0);
    frameWithKeys({KEY_w});
    EXPECT_EQ(answers(pad, false), only(3, true)) << "W is UP";
    pad.update();
    frameWithKeys({KEY_UP});
    EXPECT_EQ(answers(pad, false), NOTHING) << "the arrow left UP";
    frameWithKeys({'j'});
    EXPECT_EQ(answers(pad, false), only(0, true)) << "J is A";
    frameWithKeys({KEY_z});
    EXPECT_EQ(answers(pad, false), NOTHING) << "Z left A";
    // The recorded frame is the logical button, whatever key flew it.
    EXPECT_TRUE(pad.stateAt(1).pressUp);
    EXPECT_TRUE(pad.stateAt(1).triggerUp);
    EXPECT_FALSE(pad.stateAt(1).pressA);
}

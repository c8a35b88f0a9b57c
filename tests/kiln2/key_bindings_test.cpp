// The player's key bindings: refusals, the translation of physical keys into
// the keys the game reads, the second keys of A and B, the key names of
// "config.ini", and Escape kept for a scene that waits for a key.
#include "kiln_test_support.h"

using namespace kiln_test;

namespace {

class KeyBindings : public HeadlessTest {
protected:
    void SetUp() override { start(noFiles()); }

    // Holds key for one frame, then lets every key go for the next.
    static void tap(int key) {
        kiln_headless::setKey(key, true);
        frame();
    }
};

TEST_F(KeyBindings, DefaultsAreTheArrowsZAndX) {
    EXPECT_EQ(Kiln_getBoundKey(PAD_UP), KEY_UP);
    EXPECT_EQ(Kiln_getBoundKey(PAD_DOWN), KEY_DOWN);
    EXPECT_EQ(Kiln_getBoundKey(PAD_LEFT), KEY_LEFT);
    EXPECT_EQ(Kiln_getBoundKey(PAD_RIGHT), KEY_RIGHT);
    EXPECT_EQ(Kiln_getBoundKey(PAD_A), KEY_z);
    EXPECT_EQ(Kiln_getBoundKey(PAD_B), KEY_x);
    EXPECT_EQ(Kiln_getBoundKey(PAD_PAUSE), -1) << "Start is no key's to drive";
}

TEST_F(KeyBindings, ABoundKeyReadsAsItsButtonsOwnKeyAndTheOldKeyGoesQuiet) {
    ASSERT_EQ(Kiln_bindKey(PAD_UP, KEY_w), BIND_DONE);
    tap(KEY_w);
    EXPECT_TRUE(Kiln_isKeyPressed(KEY_UP)) << "W now flies up";
    EXPECT_TRUE(Kiln_isKeyPushed(KEY_UP));
    kiln_headless::releaseAllKeys();
    tap(KEY_UP);
    EXPECT_FALSE(Kiln_isKeyPressed(KEY_UP)) << "the arrow no longer drives UP";
}

TEST_F(KeyBindings, AKeyHeldWhileItIsBoundIsNotPushedInTheNextFrame) {
    tap(KEY_w);
    ASSERT_EQ(Kiln_bindKey(PAD_UP, KEY_w), BIND_DONE);
    frame();  // W still held
    EXPECT_TRUE(Kiln_isKeyPressed(KEY_UP));
    EXPECT_FALSE(Kiln_isKeyPushed(KEY_UP)) << "the press that chose W is not a second press";
    kiln_headless::releaseAllKeys();
    frame();
    tap(KEY_w);
    EXPECT_TRUE(Kiln_isKeyPushed(KEY_UP));
}

TEST_F(KeyBindings, TwoButtonsSwappedThroughAThirdKeyEachReadTheirNewKey) {
    ASSERT_EQ(Kiln_bindKey(PAD_A, 'q'), BIND_DONE);
    ASSERT_EQ(Kiln_bindKey(PAD_UP, KEY_z), BIND_DONE) << "Z is free once A left it";
    tap(KEY_z);
    EXPECT_TRUE(Kiln_isKeyPressed(KEY_UP));
    EXPECT_FALSE(Kiln_isKeyPressed(KEY_z)) << "physical Z must not also read as A";
    kiln_headless::releaseAllKeys();
    tap('q');
    EXPECT_TRUE(Kiln_isKeyPressed(KEY_z)) << "Q reads as A's own key";
    EXPECT_FALSE(Kiln_isKeyPressed(KEY_UP));
}

TEST_F(KeyBindings, AKeyOfAnotherButtonIsRefusedAndNothingChanges) {
    EXPECT_EQ(Kiln_bindKey(PAD_UP, KEY_z), BIND_TAKEN);
    EXPECT_EQ(Kiln_bindKey(PAD_B, KEY_DOWN), BIND_TAKEN);
    EXPECT_EQ(Kiln_getBoundKey(PAD_UP), KEY_UP);
    EXPECT_EQ(Kiln_getBoundKey(PAD_B), KEY_x);
    EXPECT_EQ(Kiln_bindKey(PAD_UP, KEY_UP), BIND_DONE) << "a button's own key is no duplicate";
}

TEST_F(KeyBindings, SystemKeysMuteOptionsAndUnknownCodesAreRefused) {
    for (int key : {int(KEY_ESCAPE), int(KEY_F4), int(KEY_F5), int(KEY_F9), int(KEY_F10), int(KEY_F12), int(KEY_m),
                    int(KEY_o)}) {
        EXPECT_EQ(Kiln_bindKey(PAD_A, key), BIND_RESERVED) << Kiln_keyName(key);
    }
    EXPECT_EQ(Kiln_bindKey(PAD_A, 200), BIND_NO_KEY) << "a code without a key";
    EXPECT_EQ(Kiln_bindKey(PAD_A, -1), BIND_NO_KEY);
    EXPECT_EQ(Kiln_bindKey(PAD_A, KILN_KEY_COUNT), BIND_NO_KEY);
    EXPECT_EQ(Kiln_bindKey(PAD_PAUSE, KEY_w), BIND_NO_KEY);
    EXPECT_EQ(Kiln_getBoundKey(PAD_A), KEY_z);
}

TEST_F(KeyBindings, SettingAllSixRefusesASharedKeyAsAWhole) {
    std::array<int, KILN_BINDABLE_BUTTONS> keys = {'j', 'k', 'a', 'w', 'd', 's'};
    ASSERT_EQ(Kiln_setKeyBindings(keys), BIND_DONE);
    EXPECT_EQ(Kiln_getBoundKey(PAD_UP), KEY_w);
    keys = {'j', 'j', 'a', 'w', 'd', 's'};
    EXPECT_EQ(Kiln_setKeyBindings(keys), BIND_TAKEN);
    EXPECT_EQ(Kiln_getBoundKey(PAD_B), 'k') << "a refused set leaves the last one in force";
    keys = {'j', 'k', 'a', KEY_ESCAPE, 'd', 's'};
    EXPECT_EQ(Kiln_setKeyBindings(keys), BIND_RESERVED);
    Kiln_resetKeyBindings();
    EXPECT_EQ(Kiln_getBoundKey(PAD_UP), KEY_UP);
}

TEST_F(KeyBindings, SpaceAndReturnDriveAAndBUntilABindingTakesThem) {
    tap(KEY_SPACE);
    EXPECT_TRUE(Kiln_isKeyPressed(KEY_SPACE)) << "Space is still a second A";
    kiln_headless::releaseAllKeys();
    frame();
    ASSERT_EQ(Kiln_bindKey(PAD_UP, KEY_SPACE), BIND_DONE);
    tap(KEY_SPACE);
    EXPECT_TRUE(Kiln_isKeyPressed(KEY_UP));
    EXPECT_FALSE(Kiln_isKeyPressed(KEY_SPACE)) << "Space bound to UP must not also fire A";
    kiln_headless::releaseAllKeys();
    tap(KEY_RETURN);
    EXPECT_TRUE(Kiln_isKeyPressed(KEY_RETURN)) << "Return is untouched";
}

TEST_F(KeyBindings, ThePushedPhysicalKeyIsTheKeyboardsNotTheTranslation) {
    ASSERT_EQ(Kiln_bindKey(PAD_UP, KEY_w), BIND_DONE);
    frame();
    EXPECT_EQ(Kiln_getPushedPhysicalKey(), -1);
    tap(KEY_w);
    EXPECT_EQ(Kiln_getPushedPhysicalKey(), KEY_w);
    frame();
    EXPECT_EQ(Kiln_getPushedPhysicalKey(), -1) << "held, not pushed again";
}

TEST_F(KeyBindings, NamesReadBackToTheirKeysWhateverTheCase) {
    EXPECT_STREQ(Kiln_keyName(KEY_UP), "Up");
    EXPECT_STREQ(Kiln_keyName(KEY_w), "W");
    EXPECT_STREQ(Kiln_keyName(304), "Left Shift");
    EXPECT_STREQ(Kiln_keyName(200), "");
    EXPECT_EQ(Kiln_keyFromName("Left Shift"), 304);
    EXPECT_EQ(Kiln_keyFromName("left shift"), 304);
    EXPECT_EQ(Kiln_keyFromName("Space"), KEY_SPACE);
    EXPECT_EQ(Kiln_keyFromName("Keypad 7"), 263);
    EXPECT_EQ(Kiln_keyFromName("Shift"), -1);
    EXPECT_EQ(Kiln_keyFromName(""), -1);
    for (int key = 0; key < KILN_KEY_COUNT; ++key) {
        const std::string name = Kiln_keyName(key);
        if (!name.empty()) {
            EXPECT_EQ(Kiln_keyFromName(name), key) << name;
        }
    }
}

TEST_F(KeyBindings, EscapeKeptForTheSceneDoesNotQuitUntilGivenBack) {
    Kiln_keepEscapeForScene(true);
    kiln_headless::setKey(KEY_ESCAPE, true);
    EXPECT_NO_THROW(frame());
    EXPECT_TRUE(Kiln_isKeyPushed(KEY_ESCAPE)) << "the scene reads it";
    Kiln_keepEscapeForScene(false);
    EXPECT_THROW(frame(), KilnQuit);
}

TEST_F(KeyBindings, MTypesAnMWhileTypingIsKeptAndMutesOnceGivenBack) {
    Kiln_keepTypingForScene(true);
    kiln_headless::setKey(KEY_m, true);
    frame();
    EXPECT_FALSE(Kiln_isMuted());
    EXPECT_EQ(Kiln_getPushedPhysicalKey(), KEY_m) << "the scene reads it";
    kiln_headless::setKey(KEY_m, false);
    frame();
    Kiln_keepTypingForScene(false);
    kiln_headless::setKey(KEY_m, true);
    frame();
    EXPECT_TRUE(Kiln_isMuted());
}

}  // namespace

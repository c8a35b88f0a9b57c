// Recording frame by frame, the recording masks, and answering from a replay.
#include "keypad/keypad.h"

#include <filesystem>

#include "kiln_fixture.h"
#include "replay_helpers.h"

namespace {

const std::array<bool, 12> RELEASED{};

}  // namespace

using KeypadRecording = KilnInputTest;

TEST_F(KeypadRecording, AFreshKeypadRecordsFromFrameOne) {
    start();
    Keypad pad(0);
    EXPECT_EQ(pad.getMode(), Keypad::RECORD);
    EXPECT_EQ(pad.getFrame(), 0);
    EXPECT_EQ(pad.getFrameCount(), 0);
    EXPECT_FALSE(pad.isRecordingFull());

    frameWithKeys({KEY_UP});
    pad.update();
    frameWithKeys({KEY_UP, KEY_z});
    pad.update();
    frameWithKeys({});
    pad.update();

    EXPECT_EQ(pad.getFrame(), 3);
    EXPECT_EQ(pad.getFrameCount(), 4);
    EXPECT_EQ(flagsOf(pad.stateAt(0)), RELEASED);
    //                                  A      B      L      U      R      D      tA     tB     tL     tU     tR     tD
    EXPECT_EQ(flagsOf(pad.stateAt(1)), (std::array<bool, 12>{0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0}));
    EXPECT_EQ(flagsOf(pad.stateAt(2)), (std::array<bool, 12>{1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 0}));
    EXPECT_EQ(flagsOf(pad.stateAt(3)), RELEASED);
    EXPECT_EQ(flagsOf(pad.stateAt(4)), RELEASED);
    EXPECT_THROW(pad.stateAt(REPLAY_CAPACITY), std::out_of_range);
    EXPECT_THROW(pad.stateAt(-1), std::out_of_range);
}

TEST_F(KeypadRecording, AMaskedButtonStaysLiveButIsNotRecorded) {
    start();
    Keypad pad(0);
    pad.setEnableB(false);
    frameWithKeys({KEY_x, KEY_DOWN});
    pad.update();
    EXPECT_TRUE(pad.isPressB(false));
    EXPECT_TRUE(pad.isTriggerB(false));
    EXPECT_FALSE(pad.stateAt(1).pressB);
    EXPECT_FALSE(pad.stateAt(1).triggerB);
    EXPECT_TRUE(pad.stateAt(1).pressDown);
    EXPECT_TRUE(pad.stateAt(1).triggerDown);
}

TEST_F(KeypadRecording, EachMaskTakesOnlyItsOwnButtonOutOfTheRecording) {
    start();
    auto maskOff = [](Keypad& pad, int button) {
        switch (button) {
            case 0: pad.setEnableA(false); break;
            case 1: pad.setEnableB(false); break;
            case 2: pad.setEnableLeft(false); break;
            case 3: pad.setEnableUp(false); break;
            case 4: pad.setEnableRight(false); break;
            default: pad.setEnableDown(false); break;
        }
    };
    for (int masked = 0; masked < 6; ++masked) {
        Keypad pad(0);
        maskOff(pad, masked);
        frameWithKeys({});
        frameWithKeys({KEY_z, KEY_x, KEY_LEFT, KEY_UP, KEY_RIGHT, KEY_DOWN});
        pad.update();
        std::array<bool, 12> expected;
        expected.fill(true);
        expected[masked] = false;
        expected[6 + masked] = false;
        EXPECT_EQ(flagsOf(pad.stateAt(1)), expected) << "mask " << masked;
    }
}

TEST_F(KeypadRecording, PlaybackAnswersFromTheFileUnlessForcedLive) {
    start();
    TempDir dir;
    const std::string file = dir.file("replay.bin");
    // Frame 1: A went down; frame 2: A held, UP went down.
    writeText(file, littleEndian({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  //
                                  1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0,  //
                                  1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0}));
    Keypad pad(0);
    ASSERT_TRUE(pad.load(file));
    EXPECT_EQ(pad.getMode(), Keypad::PLAYBACK);
    EXPECT_EQ(pad.getFrameCount(), 3);

    frameWithKeys({KEY_DOWN});
    pad.update();
    EXPECT_TRUE(pad.isTriggerA(false));
    EXPECT_FALSE(pad.isTriggerA(true));  // the live keyboard has no A
    EXPECT_FALSE(pad.isPressDown(false));
    EXPECT_TRUE(pad.isPressDown(true));

    frameWithKeys({KEY_z});
    pad.update();
    EXPECT_TRUE(pad.isPressUp(false));
    EXPECT_TRUE(pad.isTriggerUp(false));
    EXPECT_FALSE(pad.isTriggerA(false));
    EXPECT_TRUE(pad.isTriggerA(true));
    EXPECT_EQ(flagsOf(pad.stateAt(2)), (std::array<bool, 12>{1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0}));
}

TEST_F(KeypadRecording, PlaybackHoldsTheLastFrameOnceTheRecordingRunsOut) {
    start();
    TempDir dir;
    const std::string file = dir.file("replay.bin");
    writeText(file, littleEndian({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  //
                                  0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1}));
    Keypad pad(0);
    ASSERT_TRUE(pad.load(file));
    for (int i = 0; i < 5; ++i) {
        pad.update();
        EXPECT_EQ(pad.getFrame(), 1);
        EXPECT_TRUE(pad.isPressDown(false));
        EXPECT_TRUE(pad.isTriggerDown(false));
    }
    EXPECT_FALSE(pad.isRecordingFull());
}

TEST_F(KeypadRecording, AnEmptyReplayAnswersEverythingReleased) {
    start();
    TempDir dir;
    const std::string file = dir.file("empty.bin");
    writeText(file, "");
    Keypad pad(0);
    EXPECT_TRUE(pad.load(file));
    EXPECT_EQ(pad.getFrameCount(), 0);
    EXPECT_EQ(pad.getMode(), Keypad::PLAYBACK);
    for (int i = 0; i < 3; ++i) {
        frameWithKeys({KEY_z, KEY_UP});
        pad.update();
        EXPECT_EQ(pad.getFrame(), 0);
        EXPECT_FALSE(pad.isPressA(false));
        EXPECT_FALSE(pad.isTriggerUp(false));
        EXPECT_TRUE(pad.isPressUp(true));
    }
}

TEST_F(KeypadRecording, AReplayReproducesTheRecordedRunFrameByFrame) {
    start();
    TempDir dir;
    const std::string file = dir.file("run.bin");
    // Keys held in each frame, and keys tapped (down and up again) before it.
    struct Frame {
        std::vector<int> held, tapped;
    };
    const std::vector<Frame> input = {{{KEY_UP}, {}}, {{KEY_UP, KEY_SPACE}, {}}, {{}, {KEY_z}},
                                      {{KEY_LEFT}, {KEY_RIGHT}}, {{KEY_x}, {}}, {{KEY_DOWN}, {}}};
    Keypad recorder(0);
    recorder.setEnableB(false);
    for (const Frame& frame : input) {
        kiln_headless::releaseAllKeys();
        for (int key : frame.tapped) {
            kiln_headless::setKey(key, true);
            kiln_headless::setKey(key, false);
        }
        for (int key : frame.held) kiln_headless::setKey(key, true);
        Kiln_waitFrame(16);
        recorder.update();
    }
    // A tap between two frames is recorded as a press of one frame.
    EXPECT_TRUE(recorder.stateAt(3).pressA && recorder.stateAt(3).triggerA);
    EXPECT_TRUE(recorder.stateAt(4).pressRight && recorder.stateAt(4).triggerRight);
    EXPECT_FALSE(recorder.stateAt(4).pressA);
    ASSERT_TRUE(recorder.save(file));
    EXPECT_EQ(std::filesystem::file_size(file), 24u * (input.size() + 2));

    Keypad player(0);
    ASSERT_TRUE(player.load(file));
    EXPECT_EQ(player.getFrameCount(), static_cast<int>(input.size()) + 2);
    frameWithKeys({KEY_z, KEY_x, KEY_RIGHT});  // the live keyboard must not leak into the replay
    auto answers = [&] {
        return std::array<bool, 12>{player.isPressA(false),     player.isPressB(false),     player.isPressLeft(false),
                                    player.isPressUp(false),    player.isPressRight(false), player.isPressDown(false),
                                    player.isTriggerA(false),   player.isTriggerB(false),   player.isTriggerLeft(false),
                                    player.isTriggerUp(false),  player.isTriggerRight(false), player.isTriggerDown(false)};
    };
    EXPECT_EQ(answers(), RELEASED);  // frame 0 is never asked in a run, and is released
    for (size_t n = 1; n <= input.size(); ++n) {
        player.update();
        EXPECT_EQ(answers(), flagsOf(recorder.stateAt(static_cast<int>(n)))) << "frame " << n;
    }
    EXPECT_TRUE(player.isPressDown(false));
    for (int extra = 0; extra < 3; ++extra) {
        player.update();
        EXPECT_EQ(answers(), RELEASED);
    }
    // B was masked: the X frame holds nothing.
    EXPECT_EQ(flagsOf(player.stateAt(5)), RELEASED);
}

// The mouse recorder: sampling, the click edge, playback and its file.
#include "keypad/mouse_recorder.h"

#include <filesystem>

#include "kiln_fixture.h"
#include "replay_helpers.h"

namespace {

struct Sample {
    int x, y;
    uint8_t buttons;
};

void recordFrame(MouseRecorder& recorder, const Sample& sample) {
    kiln_headless::setMouse(sample.x, sample.y, sample.buttons);
    Kiln_waitFrame(16);
    recorder.update();
}

}  // namespace

using MouseRecording = KilnInputTest;

TEST_F(MouseRecording, BeforeTheFirstUpdateEverythingIsZero) {
    start();
    kiln_headless::setMouse(100, 200, 1);
    Kiln_waitFrame(16);
    MouseRecorder recorder;
    EXPECT_EQ(recorder.getMode(), MouseRecorder::RECORD);
    EXPECT_EQ(recorder.getX(), 0);
    EXPECT_EQ(recorder.getY(), 0);
    EXPECT_EQ(recorder.getButton(), 0);
    EXPECT_FALSE(recorder.isClicked());
}

TEST_F(MouseRecording, GettersAnswerThisFramesSample) {
    start();
    MouseRecorder recorder;
    recordFrame(recorder, {10, 20, 0});
    EXPECT_EQ(recorder.getX(), 10);
    EXPECT_EQ(recorder.getY(), 20);
    recordFrame(recorder, {30, 40, 4});
    EXPECT_EQ(recorder.getX(), 30);
    EXPECT_EQ(recorder.getY(), 40);
    EXPECT_EQ(recorder.getButton(), 4);
    EXPECT_EQ(recorder.getFrame(), 2);
    EXPECT_EQ(recorder.getFrameCount(), 3);
}

TEST_F(MouseRecording, AClickIsTheFirstFrameOfTheLeftButtonAfterNoButton) {
    start();
    MouseRecorder recorder;
    recordFrame(recorder, {0, 0, 1});
    EXPECT_TRUE(recorder.isClicked());
    recordFrame(recorder, {0, 0, 1});
    EXPECT_FALSE(recorder.isClicked());
    recordFrame(recorder, {0, 0, 1});
    EXPECT_FALSE(recorder.isClicked());
    recordFrame(recorder, {0, 0, 0});
    EXPECT_FALSE(recorder.isClicked());
    recordFrame(recorder, {0, 0, 4});  // right button first
    EXPECT_FALSE(recorder.isClicked());
    recordFrame(recorder, {0, 0, 5});  // then left, with right still held
    EXPECT_FALSE(recorder.isClicked());
    recordFrame(recorder, {0, 0, 0});
    recordFrame(recorder, {0, 0, 1});
    EXPECT_TRUE(recorder.isClicked());
}

TEST_F(MouseRecording, AFileRoundTripKeepsNegativeCoordinatesAndCutsTo16Bits) {
    start();
    TempDir dir;
    const std::string file = dir.file("mouse.bin");
    MouseRecorder recorder;
    const Sample samples[] = {{-5, -300, 0}, {40000, 7, 1}, {639, 479, 1}};
    for (const Sample& sample : samples) recordFrame(recorder, sample);
    EXPECT_TRUE(recorder.save(file));
    EXPECT_FALSE(std::filesystem::exists(file + ".tmp"));
    EXPECT_EQ(valuesIn(file),
              (std::vector<int16_t>{0, 0, 0, -5, -300, 0, -25536, 7, 1, 639, 479, 1, 0, 0, 0}));

    MouseRecorder player;
    EXPECT_TRUE(player.load(file));
    EXPECT_EQ(player.getMode(), MouseRecorder::PLAYBACK);
    EXPECT_EQ(player.getFrameCount(), 5);
    player.update();
    EXPECT_EQ(player.getX(), -5);
    EXPECT_EQ(player.getY(), -300);
    player.update();
    EXPECT_EQ(player.getX(), -25536);
    EXPECT_TRUE(player.isClicked());
    player.update();
    EXPECT_FALSE(player.isClicked());
    for (int i = 0; i < 3; ++i) player.update();
    EXPECT_EQ(player.getFrame(), 4);  // held on the last, released frame
    EXPECT_EQ(player.getButton(), 0);

    player.setMode(MouseRecorder::PLAYBACK);
    EXPECT_EQ(player.getFrame(), 0);
    player.update();
    EXPECT_EQ(player.getY(), -300);
}

// Past its last record a playback stays on that record, every frame after,
// whatever it holds: here a place and a button that are not zero.
TEST_F(MouseRecording, PlaybackPastTheLastRecordHoldsItInEveryFrame) {
    start();
    TempDir dir;
    const std::string file = dir.file("held.bin");
    writeText(file, littleEndian({1, 2, 0, 30, 40, 1, 50, 60, 4}));
    MouseRecorder player;
    ASSERT_TRUE(player.load(file));
    for (int i = 0; i < 2; ++i) player.update();
    for (int i = 0; i < 4; ++i) {
        player.update();
        EXPECT_EQ(player.getFrame(), 2) << "update " << i << " past the end";
        EXPECT_EQ(player.getX(), 50) << "update " << i << " past the end";
        EXPECT_EQ(player.getY(), 60) << "update " << i << " past the end";
        EXPECT_EQ(player.getButton(), 4) << "update " << i << " past the end";
    }
}

TEST_F(MouseRecording, AnEmptyFilePlaysBackAsNothing) {
    start();
    TempDir dir;
    const std::string file = dir.file("empty.bin");
    writeText(file, "");
    MouseRecorder player;
    EXPECT_TRUE(player.load(file));
    EXPECT_EQ(player.getFrameCount(), 0);
    for (int i = 0; i < 3; ++i) {
        player.update();
        EXPECT_EQ(player.getFrame(), 0);
        EXPECT_EQ(player.getX(), 0);
        EXPECT_FALSE(player.isClicked());
    }
}

TEST_F(MouseRecording, ACutFileLoadsTheCompleteRecordsAndLogs) {
    start();
    TempDir dir;
    const std::string file = dir.file("cut.bin");
    writeText(file, littleEndian({3, 4, 1, 9}));
    MouseRecorder player;
    testing::internal::CaptureStdout();
    const bool complete = player.load(file);
    const std::string logged = testing::internal::GetCapturedStdout();
    EXPECT_FALSE(complete);
    EXPECT_EQ(player.getFrameCount(), 1);
    EXPECT_EQ(logged, "MouseRecorder.load(): " + file + ": file ends inside a mouse record\n");
    EXPECT_EQ(player.getX(), 3);
    EXPECT_THROW(player.load(dir.file("absent.bin")), std::runtime_error);
}

TEST_F(MouseRecording, RecordingStopsWhereTheFileCanStillBeSaved) {
    start();
    TempDir dir;
    MouseRecorder recorder;
    kiln_headless::setMouse(1, 2, 0);
    Kiln_waitFrame(16);
    for (int n = 0; n < MouseRecorder::MAX_RECORDED_FRAMES + 5; ++n) recorder.update();
    EXPECT_TRUE(recorder.isRecordingFull());
    EXPECT_EQ(recorder.getFrame(), 35998);
    EXPECT_EQ(recorder.getFrameCount(), 35999);
    EXPECT_EQ(recorder.stateAt(35999).x, 0);
    const std::string file = dir.file("mouse.bin");
    recorder.save(file);
    EXPECT_EQ(std::filesystem::file_size(file), 6u * REPLAY_CAPACITY);
    MouseRecorder player;
    EXPECT_TRUE(player.load(file));
    EXPECT_EQ(player.getFrameCount(), REPLAY_CAPACITY);
    EXPECT_EQ(player.stateAt(35998).y, 2);
}

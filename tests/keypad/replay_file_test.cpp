// The replay file: its bytes, loading damaged files, failing saves, and the
// longest recording that can still be saved.
#include "keypad/keypad.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>

#include <sys/resource.h>

#include "kiln_fixture.h"
#include "replay_helpers.h"

namespace {

std::string record(std::initializer_list<int16_t> twelve) { return littleEndian(std::vector<int16_t>(twelve)); }

const std::string ZERO_RECORD(24, '\0');

std::string loadErrorOf(Keypad& pad, const std::string& file) {
    try {
        pad.load(file);
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "(no error)";
}

std::string saveErrorOf(Keypad& pad, const std::string& file) {
    try {
        pad.save(file);
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "(no error)";
}

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace

using ReplayFile = KilnInputTest;

TEST_F(ReplayFile, SavedRecordsAreTwelveLittleEndianFlagsFramedByReleasedRecords) {
    start();
    TempDir dir;
    Keypad pad(0);
    frameWithKeys({KEY_UP});
    pad.update();
    frameWithKeys({KEY_UP, KEY_RETURN});
    pad.update();
    const std::string file = dir.file("replay_00.bin");
    EXPECT_TRUE(pad.save(file));
    EXPECT_EQ(readText(file), ZERO_RECORD +                                     //
                                  record({0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0}) +  //
                                  record({0, 1, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0}) +  //
                                  ZERO_RECORD);
    EXPECT_FALSE(std::filesystem::exists(file + ".tmp"));
    // Saving changes nothing in the keypad.
    EXPECT_EQ(pad.getFrameCount(), 3);
    EXPECT_EQ(pad.getMode(), Keypad::RECORD);
}

TEST_F(ReplayFile, ARecordingOfNFramesSavesNPlusTwoRecords) {
    start();
    TempDir dir;
    Keypad untouched(0);
    untouched.save(dir.file("none.bin"));
    EXPECT_EQ(std::filesystem::file_size(dir.file("none.bin")), 24u);  // frameCount 0: entry 0 only
    for (int n : {1, 17, 300}) {
        Keypad pad(0);
        for (int i = 0; i < n; ++i) pad.update();
        const std::string file = dir.file("n.bin");
        pad.save(file);
        EXPECT_EQ(std::filesystem::file_size(file), 24u * static_cast<unsigned>(n + 2)) << n;
    }
}

TEST_F(ReplayFile, SavingTwiceLeavesOnlyTheSecondRecording) {
    start();
    TempDir dir;
    const std::string file = dir.file("replay_01.bin");
    Keypad longer(0);
    frameWithKeys({KEY_z});
    for (int i = 0; i < 10; ++i) longer.update();
    longer.save(file);
    Keypad shorter(0);
    frameWithKeys({KEY_DOWN});
    shorter.update();
    shorter.save(file);
    EXPECT_EQ(readText(file), ZERO_RECORD + record({0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1}) + ZERO_RECORD);
}

TEST_F(ReplayFile, AnyNonZeroValueReadsAsTrue) {
    start();
    TempDir dir;
    const std::string file = dir.file("odd_values.bin");
    writeText(file, record({2, -1, 0, 256, 0, 0, -32768, 0, 0, 0, 0, 1}));
    Keypad pad(0);
    ASSERT_TRUE(pad.load(file));
    EXPECT_EQ(flagsOf(pad.stateAt(0)), (std::array<bool, 12>{1, 1, 0, 1, 0, 0, 1, 0, 0, 0, 0, 1}));
}

TEST_F(ReplayFile, AFileEndingInsideARecordLoadsTheCompleteOnesAndLogs) {
    start();
    TempDir dir;
    const std::string file = dir.file("replay_00.bin");
    writeText(file, record({1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}) + std::string(1, '\1'));
    Keypad pad(0);
    testing::internal::CaptureStdout();
    const bool complete = pad.load(file);
    const std::string logged = testing::internal::GetCapturedStdout();
    EXPECT_FALSE(complete);
    EXPECT_EQ(pad.getFrameCount(), 1);
    EXPECT_EQ(pad.getMode(), Keypad::PLAYBACK);
    EXPECT_TRUE(pad.stateAt(0).pressA);
    EXPECT_EQ(logged, "Keypad.load(): " + file + ": file ends inside a frame record\n");
}

TEST_F(ReplayFile, FieldsOfAnIncompleteRecordAreReadButNotCounted) {
    start();
    TempDir dir;
    const std::string file = dir.file("cut.bin");
    writeText(file, ZERO_RECORD + littleEndian({1, 1}));
    Keypad pad(0);
    testing::internal::CaptureStdout();
    EXPECT_FALSE(pad.load(file));
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(pad.getFrameCount(), 1);
    EXPECT_TRUE(pad.stateAt(1).pressA);
    EXPECT_TRUE(pad.stateAt(1).pressB);
    EXPECT_FALSE(pad.stateAt(1).pressLeft);
}

TEST_F(ReplayFile, AFileLongerThanTheBufferLoadsTheFirst36000RecordsAndLogs) {
    start();
    TempDir dir;
    const std::string file = dir.file("long.bin");
    std::string bytes;
    for (int i = 0; i < REPLAY_CAPACITY + 1; ++i) bytes += (i == REPLAY_CAPACITY - 1) ? std::string(24, '\1') : ZERO_RECORD;
    writeText(file, bytes);
    Keypad pad(0);
    testing::internal::CaptureStdout();
    const bool complete = pad.load(file);
    const std::string logged = testing::internal::GetCapturedStdout();
    EXPECT_FALSE(complete);
    EXPECT_EQ(pad.getFrameCount(), REPLAY_CAPACITY);
    EXPECT_TRUE(pad.stateAt(REPLAY_CAPACITY - 1).triggerDown);
    EXPECT_TRUE(contains(logged, "more than 36000 frame records")) << logged;

    // One record less fits exactly.
    bytes.resize(24u * REPLAY_CAPACITY);
    writeText(file, bytes);
    Keypad exact(0);
    EXPECT_TRUE(exact.load(file));
    EXPECT_EQ(exact.getFrameCount(), REPLAY_CAPACITY);
}

TEST_F(ReplayFile, AFileThatCannotBeOpenedLeavesTheKeypadRecording) {
    start();
    TempDir dir;
    Keypad pad(0);
    pad.update();
    pad.update();
    const std::string missing = dir.file("replay_03.bin");
    const std::string message = loadErrorOf(pad, missing);
    EXPECT_EQ(message, "Keypad.load(): " + missing + ": " + std::strerror(ENOENT));
    EXPECT_TRUE(contains(loadErrorOf(pad, dir.path().string()), std::strerror(EISDIR)));
    EXPECT_EQ(pad.getMode(), Keypad::RECORD);
    EXPECT_EQ(pad.getFrameCount(), 3);
}

TEST_F(ReplayFile, SavingIntoAMissingDirectoryFailsWithoutCreatingIt) {
    start();
    TempDir dir;
    Keypad pad(0);
    const std::string file = dir.file("replay/replay_00.bin");
    EXPECT_EQ(saveErrorOf(pad, file), "Keypad.save(): " + file + ": " + std::strerror(ENOENT));
    EXPECT_FALSE(std::filesystem::exists(dir.file("replay")));
}

TEST_F(ReplayFile, AFailedSaveKeepsTheOldReplay) {
    start();
    TempDir dir;
    const std::string file = dir.file("replay_02.bin");
    const std::string old = ZERO_RECORD + record({0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0}) + ZERO_RECORD;
    writeText(file, old);
    Keypad pad(0);
    for (int i = 0; i < 2000; ++i) pad.update();

    // The temporary file cannot be created.
    std::filesystem::create_directories(file + ".tmp/inside");
    EXPECT_TRUE(contains(saveErrorOf(pad, file), std::strerror(EISDIR)));
    EXPECT_EQ(readText(file), old);
    std::filesystem::remove_all(file + ".tmp");

    // Writing stops part way, as on a full disk.
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 1000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string message = saveErrorOf(pad, file);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(message, "Keypad.save(): " + file + ": " + std::strerror(EFBIG));
    EXPECT_EQ(readText(file), old);
    EXPECT_FALSE(std::filesystem::exists(file + ".tmp"));
}

TEST_F(ReplayFile, TheLongestRecordingFillsTheBufferAndLoadsBackEqual) {
    start();
    TempDir dir;
    Keypad pad(0);
    pad.setEnableB(false);
    const int keys[] = {KEY_UP, KEY_z, KEY_DOWN, KEY_x, KEY_LEFT, KEY_RIGHT, KEY_SPACE};
    for (int n = 1; n <= Keypad::MAX_RECORDED_FRAMES; ++n) {
        EXPECT_FALSE(pad.isRecordingFull()) << n;
        kiln_headless::releaseAllKeys();
        for (int k = 0; k < 7; ++k) {
            if ((n >> k) & 1) kiln_headless::setKey(keys[k], true);
        }
        Kiln_waitFrame(16);
        pad.update();
        if (pad.isRecordingFull() != (n == Keypad::MAX_RECORDED_FRAMES)) {
            ADD_FAILURE() << "full after frame " << n;
            break;
        }
    }
    ASSERT_EQ(Keypad::MAX_RECORDED_FRAMES, 35998);
    EXPECT_EQ(pad.getFrame(), 35998);
    EXPECT_EQ(pad.getFrameCount(), 35999);

    // A full recorder neither writes nor moves on.
    frameWithKeys({KEY_UP});
    pad.update();
    EXPECT_EQ(pad.getFrame(), 35998);
    EXPECT_EQ(pad.getFrameCount(), 35999);
    EXPECT_EQ(flagsOf(pad.stateAt(35999)), (std::array<bool, 12>{}));

    const std::string file = dir.file("replay_03.bin");
    ASSERT_TRUE(pad.save(file));
    EXPECT_EQ(std::filesystem::file_size(file), 24u * REPLAY_CAPACITY);

    Keypad player(0);
    ASSERT_TRUE(player.load(file));
    EXPECT_EQ(player.getFrameCount(), REPLAY_CAPACITY);
    int mismatches = 0;
    for (int i = 0; i < REPLAY_CAPACITY; ++i) {
        if (flagsOf(player.stateAt(i)) != flagsOf(pad.stateAt(i))) ++mismatches;
    }
    EXPECT_EQ(mismatches, 0);

    // Played back, the replay reaches the limit on the same frame the run did.
    for (int n = 1; n <= Keypad::MAX_RECORDED_FRAMES; ++n) {
        player.update();
        if (player.isRecordingFull() != (n == Keypad::MAX_RECORDED_FRAMES)) {
            ADD_FAILURE() << "playback full after frame " << n;
            break;
        }
    }
}

// Fuzzes the replay file reader: any bytes as a replay. The keypad must load
// every complete 24-byte record (at most 36000), report false for a partial
// or overlong file, play back without leaving its buffer, and save what it
// loaded so that it reads back the same.
#include <sys/stat.h>

#include <cstdint>

#include "fuzz_support.h"
#include "keypad/keypad.h"
#include "record_input.h"

namespace {

constexpr size_t RECORD_BYTES = 24;
constexpr size_t TILED_BYTES = (REPLAY_CAPACITY + 3) * RECORD_BYTES;

constexpr bool KeypadState::*FIELDS[12] = {
    &KeypadState::pressA,      &KeypadState::pressB,    &KeypadState::pressLeft,   &KeypadState::pressUp,
    &KeypadState::pressRight,  &KeypadState::pressDown, &KeypadState::triggerA,    &KeypadState::triggerB,
    &KeypadState::triggerLeft, &KeypadState::triggerUp, &KeypadState::triggerRight, &KeypadState::triggerDown,
};

bool fieldOf(const KeypadState& state, int field) { return state.*FIELDS[field]; }

// Records worth comparing one by one: all of a short file; of a long one the
// first ones and the last, so a tiled input does not cost seconds per run.
bool checked(size_t index, size_t count) { return index < 512 || index + 1 == count; }

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::quietFramework();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const fuzz::ScratchFile input("replay.bin");
    static const fuzz::ScratchFile saved("replay-saved.bin");
    const std::vector<uint8_t> bytes = fuzz::recordFileBytes(data, size, TILED_BYTES);
    input.write(bytes.data(), bytes.size());

    Keypad keypad(0);
    const bool complete = keypad.load(input.path());
    const size_t records = bytes.size() / RECORD_BYTES;
    const size_t expected = records < REPLAY_CAPACITY ? records : REPLAY_CAPACITY;
    FUZZ_EXPECT(keypad.getMode() == Keypad::PLAYBACK);
    FUZZ_EXPECT(static_cast<size_t>(keypad.getFrameCount()) == expected);
    FUZZ_EXPECT(complete == (bytes.size() % RECORD_BYTES == 0 && records <= REPLAY_CAPACITY));
    for (size_t i = 0; i < expected; ++i) {
        if (!checked(i, expected)) continue;
        for (int field = 0; field < 12; ++field) {
            const bool inFile = fuzz::int16At(bytes, i * RECORD_BYTES + 2 * static_cast<size_t>(field)) != 0;
            FUZZ_EXPECT(fieldOf(keypad.stateAt(static_cast<int>(i)), field) == inFile);
        }
    }

    // Playing past the end stays on the last frame and answers from the buffer.
    for (size_t frame = 0; frame < expected + 2 && frame < 64; ++frame) {
        keypad.update();
        FUZZ_EXPECT(keypad.getFrame() >= 0 && keypad.getFrame() < REPLAY_CAPACITY);
        (void)keypad.isPressUp(false);
        (void)keypad.isTriggerA(false);
    }

    // What was loaded saves as 0/1 flags and reads back equal.
    keypad.save(saved.path());
    struct stat info {};
    FUZZ_EXPECT(::stat(saved.path().c_str(), &info) == 0);
    const size_t savedRecords = expected + 1 < REPLAY_CAPACITY ? expected + 1 : REPLAY_CAPACITY;
    FUZZ_EXPECT(static_cast<size_t>(info.st_size) == savedRecords * RECORD_BYTES);
    Keypad reread(0);
    FUZZ_EXPECT(reread.load(saved.path()));
    for (size_t i = 0; i < expected; ++i) {
        if (!checked(i, expected)) continue;
        for (int field = 0; field < 12; ++field) {
            FUZZ_EXPECT(fieldOf(reread.stateAt(static_cast<int>(i)), field) ==
                        fieldOf(keypad.stateAt(static_cast<int>(i)), field));
        }
    }
    return 0;
}

// Fuzzes the mouse recording reader: any bytes as a mouse file. Every complete
// 6-byte record (at most 36000) must load with its values sign-extended,
// playback must stay inside the buffer, and a save must read back the same.
#include <cstdint>

#include "fuzz_support.h"
#include "keypad/mouse_recorder.h"
#include "record_input.h"

namespace {

constexpr size_t RECORD_BYTES = 6;
constexpr size_t TILED_BYTES = (REPLAY_CAPACITY + 3) * RECORD_BYTES;

// All records of a short file; of a long one the first ones and the last.
bool checked(size_t index, size_t count) { return index < 512 || index + 1 == count; }

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::quietFramework();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const fuzz::ScratchFile input("mouse.bin");
    static const fuzz::ScratchFile saved("mouse-saved.bin");
    const std::vector<uint8_t> bytes = fuzz::recordFileBytes(data, size, TILED_BYTES);
    input.write(bytes.data(), bytes.size());

    MouseRecorder recorder;
    const bool complete = recorder.load(input.path());
    const size_t records = bytes.size() / RECORD_BYTES;
    const size_t expected = records < REPLAY_CAPACITY ? records : REPLAY_CAPACITY;
    FUZZ_EXPECT(recorder.getMode() == MouseRecorder::PLAYBACK);
    FUZZ_EXPECT(static_cast<size_t>(recorder.getFrameCount()) == expected);
    FUZZ_EXPECT(complete == (bytes.size() % RECORD_BYTES == 0 && records <= REPLAY_CAPACITY));
    for (size_t i = 0; i < expected; ++i) {
        if (!checked(i, expected)) continue;
        const MouseState& state = recorder.stateAt(static_cast<int>(i));
        FUZZ_EXPECT(state.x == fuzz::int16At(bytes, i * RECORD_BYTES));
        FUZZ_EXPECT(state.y == fuzz::int16At(bytes, i * RECORD_BYTES + 2));
        FUZZ_EXPECT(state.button == fuzz::int16At(bytes, i * RECORD_BYTES + 4));
    }

    recorder.setMode(MouseRecorder::PLAYBACK);
    for (size_t frame = 0; frame < expected + 2 && frame < 64; ++frame) {
        recorder.update();
        FUZZ_EXPECT(recorder.getFrame() >= 0 && recorder.getFrame() < REPLAY_CAPACITY);
        const int frameIndex = recorder.getFrame();
        if (static_cast<size_t>(frameIndex) < expected) {
            FUZZ_EXPECT(recorder.getX() == recorder.stateAt(frameIndex).x);
        } else {
            FUZZ_EXPECT(recorder.getX() == 0 && !recorder.isClicked());
        }
    }

    recorder.save(saved.path());
    MouseRecorder reread;
    FUZZ_EXPECT(reread.load(saved.path()));
    for (size_t i = 0; i < expected; ++i) {
        if (!checked(i, expected)) continue;
        const MouseState& a = recorder.stateAt(static_cast<int>(i));
        const MouseState& b = reread.stateAt(static_cast<int>(i));
        FUZZ_EXPECT(a.x == b.x && a.y == b.y && a.button == b.button);
    }
    return 0;
}

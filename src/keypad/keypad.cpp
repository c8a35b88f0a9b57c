// The logical pad's queries, its per-frame recording and playback, and the
// replay file it saves and loads: twelve little-endian int16 values, 1 or 0,
// per frame record, in KeypadState's field order.
#include "keypad/keypad.h"

#include <stdexcept>

#include "keypad/record_file.h"
#include "kiln2/kiln2.h"

namespace {

enum Button { BUTTON_A, BUTTON_B, BUTTON_LEFT, BUTTON_UP, BUTTON_RIGHT, BUTTON_DOWN, BUTTON_COUNT };

// Where each logical button comes from. Keys are tested first, in this order,
// then the controllers (every one of them, for the keypad of index 0) or the
// keypad's own joystick slot (for any other index).
struct ButtonSource {
    int keys[2];
    int keyCount;
    bool joyIsButton;  // false: a stick direction
    int joyId;         // joystick button number or KilnJoyDir
    int padButton;     // KilnPadButton
};

constexpr ButtonSource SOURCES[BUTTON_COUNT] = {
    {{KEY_z, KEY_SPACE}, 2, true, 0, PAD_A},
    {{KEY_x, KEY_RETURN}, 2, true, 1, PAD_B},
    {{KEY_LEFT, 0}, 1, false, JOY_LEFT, PAD_LEFT},
    {{KEY_UP, 0}, 1, false, JOY_UP, PAD_UP},
    {{KEY_RIGHT, 0}, 1, false, JOY_RIGHT, PAD_RIGHT},
    {{KEY_DOWN, 0}, 1, false, JOY_DOWN, PAD_DOWN},
};

// The record layout of a replay file, which is also KeypadState's field order.
constexpr bool KeypadState::*RECORD_FIELDS[] = {
    &KeypadState::pressA,      &KeypadState::pressB,      &KeypadState::pressLeft,   &KeypadState::pressUp,
    &KeypadState::pressRight,  &KeypadState::pressDown,   &KeypadState::triggerA,    &KeypadState::triggerB,
    &KeypadState::triggerLeft, &KeypadState::triggerUp,   &KeypadState::triggerRight, &KeypadState::triggerDown,
};

}  // namespace

Keypad::Keypad(int joystickIndex)
    : states_(std::make_unique<KeypadState[]>(REPLAY_CAPACITY)), joystickIndex_(joystickIndex) {}

bool Keypad::liveAnswer(int button, bool trigger) const {
    const ButtonSource& source = SOURCES[button];
    if (joystickIndex_ == 0) {
        for (int k = 0; k < source.keyCount; ++k) {
            if (trigger ? Kiln_isKeyPushed(source.keys[k]) : Kiln_isKeyPressed(source.keys[k])) return true;
        }
        // The player's pad: any controller plugged in, mapped or not.
        return trigger ? Kiln_isPadPushed(source.padButton) : Kiln_isPadPressed(source.padButton);
    }
    if (source.joyIsButton) {
        return trigger ? Kiln_isJoyButtonPushed(source.joyId, joystickIndex_)
                       : Kiln_isJoyButtonPressed(source.joyId, joystickIndex_);
    }
    return trigger ? Kiln_isJoyDirPushed(source.joyId, joystickIndex_)
                   : Kiln_isJoyDirPressed(source.joyId, joystickIndex_);
}

bool Keypad::answer(int button, bool trigger, bool forceLive, bool KeypadState::*recorded) const {
    if (mode_ == RECORD || forceLive) return liveAnswer(button, trigger);
    // An empty replay has no frame to answer from: everything is released.
    if (frameCount_ <= 0 || frame_ < 0 || frame_ >= REPLAY_CAPACITY) return false;
    return states_[frame_].*recorded;
}

bool Keypad::isPressA(bool forceLive) { return answer(BUTTON_A, false, forceLive, &KeypadState::pressA); }
bool Keypad::isTriggerA(bool forceLive) { return answer(BUTTON_A, true, forceLive, &KeypadState::triggerA); }
bool Keypad::isPressB(bool forceLive) { return answer(BUTTON_B, false, forceLive, &KeypadState::pressB); }
bool Keypad::isTriggerB(bool forceLive) { return answer(BUTTON_B, true, forceLive, &KeypadState::triggerB); }
bool Keypad::isPressLeft(bool forceLive) { return answer(BUTTON_LEFT, false, forceLive, &KeypadState::pressLeft); }
bool Keypad::isPressUp(bool forceLive) { return answer(BUTTON_UP, false, forceLive, &KeypadState::pressUp); }
bool Keypad::isPressRight(bool forceLive) { return answer(BUTTON_RIGHT, false, forceLive, &KeypadState::pressRight); }
bool Keypad::isPressDown(bool forceLive) { return answer(BUTTON_DOWN, false, forceLive, &KeypadState::pressDown); }
bool Keypad::isTriggerLeft(bool forceLive) {
    return answer(BUTTON_LEFT, true, forceLive, &KeypadState::triggerLeft);
}
bool Keypad::isTriggerUp(bool forceLive) { return answer(BUTTON_UP, true, forceLive, &KeypadState::triggerUp); }
bool Keypad::isTriggerRight(bool forceLive) {
    return answer(BUTTON_RIGHT, true, forceLive, &KeypadState::triggerRight);
}
bool Keypad::isTriggerDown(bool forceLive) {
    return answer(BUTTON_DOWN, true, forceLive, &KeypadState::triggerDown);
}

bool Keypad::isTriggerPause() { return joystickIndex_ == 0 && Kiln_isPadPushed(PAD_PAUSE); }

void Keypad::setEnableA(bool enable) { enableA_ = enable; }
void Keypad::setEnableB(bool enable) { enableB_ = enable; }
void Keypad::setEnableLeft(bool enable) { enableLeft_ = enable; }
void Keypad::setEnableUp(bool enable) { enableUp_ = enable; }
void Keypad::setEnableRight(bool enable) { enableRight_ = enable; }
void Keypad::setEnableDown(bool enable) { enableDown_ = enable; }

bool Keypad::isRecordingFull() const { return frame_ >= MAX_RECORDED_FRAMES; }

const KeypadState& Keypad::stateAt(int index) const {
    if (index < 0 || index >= REPLAY_CAPACITY) throw std::out_of_range("Keypad.stateAt(): index out of the buffer");
    return states_[index];
}

void Keypad::update() {
    if (mode_ == RECORD) {
        // Past this frame the all-released closing record would no longer fit in a saved file.
        if (isRecordingFull()) return;
        ++frame_;
        if (frameCount_ <= frame_) frameCount_ = frame_ + 1;
        KeypadState& state = states_[frame_];
        state.pressA = isPressA(false) && enableA_;
        state.pressB = isPressB(false) && enableB_;
        state.pressLeft = isPressLeft(false) && enableLeft_;
        state.pressUp = isPressUp(false) && enableUp_;
        state.pressRight = isPressRight(false) && enableRight_;
        state.pressDown = isPressDown(false) && enableDown_;
        state.triggerA = isTriggerA(false) && enableA_;
        state.triggerB = isTriggerB(false) && enableB_;
        state.triggerLeft = isTriggerLeft(false) && enableLeft_;
        state.triggerUp = isTriggerUp(false) && enableUp_;
        state.triggerRight = isTriggerRight(false) && enableRight_;
        state.triggerDown = isTriggerDown(false) && enableDown_;
        return;
    }
    ++frame_;
    // Once the recording has run out, playback stays on its last frame.
    if (frame_ >= frameCount_) frame_ = frameCount_ > 0 ? frameCount_ - 1 : 0;
}

bool Keypad::save(const std::string& fileName) {
    RecordFileWriter writer(fileName, "Keypad.save()");
    // Entries 0 to frameCount, never past the buffer.
    const int records = frameCount_ + 1 < REPLAY_CAPACITY ? frameCount_ + 1 : REPLAY_CAPACITY;
    for (int i = 0; i < records; ++i) {
        for (bool KeypadState::*field : RECORD_FIELDS) writer.writeInt16(states_[i].*field ? 1 : 0);
    }
    writer.commit();
    return true;
}

bool Keypad::load(const std::string& fileName) {
    // An open error goes to the caller with the keypad untouched.
    RecordFileReader reader(fileName, "Keypad.load()");
    int count = 0;
    bool complete = true;
    try {
        while (!reader.atEnd()) {
            if (count >= REPLAY_CAPACITY) reader.fail("more than 36000 frame records");
            KeypadState& state = states_[count];
            for (bool KeypadState::*field : RECORD_FIELDS) {
                int16_t value = 0;
                if (!reader.readInt16(value)) reader.fail("file ends inside a frame record");
                state.*field = value != 0;
            }
            ++count;
        }
    } catch (const std::exception& e) {
        // What was read before the error is still played.
        Kiln_logException(e);
        complete = false;
    }
    frameCount_ = count;
    mode_ = PLAYBACK;
    return complete;
}

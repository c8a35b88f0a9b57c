// The mouse recording: per-frame sampling, playback that holds the last frame,
// and the mouse file of x, y, button as little-endian int16 per record.
#include "keypad/mouse_recorder.h"

#include <stdexcept>

#include "keypad/record_file.h"
#include "kiln2/kiln2.h"

MouseRecorder::MouseRecorder() : states_(std::make_unique<MouseState[]>(REPLAY_CAPACITY)) {}

const MouseState* MouseRecorder::current() const {
    if (frame_ < 0 || frame_ >= frameCount_ || frame_ >= REPLAY_CAPACITY) return nullptr;
    return &states_[frame_];
}

void MouseRecorder::update() {
    if (mode_ == RECORD) {
        if (isRecordingFull()) return;
        ++frame_;
        if (frameCount_ <= frame_) frameCount_ = frame_ + 1;
        MouseState& state = states_[frame_];
        state.x = Kiln_getMouseX();
        state.y = Kiln_getMouseY();
        state.button = Kiln_getMouseButtons();
        return;
    }
    ++frame_;
    if (mode_ == PLAYBACK && frame_ >= frameCount_) frame_ = frameCount_ > 0 ? frameCount_ - 1 : 0;
}

void MouseRecorder::setMode(int mode) {
    mode_ = mode;
    frame_ = 0;
}

int MouseRecorder::getMode() { return mode_; }

int32_t MouseRecorder::getX() {
    const MouseState* state = current();
    return state ? state->x : 0;
}

int32_t MouseRecorder::getY() {
    const MouseState* state = current();
    return state ? state->y : 0;
}

int32_t MouseRecorder::getButton() {
    const MouseState* state = current();
    return state ? state->button : 0;
}

bool MouseRecorder::isClicked() {
    const MouseState* state = current();
    if (state == nullptr || frame_ < 1) return false;
    return states_[frame_ - 1].button == 0 && (state->button & 1) != 0;
}

bool MouseRecorder::isRecordingFull() const { return frame_ >= MAX_RECORDED_FRAMES; }

const MouseState& MouseRecorder::stateAt(int index) const {
    if (index < 0 || index >= REPLAY_CAPACITY) {
        throw std::out_of_range("MouseRecorder.stateAt(): index out of the buffer");
    }
    return states_[index];
}

bool MouseRecorder::save(const std::string& fileName) {
    RecordFileWriter writer(fileName, "MouseRecorder.save()");
    const int records = frameCount_ + 1 < REPLAY_CAPACITY ? frameCount_ + 1 : REPLAY_CAPACITY;
    for (int i = 0; i < records; ++i) {
        // Only the low 16 bits of each field fit a record.
        writer.writeInt16(static_cast<int16_t>(states_[i].x));
        writer.writeInt16(static_cast<int16_t>(states_[i].y));
        writer.writeInt16(static_cast<int16_t>(states_[i].button));
    }
    writer.commit();
    return true;
}

bool MouseRecorder::load(const std::string& fileName) {
    RecordFileReader reader(fileName, "MouseRecorder.load()");
    int count = 0;
    bool complete = true;
    try {
        while (!reader.atEnd()) {
            if (count >= REPLAY_CAPACITY) reader.fail("more than 36000 mouse records");
            MouseState& state = states_[count];
            int16_t x = 0, y = 0, button = 0;
            if (!reader.readInt16(x)) reader.fail("file ends inside a mouse record");
            state.x = x;
            if (!reader.readInt16(y)) reader.fail("file ends inside a mouse record");
            state.y = y;
            if (!reader.readInt16(button)) reader.fail("file ends inside a mouse record");
            state.button = button;
            ++count;
        }
    } catch (const std::exception& e) {
        Kiln_logException(e);
        complete = false;
    }
    frameCount_ = count;
    mode_ = PLAYBACK;
    return complete;
}

// Records the mouse position and buttons once a frame, saves and loads the
// recording, and answers from it: the mouse counterpart of the Keypad's
// recording. Its getters always read the buffer, never the device directly.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "keypad/keypad.h"

// One frame of the mouse.
struct MouseState {
    int32_t button = 0;  // button mask, bit 0 the left button
    int32_t x = 0;       // window pixels
    int32_t y = 0;
};

class MouseRecorder {
public:
    enum Mode { RECORD = 0, PLAYBACK = 1 };

    MouseRecorder();
    virtual ~MouseRecorder() = default;

    virtual void update();
    // Sets the mode and rewinds to frame 0.
    virtual void setMode(int mode);
    virtual int getMode();
    virtual int32_t getX();
    virtual int32_t getY();
    virtual int32_t getButton();
    // The left button went down in this frame after a frame with no button held.
    virtual bool isClicked();
    // Writes entries 0 to frameCount as 6-byte records; throws std::runtime_error on failure.
    virtual bool save(const std::string& fileName);
    // Reads a mouse file and switches to PLAYBACK. True after a complete read, false after a
    // read error or a full buffer (logged). An open error goes to the caller.
    virtual bool load(const std::string& fileName);

    int getFrame() const { return frame_; }
    int getFrameCount() const { return frameCount_; }
    // No room for another frame that could still be saved.
    bool isRecordingFull() const;
    // Entry index of the buffer, 0 to REPLAY_CAPACITY - 1; throws std::out_of_range otherwise.
    const MouseState& stateAt(int index) const;

    static constexpr int MAX_RECORDED_FRAMES = REPLAY_CAPACITY - 2;

private:
    const MouseState* current() const;

    std::unique_ptr<MouseState[]> states_;
    int frame_ = 0;
    int frameCount_ = 0;
    int mode_ = RECORD;
};

// The game's logical pad over keyboard, joysticks and controllers. It is the
// one place that knows whether a run is live or replayed: in RECORD mode it
// answers from the devices and update() records one KeypadState per frame; in
// PLAYBACK mode it answers from a loaded replay (forceLive queries still read
// the devices).
#pragma once

#include <memory>
#include <string>

#include "keypad/keypad_state.h"

constexpr int REPLAY_CAPACITY = 36000;

class Keypad {
public:
    enum Mode { RECORD = 0, PLAYBACK = 1 };

    explicit Keypad(int joystickIndex);
    virtual ~Keypad() = default;

    virtual void update();
    virtual bool save(const std::string& fileName);
    virtual bool load(const std::string& fileName);
    virtual void setEnableA(bool enable);
    virtual void setEnableB(bool enable);
    virtual void setEnableLeft(bool enable);
    virtual void setEnableUp(bool enable);
    virtual void setEnableRight(bool enable);
    virtual void setEnableDown(bool enable);
    virtual bool isPressA(bool forceLive);
    virtual bool isTriggerA(bool forceLive);
    virtual bool isPressB(bool forceLive);
    virtual bool isTriggerB(bool forceLive);
    virtual bool isPressLeft(bool forceLive);
    virtual bool isPressUp(bool forceLive);
    virtual bool isPressRight(bool forceLive);
    virtual bool isPressDown(bool forceLive);
    virtual bool isTriggerLeft(bool forceLive);
    virtual bool isTriggerUp(bool forceLive);
    virtual bool isTriggerRight(bool forceLive);
    virtual bool isTriggerDown(bool forceLive);
    // A controller's Start button went down this frame. It is never recorded:
    // like B it only pauses and resumes, which a replay never does.
    virtual bool isTriggerPause();

    int getFrame() const { return frame_; }
    int getFrameCount() const { return frameCount_; }
    int getMode() const { return mode_; }
    // True once a RECORD keypad has no room for another frame that could still be saved
    // (a save writes one all-released record past the last recorded frame). A keypad
    // playing back turns true at the same frame, so a replay stops where its run stopped.
    bool isRecordingFull() const;
    // Entry index of the buffer, 0 to REPLAY_CAPACITY - 1; throws std::out_of_range otherwise.
    const KeypadState& stateAt(int index) const;

    // The most frames one run can record and still save.
    static constexpr int MAX_RECORDED_FRAMES = REPLAY_CAPACITY - 2;

private:
    bool answer(int button, bool trigger, bool forceLive, bool KeypadState::*recorded) const;
    bool liveAnswer(int button, bool trigger) const;

    std::unique_ptr<KeypadState[]> states_;
    int frame_ = 0;
    int frameCount_ = 0;
    int mode_ = RECORD;
    bool enableA_ = true, enableB_ = true, enableLeft_ = true, enableUp_ = true, enableRight_ = true,
         enableDown_ = true;
    int joystickIndex_ = 0;
};

// The game's logical pad over keyboard and joystick. It is the one place that
// knows whether a run is live or replayed: in RECORD mode it answers from the
// devices and update() records one KeypadState per frame; in PLAYBACK mode it
// answers from a loaded replay (forceLive queries still read the devices).
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

    int getFrame() const { return frame_; }
    int getFrameCount() const { return frameCount_; }
    int getMode() const { return mode_; }
    // True once a RECORD keypad has no room for another frame that could still be saved.
    bool isRecordingFull() const;
    const KeypadState& stateAt(int index) const;

private:
    std::unique_ptr<KeypadState[]> states_;
    int frame_ = 0;
    int frameCount_ = 0;
    int mode_ = RECORD;
    bool enableA_ = true, enableB_ = true, enableLeft_ = true, enableUp_ = true, enableRight_ = true,
         enableDown_ = true;
    int joystickIndex_ = 0;
};

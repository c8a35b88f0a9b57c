// The opening logo: one picture at full opacity for 181 frames, skipped by
// button A or B, then the title.
#pragma once

#include "keypad/keypad.h"
#include "scene/game_state.h"

class LogoMain : public GameState {
public:
    // Frames the logo stays on screen when nobody presses anything; the frame
    // that counts past it posts the title.
    static constexpr int kShowFrames = 180;

    LogoMain();
    void update() override;
    void draw() override;

    int getLogoTimer() const { return logoTimer_; }

private:
    int logoTimer_ = 0;
    Keypad keypad_{0};
    bool logoLoaded_ = false;
};

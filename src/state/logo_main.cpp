// The logo scene. The picture is loaded on the first update rather than in the
// constructor, so building the scene never touches the disk.
#include "state/logo_main.h"

#include "kiln2/kiln2.h"

LogoMain::LogoMain() { setMessage(MSG_NONE); }

void LogoMain::update() {
    if (!logoLoaded_) {
        logoLoaded_ = true;
        Kiln_loadTexture("logo", "resource/image/logo.bmp", {0, 255, 0});
    }
    logoTimer_ += 1;
    if (keypad_.isTriggerA(false) || keypad_.isTriggerB(false) || logoTimer_ > kShowFrames) {
        setMessage(MSG_TITLE);
    }
}

void LogoMain::draw() {
    Kiln_clear();
    Kiln_resetView();
    Kiln_setBlendMode(BLEND_ALPHA);
    // The 320x320 picture, centred in the 640x480 view, unscaled and opaque.
    Kiln_drawTexture("logo", 160.0f, 120.0f, 0, 0, 320, 320, 1.0f, 1.0f, 0, 255, 255, 255, 255);
}

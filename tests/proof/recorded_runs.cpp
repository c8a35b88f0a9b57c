// Recordings for the save tests; see recorded_runs.h.
#include "recorded_runs.h"

#include "kiln2/headless.h"
#include "kiln2/kiln2.h"

namespace proof {

std::unique_ptr<Keypad> recordRun(int frames, int period) {
    auto keypad = std::make_unique<Keypad>(0);
    keypad->setEnableB(false);
    for (int frame = 0; frame < frames; ++frame) {
        kiln_headless::setKey(KEY_UP, frame % period < period / 2);
        kiln_headless::setKey(KEY_z, frame % (period * 3) == 0);
        Kiln_waitFrame(16);
        keypad->update();
    }
    kiln_headless::releaseAllKeys();
    Kiln_waitFrame(16);
    return keypad;
}

}  // namespace proof

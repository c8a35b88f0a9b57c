// What the headless backend keeps instead of a machine: a counter clock,
// device state set by the test functions, and the record of drawing and sound.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "kiln2/backend.h"
#include "kiln2/headless.h"
#include "kiln2/kiln2.h"

class KilnHeadlessWorld {
public:
    explicit KilnHeadlessWorld(const KilnHeadlessOptions& opts) : options(opts) {}

    struct Stick {
        bool attached = false;
        int buttonCount = 0;
        std::vector<bool> buttons;
        int16_t x = 0, y = 0;
    };

    KilnHeadlessOptions options;
    uint32_t ticks = 0;
    std::array<bool, KILN_KEY_COUNT> keys{};
    int mouseX = 0, mouseY = 0;
    uint8_t mouseButtons = 0;
    std::array<Stick, 4> sticks;
    bool quitPending = false;
    std::string droppedFile;  // reported by the next poll
    bool cursorShown = true;
    bool fullScreen = false;
    int appliedBlendMode = -1;  // the blend state a GL context would hold now
    uint32_t nextTextureId = 1;
    std::vector<KilnDrawCall> drawCalls;
    std::vector<KilnSoundEvent> soundEvents;
};

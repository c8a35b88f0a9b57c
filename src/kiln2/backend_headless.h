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

    // A joystick or controller; its id is its place in devices, never reused.
    struct Device {
        int id = 0;
        std::string name;
        bool mapped = false;
        bool present = true;  // plugged in
        bool opened = false;  // held open by the framework
        int buttonCount = 0;
        std::vector<bool> buttons;
        int16_t x = 0, y = 0;  // raw axes 0 and 1
        std::array<bool, CONTROLLER_INPUT_COUNT> inputs{};
        // Presses since the last update, and those the last update closed.
        std::vector<bool> buttonPresses, buttonsWentDown;
        std::array<bool, CONTROLLER_INPUT_COUNT> inputPresses{}, inputsWentDown{};
        int16_t stickX = 0, stickY = 0;  // a mapped controller's left stick
    };

    // The device with this id, or null.
    Device* device(int id) {
        return id >= 0 && id < static_cast<int>(devices.size()) ? &devices[static_cast<size_t>(id)] : nullptr;
    }
    // The index-th plugged-in device, the way device indices count them.
    Device* presentDevice(int index) {
        int seen = 0;
        for (Device& d : devices) {
            if (d.present && seen++ == index) return &d;
        }
        return nullptr;
    }

    KilnHeadlessOptions options;
    uint32_t ticks = 0;
    std::array<bool, KILN_KEY_COUNT> keys{};
    // What went down since the backend last took the presses, as a real
    // platform's events would tell: set by the test functions on every
    // release-to-held change.
    std::array<bool, KILN_KEY_COUNT> keyPresses{};
    int mouseX = 0, mouseY = 0;
    uint8_t mouseButtons = 0;
    uint8_t mouseButtonPresses = 0;
    std::vector<Device> devices;
    bool devicesStarted = false;  // from then on, devices come and go through the events
    std::vector<int> announcedAdded;    // ids, announced at the next event poll
    std::vector<int> announcedRemoved;  // ids
    std::vector<std::string> mappings;  // controller mapping lines added
    std::string mappingRefusal;         // when set, every mapping line is refused with it
    std::string environmentMappings;
    bool quitPending = false;
    bool focusLostPending = false;
    std::string droppedFile;  // reported by the next poll
    bool cursorShown = true;
    bool fullScreen = false;
    KilnWindowGeometry window;
    KilnPictureScaling pictureScaling = PICTURE_SMOOTH;
    int appliedBlendMode = -1;  // the blend state a GL context would hold now
    uint32_t nextTextureId = 1;
    std::vector<KilnDrawCall> drawCalls;
    std::vector<KilnSoundEvent> soundEvents;
};

// The headless backend's window on the world, for tests and the replay
// verifier: input is set here instead of read from devices, the clock is a
// counter that never sleeps, and drawing and sound calls are recorded. F12
// saves a stand-in text file, "headless screenshot 640x480", as its picture.
// Select it with Kiln_useHeadlessBackend() before Kiln_init().
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "kiln2/backend.h"

struct KilnDrawCall {
    enum Kind { CLEAR, TEXTURE, RECT, CIRCLE, GLYPH };
    Kind kind = CLEAR;
    std::string key;  // texture key (GLYPH: "font")
    float x = 0, y = 0;  // top-left corner (CIRCLE: centre), draw offset included
    float w = 0, h = 0;  // drawn size (CIRCLE: w = radius)
    int srcX = 0, srcY = 0, srcW = 0, srcH = 0;  // source rectangle in texture pixels (GLYPH: its 8x8 cell)
    float angle = 0;
    int lineWidth = 0;
    uint8_t r = 0, g = 0, b = 0, a = 0;
    char glyph = 0;  // GLYPH: the character drawn
    int blendMode = 0;  // blend mode in force when the call was made
};

// value by kind: PLAY_WAV the loop count, STOP_WAV the channel (-1 all),
// PLAY_BGM the loop count, STOP_BGM the fade-out milliseconds (0 at once),
// MUSIC_VOLUME and EFFECTS_VOLUME the mixer's level (0 to KILN_MIXER_MAX).
// A stop without music loaded is not an event.
struct KilnSoundEvent {
    enum Kind { PLAY_WAV, STOP_WAV, PLAY_BGM, STOP_BGM, MUSIC_VOLUME, EFFECTS_VOLUME };
    Kind kind = PLAY_WAV;
    std::string name;  // key for PLAY_WAV, file for PLAY_BGM
    int value = 0;     // loops, channel or fade milliseconds
};

namespace kiln_headless {

// Drawing and sound recorded since the last clear.
const std::vector<KilnDrawCall>& drawCalls();
void clearDrawCalls();
const std::vector<KilnSoundEvent>& soundEvents();
void clearSoundEvents();

// Device state that the next Kiln_waitFrame snapshots. As on a real machine,
// a key or button set down and up again before that frame is a press the
// frame still sees (held and pushed for that one frame).
void setKey(int key, bool down);
void releaseAllKeys();
void setMouse(int x, int y, uint8_t buttons);
// A raw joystick (no known layout) whose id is slot: before Kiln_init it is
// present at start-up and takes joystick slot `slot`; once the framework runs
// it is plugged in, seen by the next frame's events. Lower ids not attached
// yet are filled with button-less devices, as gaps read on real machines.
void attachJoystick(int slot, int buttonCount);
// Raw buttons and axes 0 and 1 of the device with this id.
void setJoyButton(int id, int button, bool down);
void setJoyAxes(int id, int16_t x, int16_t y);
// Plugs in a device (a game controller when mapped) and returns its id; the
// next frame's events announce it when the framework runs.
int connectController(const std::string& name, bool mapped, int buttonCount = 11);
// Pulls it out: its inputs read at rest, the next frame's events say so.
void disconnectController(int id);
// A mapped controller's positions and left stick.
void setControllerInput(int id, KilnControllerInput input, bool down);
void setControllerStick(int id, int16_t x, int16_t y);
// True while the framework holds the device open.
bool isControllerOpen(int id);
// Mapping lines the framework added, in order; refuseControllerMappings makes
// every later one fail with reason ("" accepts again).
const std::vector<std::string>& controllerMappings();
void refuseControllerMappings(const std::string& reason);
// Mapping lines as the player's environment would hold them.
void setEnvironmentMappings(const std::string& text);

void requestQuit();  // as a window close
void loseFocus();    // as another window taking the keyboard focus, or minimising

// The window's size in window units and drawable pixels (set by Kiln_init to
// the size asked for, both the same), and how the picture is scaled in it.
void setWindowGeometry(int windowWidth, int windowHeight, int drawableWidth, int drawableHeight);
KilnPictureScaling pictureScaling();
void dropFile(const std::string& path);  // as a file dragged onto the window

// The clock: milliseconds since start; Kiln_waitFrame's delays advance it instantly.
uint32_t ticks();
void setTicks(uint32_t ms);
void advanceTicks(uint32_t ms);

// Forget all state between tests: call after Kiln_quit to start a fresh Kiln_init.
void reset();

}  // namespace kiln_headless

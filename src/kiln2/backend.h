// The seam between the framework's logic and the machine it runs on. The
// framework functions decide what happens (registries, layout, pacing, input
// rules); a backend only does it: a window and GL, a clock and devices, audio.
// Two backends exist: the real SDL2/OpenGL one and the headless one for tests
// and the replay verifier. A backend is four parts so that a test can mix a
// headless window with real SDL joysticks or real SDL audio.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "kiln2/kiln2.h"
#include "kiln2/picture_cells.h"

struct KilnColour {
    uint8_t r = 0, g = 0, b = 0, a = 0;
};

// One textured rectangle, already placed: x, y top-left with the draw offset,
// w, h the drawn size; u0..dv the texture coordinates; src* the same rectangle
// in texture pixels.
struct KilnTextureQuad {
    const std::string* key = nullptr;
    uint32_t textureId = 0;
    float x = 0, y = 0, w = 0, h = 0;
    int srcX = 0, srcY = 0, srcW = 0, srcH = 0;
    float u0 = 0, v0 = 0, du = 0, dv = 0;
    float angle = 0;
    KilnColour colour;
    int blendMode = 0;
};

// One glyph of a text line: its top-left corner, its size on screen and its
// 8x8 cell in the font image.
struct KilnGlyphQuad {
    float x = 0, y = 0, size = 0;
    int cellX = 0, cellY = 0;
    float u = 0, v = 0, du = 0, dv = 0;
    char glyph = 0;
    KilnColour colour;
    int blendMode = 0;
};

// Rectangle with the offset and the zero-size rule already applied.
struct KilnRectShape {
    int x = 0, y = 0, w = 0, h = 0;
    int lineWidth = 0;
    float angle = 0;
    KilnColour colour;
    int blendMode = 0;
};

// Circle: centre, radius and the outline points to draw through.
struct KilnCircleShape {
    float x = 0, y = 0, radius = 0;
    int lineWidth = 0;
    const float* points = nullptr;  // x, y pairs
    int pointCount = 0;
    KilnColour colour;
    int blendMode = 0;
};

// The window's size in the platform's window units and in drawable pixels.
struct KilnWindowGeometry {
    int windowWidth = 0, windowHeight = 0;
    int drawableWidth = 0, drawableHeight = 0;
};

class KilnVideo {
public:
    virtual ~KilnVideo() = default;
    // Opens the window and its GL context; throws KilnError with the game's
    // start-up messages.
    virtual void open(int width, int height, bool fullScreen) = 0;
    virtual void close() = 0;
    // Switches full screen on or off; throws on a refused mode.
    virtual void setFullScreen(bool on) = 0;
    virtual void setCaption(const std::string& text) = 0;
    virtual void setIcon(const std::string& bmpFile) = 0;  // a missing file changes nothing
    virtual void iconify() = 0;
    virtual bool isCursorShown() = 0;
    virtual void showCursor(bool shown) = 0;
    // Ortho over the window size on the current matrix, viewport, black clear colour.
    virtual void setupView(int width, int height) = 0;
    virtual void initDrawState() = 0;
    // Shows the picture; only the drawn cells can hold anything but black.
    virtual void swap(const KilnPictureCells& drawn) = 0;
    virtual void clear() = 0;
    virtual void resetView() = 0;
    virtual void applyBlendMode(int mode) = 0;
    virtual void disableTexturing() = 0;
    // RGBA bytes, w*h*4; returns the texture's id. pixels may be null for a
    // texture registered without its image.
    virtual uint32_t uploadTexture(const uint8_t* pixels, int width, int height) = 0;
    virtual void deleteTexture(uint32_t id) = 0;
    virtual void bindTexture(uint32_t id) = 0;
    virtual void drawTexture(const KilnTextureQuad& quad) = 0;
    // A text line: begin once (binds the font, sets the colour), glyphs, end.
    virtual void beginGlyphs(uint32_t fontId, KilnColour colour) = 0;
    virtual void drawGlyph(const KilnGlyphQuad& glyph) = 0;
    virtual void endGlyphs() = 0;
    virtual void drawRect(const KilnRectShape& rect) = 0;
    virtual void drawCircle(const KilnCircleShape& circle) = 0;
    // The logical picture (the 640x480 the scenes draw, whatever the window's
    // size) as RGB rows, bottom row first; false when there is none or the
    // size asked for is larger than the picture.
    virtual bool readPixels(std::vector<uint8_t>& rgb, int width, int height) = 0;
    // Saves the picture of the window to file; false when nothing was written.
    virtual bool saveScreenshot(const std::string& file, int width, int height) = 0;
    // False when textures and sounds register without reading their files.
    virtual bool readsResourceFiles() = 0;
    // How the picture is scaled into the window from the next frame on.
    virtual void setPictureScaling(KilnPictureScaling scaling) = 0;
    // The window's size now: in the platform's window units (the mouse's)
    // and in drawable pixels, which differ on a high-DPI display.
    virtual KilnWindowGeometry geometry() = 0;
};

// What the window's events said since the last frame. Each backend fills in
// what its platform reports; the framework acts on it once per frame.
struct KilnWindowEvents {
    bool quit = false;  // the window was closed
    bool focusLost = false;  // the window lost the keyboard focus or was minimised
    // Controllers plugged in (their device indices, as KilnJoystickDevices
    // counts them now) and pulled out (their device ids).
    std::vector<int> devicesAdded;
    std::vector<int> devicesRemoved;
    std::string droppedFile;  // the last file dropped on the window, or ""
};

// Clock, keyboard, mouse and window events.
class KilnInput {
public:
    virtual ~KilnInput() = default;
    virtual uint32_t ticks() = 0;
    virtual void delayOneMs() = 0;
    // Buttons held now, one bit each (left 0x1, middle 0x2, right 0x4).
    virtual uint8_t mouseButtons() = 0;
    // Buttons that went down since the last call, held now or already let
    // go: a click shorter than a frame is still a click. The call forgets them.
    virtual uint8_t takeMouseButtonPresses() = 0;
    virtual int mouseX() = 0;
    virtual int mouseY() = 0;
    // Keys held now.
    virtual void readKeys(std::array<bool, 323>& keys) = 0;
    // Keys that went down since the last call, held now or already let go
    // (key repeats are not presses). The call forgets them.
    virtual void takeKeyPresses(std::array<bool, 323>& pressed) = 0;
    // Takes every pending event and reports what they said.
    virtual void pollEvents(KilnWindowEvents& events) = 0;
};

// One opened joystick or controller. A device is known by its id from the
// moment it is opened until it is closed; device indices shift as others come
// and go, ids never do.
struct KilnDeviceInfo {
    int id = -1;
    std::string name;
    // True when the platform knows the device's layout (a game controller):
    // it is then read by positions (KilnControllerInput), otherwise by its
    // raw buttons and axes.
    bool mapped = false;
    int buttonCount = 0;
};

// The positions of a mapped controller the game reads, named by where they
// sit (south is the bottom face button), not by what is printed on them.
enum KilnControllerInput {
    CONTROLLER_SOUTH,
    CONTROLLER_EAST,
    CONTROLLER_START,
    CONTROLLER_DPAD_UP,
    CONTROLLER_DPAD_DOWN,
    CONTROLLER_DPAD_LEFT,
    CONTROLLER_DPAD_RIGHT,
    CONTROLLER_BACK,
    CONTROLLER_LEFT_SHOULDER,
    CONTROLLER_RIGHT_SHOULDER,
    CONTROLLER_NORTH,
    CONTROLLER_INPUT_COUNT,
};

class KilnJoystickDevices {
public:
    virtual ~KilnJoystickDevices() = default;
    virtual void start() = 0;  // throws "Kiln_init: Couldn't initialize SDL"
    virtual void stop() = 0;
    // Devices present now, indices 0 to count - 1.
    virtual int deviceCount() = 0;
    // The id device index would have, or -1; tells an announced device that is open already.
    virtual int deviceId(int index) = 0;
    // Opens device index; throws the platform's error text when it cannot.
    virtual KilnDeviceInfo open(int index) = 0;
    virtual void close(int id) = 0;
    // Reads the devices, once a frame. It also closes the count of presses:
    // until the next update, the ...WentDown answers are about the presses
    // that came between the last two updates.
    virtual void update() = 0;
    // Raw state: any device, mapped or not.
    virtual bool button(int id, int button) = 0;
    // The button went down between the last two updates, held now or already
    // let go, so a press shorter than a frame is not lost.
    virtual bool buttonWentDown(int id, int button) = 0;
    virtual int16_t axis(int id, int axis) = 0;
    // Mapped controllers only: a position held, and the left stick (axis 0 x, 1 y).
    virtual bool controllerInput(int id, KilnControllerInput input) = 0;
    // The position went down between the last two updates, as buttonWentDown.
    virtual bool controllerInputWentDown(int id, KilnControllerInput input) = 0;
    virtual int16_t controllerStick(int id, int axis) = 0;
    // Adds one controller mapping line; false with error set when the platform refuses it.
    virtual bool addMapping(const std::string& line, std::string& error) = 0;
    // Mapping lines the player set in the environment, for the framework to
    // add line by line like the file's; "" when none.
    virtual std::string environmentMappings() = 0;
};

using KilnSoundHandle = void*;
using KilnMusicHandle = void*;

class KilnAudio {
public:
    virtual ~KilnAudio() = default;
    // False when there is no usable device: the game then runs silently and
    // error says why.
    virtual bool open(std::string& error) = 0;
    virtual void close() = 0;
    // False with error set when the file is missing or not a sound.
    virtual bool loadChunk(const std::string& file, KilnSoundHandle& chunk, std::string& error) = 0;
    virtual void freeChunk(KilnSoundHandle chunk) = 0;
    virtual void playChunk(const std::string& key, KilnSoundHandle chunk, int loops, int channel) = 0;
    virtual void haltChannel(int channel) = 0;
    virtual bool loadMusic(const std::string& file, KilnMusicHandle& music, std::string& error) = 0;
    virtual void freeMusic(KilnMusicHandle music) = 0;  // halts it first
    virtual bool playMusic(const std::string& file, KilnMusicHandle music, int loops, int fadeInMs,
                           std::string& error) = 0;
    virtual void stopMusic(int fadeOutMs) = 0;  // <= 0 halts at once
    // The mixer's loudness, 0 (silent) to KILN_MIXER_MAX: the music's, and
    // every effect channel's. Only called while the audio is open.
    virtual void setMusicVolume(int mixerLevel) = 0;
    virtual void setEffectsVolume(int mixerLevel) = 0;
};

// The mixer's full loudness (SDL_mixer's scale).
constexpr int KILN_MIXER_MAX = 128;

// Where logged text goes: echoed to stdout or stderr (or nowhere), and
// appended to the run log file.
struct KilnLogTarget {
    bool writeRunLog = true;
    std::string file = "run.log";
    bool echo = true;
    bool toStderr = false;
};

class KilnHeadlessWorld;

struct KilnBackend {
    std::unique_ptr<KilnVideo> video;
    std::unique_ptr<KilnInput> input;
    std::unique_ptr<KilnJoystickDevices> joysticks;
    std::unique_ptr<KilnAudio> audio;
    KilnLogTarget log;
    std::shared_ptr<KilnHeadlessWorld> headless;  // set on the headless backend only
    // True when every drawing call would be thrown away (a headless backend
    // that records nothing): the drawing functions then return at once.
    bool discardsDrawing = false;
};

// The headless backend; the real one lives in its own library (kiln2_sdl).
std::unique_ptr<KilnBackend> kilnMakeHeadlessBackend(const KilnHeadlessOptions& options);

// The backend in use. There is no default: every program installs the one it
// runs on before Kiln_init, so a program that only plays replays never loads
// a window system or an audio library. Throws KilnError when none is installed.
KilnBackend& kilnBackend();
// The backend in use, or null when none is installed yet.
KilnBackend* kilnInstalledBackend();
// Replaces the backend (before Kiln_init); tests use it to mix parts.
void kilnInstallBackend(std::unique_ptr<KilnBackend> backend);

// Checks that a file is a readable WAV without playing it (no audio device needed).
bool kilnCheckWavFile(const std::string& file, std::string& error);
// Checks that a file can be opened for reading.
bool kilnCheckFileOpens(const std::string& file, std::string& error);

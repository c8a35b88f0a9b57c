// The Kiln framework: free functions over one process-wide state that own the
// window, drawing, input snapshots, sound, the run log and the random generator.
// Everything above this header (scenes, play field, keypad, config) sees only
// these functions; SDL and OpenGL stay inside src/kiln2.
#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>

// Every failure in the game is one of these, carrying one message text.
class KilnError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The normal way out: Escape or a window close. main() exits 0 on this one only.
class KilnQuit : public KilnError {
public:
    KilnQuit() : KilnError("dKiln system quit.") {}
};

// Blend modes of Kiln_setBlendMode.
enum KilnBlendMode {
    BLEND_NONE = 0,
    BLEND_ALPHA = 1,
    BLEND_ADD = 2,
    BLEND_INVERT = 3,
    BLEND_ALPHA_COLOR = 4,
    BLEND_MULTIPLY = 5,
};

// The logical buttons every controller drives, in the keypad's order; PAD_PAUSE
// is a controller's Start button, which only pauses and resumes a run, and
// PAD_BACK its Back (Select) button, which opens the options from the title.
// PAD_JUMP_BACK and PAD_JUMP_FORWARD are its left and right shoulder buttons,
// which jump through a replay in the theatre. PAD_WORLD is its top face
// button (north), which opens the world table from the title.
enum KilnPadButton {
    PAD_A = 0,
    PAD_B,
    PAD_LEFT,
    PAD_UP,
    PAD_RIGHT,
    PAD_DOWN,
    PAD_PAUSE,
    PAD_BACK,
    PAD_JUMP_BACK,
    PAD_JUMP_FORWARD,
    PAD_WORLD,
    PAD_BUTTON_COUNT
};
// The six buttons a keyboard key can be bound to: PAD_A up to PAD_DOWN.
constexpr int KILN_BINDABLE_BUTTONS = 6;

// Which face button of a mapped controller is A; the other one is B.
enum KilnFaceButton { FACE_SOUTH = 0, FACE_EAST = 1 };

// How the 640x480 picture fills the window: smooth scales it as large as it
// fits with a linear filter; integer uses the largest whole multiple that
// fits, with crisp pixels. Either way it keeps its shape, with black bars.
enum KilnPictureScaling { PICTURE_SMOOTH = 0, PICTURE_INTEGER = 1 };

// The size every scene draws in, whatever the window's size.
constexpr int KILN_PICTURE_WIDTH = 640;
constexpr int KILN_PICTURE_HEIGHT = 480;

// Stick directions of the joystick queries.
enum KilnJoyDir { JOY_UP = 0, JOY_DOWN = 1, JOY_RIGHT = 2, JOY_LEFT = 3, JOY_NONE = 4 };

// Key codes keep the classic 323-entry numbering the game was designed with;
// the backend maps the platform's keyboard onto it with one table.
constexpr int KILN_KEY_COUNT = 323;
enum KilnKey {
    KEY_BACKSPACE = 8,
    KEY_TAB = 9,
    KEY_RETURN = 13,
    KEY_ESCAPE = 27,
    KEY_SPACE = 32,
    KEY_m = 109,
    KEY_o = 111,
    KEY_w = 119,
    KEY_x = 120,
    KEY_z = 122,
    KEY_UP = 273,
    KEY_DOWN = 274,
    KEY_RIGHT = 275,
    KEY_LEFT = 276,
    KEY_HOME = 278,
    KEY_PAGEUP = 280,
    KEY_PAGEDOWN = 281,
    KEY_F1 = 282,
    KEY_F2 = 283,
    KEY_F3 = 284,
    KEY_F4 = 285,
    KEY_F5 = 286,
    KEY_F6 = 287,
    KEY_F7 = 288,
    KEY_F8 = 289,
    KEY_F9 = 290,
    KEY_F10 = 291,
    KEY_F11 = 292,
    KEY_F12 = 293,
};

// Slot of the global integer table that tells the next run to play back a replay.
constexpr int REPLAY_FLAG_SLOT = 0;
constexpr int KILN_GLOBAL_INT_COUNT = 1024;

// Which backend Kiln_init starts; choose one before Kiln_init. The real
// window and sound are Kiln_useRealBackend() in kiln2_sdl/real_backend.h.
struct KilnHeadlessOptions {
    bool readResourceFiles = true;  // false: textures and sounds register without touching disk
    bool writeRunLog = true;        // false: "run.log" is neither deleted nor written
    bool logToStderr = false;       // true: log text goes to stderr instead of stdout
    bool recordDrawCalls = true;    // false: drawing goes nowhere (fast)
    bool echoLog = true;            // false: log text goes to the run log only
};
void Kiln_useHeadlessBackend(const KilnHeadlessOptions& options = {});

// ---- Video, window and frame loop ----
void Kiln_init(const std::string& caption, int width, int height, bool fullScreen, bool showCursor);
void Kiln_quit();
void Kiln_toggleFullScreen();  // also on F9
void Kiln_toggleCursor();      // also on F10
void Kiln_setCaption(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Kiln_clear();
void Kiln_flip();
int Kiln_waitFrame(int frameMs);
void Kiln_resetView();
int Kiln_getScreenWidth();
int Kiln_getScreenHeight();
// The picture's scaling in the window; may be set before or after Kiln_init.
void Kiln_setPictureScaling(KilnPictureScaling scaling);
KilnPictureScaling Kiln_getPictureScaling();
bool Kiln_isFullScreen();
// True in the frame after the window lost the keyboard focus or was minimised.
bool Kiln_wasFocusLost();

// ---- Run log ----
// The run log's path ("run.log" unless set; "" for none). Set it after
// choosing the backend and before Kiln_init, which starts the file afresh.
// Once the file cannot be appended to, one line on stderr says so and the
// rest of the run is logged to the standard streams only.
void Kiln_setRunLogFile(const std::string& path);
void Kiln_log(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Kiln_logException(const std::exception& e);

// ---- Where the game's files are ----
// Every file the framework loads whose name begins with "resource/" (textures,
// the font, the icon, sounds, music) is read from dir instead: with dir
// "/usr/share/kvr2013/resource", "resource/font/font.bmp" is read as
// "/usr/share/kvr2013/resource/font/font.bmp". "" (the default) reads the
// names as given, relative to the working directory.
void Kiln_setResourceDir(const std::string& dir);
// The path a "resource/..." name is read from; other names come back unchanged.
std::string Kiln_resourcePath(const std::string& file);
// Where F12 saves its numbered pictures ("screenshots" unless set); "" for
// nowhere, when the player's directory cannot be written.
void Kiln_setScreenshotDir(const std::string& dir);

// ---- Textures and drawing ----
using KilnMask = std::array<int, 3>;
void Kiln_loadTexture(const std::string& key, const std::string& file, const KilnMask& mask);
void Kiln_disposeTexture(const std::string& key);
void Kiln_reloadTextures();
bool Kiln_hasTexture(const std::string& key);
void Kiln_drawTexture(const std::string& key, float x, float y, int srcX, int srcY, int srcW, int srcH,
                      float scaleX, float scaleY, float angle, uint8_t r, uint8_t g, uint8_t b, uint8_t a);
void Kiln_drawRect(int x, int y, int w, int h, int lineWidth, float angle, uint8_t r, uint8_t g, uint8_t b,
                   uint8_t a);
void Kiln_drawRectCentered(int cx, int cy, int halfW, int halfH, int lineWidth, float angle, uint8_t r, uint8_t g,
                           uint8_t b, uint8_t a);
void Kiln_drawCircle(float x, float y, float radius, int lineWidth, uint8_t r, uint8_t g, uint8_t b, uint8_t a);
void Kiln_setBlendMode(int mode);
int Kiln_getBlendMode();
void Kiln_setDrawOffset(int x, int y);
void Kiln_disableTexture();
// True when the backend throws every drawing call away (the replay verifier),
// or while a KilnDiscardDrawingScope lives.
bool Kiln_isDrawingDiscarded();
// Every drawing call is thrown away while one lives, as on the verifier's
// backend: a run can make the random draws of its drawing without a picture.
class KilnDiscardDrawingScope {
public:
    KilnDiscardDrawingScope();
    ~KilnDiscardDrawingScope();
    KilnDiscardDrawingScope(const KilnDiscardDrawingScope&) = delete;
    KilnDiscardDrawingScope& operator=(const KilnDiscardDrawingScope&) = delete;

private:
    bool previous_;
};

// ---- Bitmap font and text ----
void Kiln_loadFont();
void Kiln_drawText(const std::string& text, int x, int y, float scale, uint8_t r, uint8_t g, uint8_t b, uint8_t a);

// ---- Sound ----
void Kiln_loadWAV(const std::string& key, const std::string& file);
void Kiln_playWAV(const std::string& key, int loops, int channel);
void Kiln_stopWAV(int channel);
void Kiln_disposeWAV(const std::string& key);
void Kiln_playBgm(const std::string& file, int loops, int fadeInMs);
void Kiln_stopBgm(int fadeOutMs);

// ---- Loudness ----
// Levels 0 (silent) to 10 (full, the default) for the music and for the
// effects, and a mute over both. They reach the mixer at once (or when the
// sound device opens) and stay for every later sound and piece of music.
constexpr int KILN_VOLUME_MAX = 10;
void Kiln_setMusicVolume(int level);    // clamped to 0..10
void Kiln_setEffectsVolume(int level);  // clamped to 0..10
int Kiln_getMusicVolume();
int Kiln_getEffectsVolume();
void Kiln_setMuted(bool muted);
bool Kiln_isMuted();
// Called after M toggled the mute (M works on every screen), so the game can
// keep the choice; null for nobody.
void Kiln_setMuteToggledHandler(void (*handler)(bool muted));

// ---- Quiet stretches ----
// While one lives, playing sounds and music, changing the draw offset and
// logging do nothing: a run played where nobody is meant to notice it (a
// ghost, the theatre catching up after a jump) is neither heard, nor seen
// shaking the picture, nor found in the log. Loading and stopping still work.
class KilnQuietScope {
public:
    KilnQuietScope();
    ~KilnQuietScope();
    KilnQuietScope(const KilnQuietScope&) = delete;
    KilnQuietScope& operator=(const KilnQuietScope&) = delete;

private:
    bool previous_;
};

// ---- Raw input ----
bool Kiln_isKeyPressed(int key);
bool Kiln_isKeyPushed(int key);
// The pointer in the picture's 640x480 coordinates at every window size and
// in full screen; over a black bar it reads outside 0..639 x 0..479.
int Kiln_getMouseX();
int Kiln_getMouseY();
uint8_t Kiln_getMouseButtons();
uint8_t Kiln_getMouseButtonsPushed();
bool Kiln_isJoyDirPressed(int dir, int joy);
bool Kiln_isJoyDirPushed(int dir, int joy);
bool Kiln_isJoyButtonPressed(int button, int joy);
bool Kiln_isJoyButtonPushed(int button, int joy);
// The path of a file dropped on the window since the last frame, once: a
// second call in the same frame, or any call in a later one, answers "".
std::string Kiln_takeDroppedFile();

// ---- Key bindings ----
// Which keyboard key drives each of the six bindable buttons. The frame's key
// snapshot is translated before anyone reads it: the key bound to a button
// reads as that button's own key (UP as KEY_UP, A as KEY_z, B as KEY_x), so
// the keypad, and every replay it records, sees logical buttons only. Space
// (a second A) and Return (a second B) keep working until a binding takes
// them. The defaults are the arrows, Z and X.
enum KilnBindResult {
    BIND_DONE,
    BIND_TAKEN,     // the key drives another button already
    BIND_RESERVED,  // Escape, F4, F5, F9, F10, F12, M and O keep their own jobs
    BIND_NO_KEY,    // not a key the game knows, or not a bindable button
};
KilnBindResult Kiln_bindKey(int button, int key);
// Sets all six at once (indexed by KilnPadButton); nothing changes and the
// result says why when one key is refused or two buttons share a key.
KilnBindResult Kiln_setKeyBindings(const std::array<int, KILN_BINDABLE_BUTTONS>& keys);
int Kiln_getBoundKey(int button);    // -1 for a button that cannot be bound
int Kiln_getDefaultKey(int button);  // -1 likewise
void Kiln_resetKeyBindings();
bool Kiln_isKeyReserved(int key);
// The first physical key that went down this frame, before any binding, or -1.
int Kiln_getPushedPhysicalKey();
// Key names as the platform's keyboard names them ("Up", "W", "Left Shift"),
// the spelling of "config.ini"; "" and -1 for keys the game does not know.
const char* Kiln_keyName(int key);
int Kiln_keyFromName(const std::string& name);
// name in the keyboard's own spelling when it is a key the player may bind,
// else "": how the settings file's key names are checked.
std::string Kiln_bindableKeyName(const std::string& name);

// ---- Escape ----
// While kept, Escape is the scene's to read (it cancels what the scene waits
// for) instead of quitting the game. A scene that keeps it must give it back.
void Kiln_keepEscapeForScene(bool kept);
bool Kiln_isEscapeKeptForScene();
// While kept, the letter keys are the scene's to type with: M types an M
// instead of toggling the mute. A scene that keeps them must give them back.
void Kiln_keepTypingForScene(bool kept);
bool Kiln_isTypingKeptForScene();

// ---- Controllers ----
// Every connected joystick and controller, however many, drives the same
// logical buttons: held on any of them (pressed), or gone down on one of
// them this frame (pushed). Devices come and go while the game runs; the
// first four also sit in the joystick slots 0..3 of the queries above.
bool Kiln_isPadPressed(int button);  // a KilnPadButton; others are never held
bool Kiln_isPadPushed(int button);
int Kiln_getControllerCount();
// True in the frame after a controller was pulled out.
bool Kiln_wasControllerLost();
// Which face button is A from the next frame on (south unless chosen).
void Kiln_setControllerFaceA(KilnFaceButton face);
KilnFaceButton Kiln_getControllerFaceA();
// A file of extra controller mappings ("gamecontrollerdb.txt" lines) that
// Kiln_init adds before it opens any device; "" for none. A missing file is
// no problem; each line that is not a mapping is skipped with one log line.
void Kiln_setControllerMappingFile(const std::string& path);

// ---- Utilities ----
void Kiln_setGlobalInt(int index, int value);  // index outside 0..1023 throws KilnError
int Kiln_getGlobalInt(int index);
long double Kiln_sin(float degrees);  // sine of degrees, in extended precision
long double Kiln_cos(float degrees);
// A random generator's two state words. Each run owns one, so two runs (the
// live one and a ghost, or a replay being watched) advance in one process
// without touching each other's sequence.
struct KilnRandom {
    uint32_t seed = 0;
    uint32_t index = 0;
};
// Makes a generator the one Kiln_srand, Kiln_rand and Kiln_getRandIndex act
// on while the scope lives, then gives the previous one back. Outside every
// scope they act on the process's own generator.
class KilnRandomScope {
public:
    explicit KilnRandomScope(KilnRandom& generator);
    ~KilnRandomScope();
    KilnRandomScope(const KilnRandomScope&) = delete;
    KilnRandomScope& operator=(const KilnRandomScope&) = delete;

private:
    KilnRandom* previous_;
};
void Kiln_srand(uint32_t seed, uint32_t index);
int Kiln_rand(int min, int max);
uint32_t Kiln_getRandIndex();  // the active generator's index word, for replay traces
// Saves the picture as the first free "kilnshot-NNNN.png" of the screenshot
// directory, creating it when missing; never replaces an earlier one.
// Returns the file written, "" when nothing was.
std::string Kiln_screenshot();
int Kiln_getFps();
int Kiln_getCpuPercent();
void Kiln_drawFps(int x, int y);

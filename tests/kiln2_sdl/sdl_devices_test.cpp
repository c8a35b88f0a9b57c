// The real SDL joystick and audio parts, driven without a display: a
// headless window with SDL's virtual joysticks, and SDL_mixer on the dummy
// audio driver or on none at all.
#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <vector>

#include "kiln2/backend.h"
#include "kiln2_sdl/real_backend.h"
#include "kiln2/kiln_state.h"
#include "kiln2/kiln_test_support.h"

using namespace kiln_test;

namespace {

KilnHeadlessOptions quietFiles() {
    KilnHeadlessOptions options;
    options.readResourceFiles = true;
    options.logToStderr = true;
    return options;
}

class SdlJoystick : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0) << SDL_GetError();
        firstVirtual_ = SDL_NumJoysticks();
        if (firstVirtual_ > 2) GTEST_SKIP() << "too many real joysticks on this machine";
        device_ = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 2, 6, 0);
        ASSERT_GE(device_, 0) << SDL_GetError();
        handle_ = SDL_JoystickOpen(device_);
        ASSERT_NE(handle_, nullptr) << SDL_GetError();

        kiln_headless::reset();
        auto backend = kilnMakeHeadlessBackend(quietFiles());
        backend->joysticks = kilnMakeSdlJoysticks();
        kilnInstallBackend(std::move(backend));
        writeFontBmp();
        Kiln_init("test", 640, 480, false, false);
        slot_ = device_;
    }

    void TearDown() override {
        if (kilnState().initialized) Kiln_quit();
        kiln_headless::reset();
        if (handle_) SDL_JoystickClose(handle_);
        if (device_ >= 0) SDL_JoystickDetachVirtual(device_);
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    }

    static void frame() {
        Kiln_flip();
        Kiln_waitFrame(16);
    }

    void setButton(int button, bool down) { SDL_JoystickSetVirtualButton(handle_, button, down ? 1 : 0); }
    void setAxes(int16_t x, int16_t y) {
        SDL_JoystickSetVirtualAxis(handle_, 0, x);
        SDL_JoystickSetVirtualAxis(handle_, 1, y);
    }

    ScratchDir scratch_;
    int firstVirtual_ = 0;
    int device_ = -1;
    int slot_ = 0;
    SDL_Joystick* handle_ = nullptr;
};

TEST_F(SdlJoystick, ButtonsAreReadThroughSdl) {
    setButton(1, true);
    frame();
    EXPECT_TRUE(Kiln_isJoyButtonPressed(1, slot_));
    EXPECT_TRUE(Kiln_isJoyButtonPushed(1, slot_));
    EXPECT_FALSE(Kiln_isJoyButtonPressed(0, slot_));
    frame();
    EXPECT_TRUE(Kiln_isJoyButtonPressed(1, slot_));
    EXPECT_FALSE(Kiln_isJoyButtonPushed(1, slot_));
    setButton(1, false);
    frame();
    EXPECT_FALSE(Kiln_isJoyButtonPressed(1, slot_));
}

TEST_F(SdlJoystick, ButtonCountComesFromTheDevice) {
    EXPECT_EQ(kilnState().joysticks[static_cast<size_t>(slot_)].buttonCount, 6);
    setButton(5, true);
    frame();
    EXPECT_TRUE(Kiln_isJoyButtonPressed(5, slot_));
    EXPECT_FALSE(Kiln_isJoyButtonPressed(6, slot_));
}

TEST_F(SdlJoystick, StickThresholdsHoldThroughSdl) {
    setAxes(26214, -26214);
    frame();
    EXPECT_FALSE(Kiln_isJoyDirPressed(JOY_RIGHT, slot_));
    EXPECT_FALSE(Kiln_isJoyDirPressed(JOY_UP, slot_));
    setAxes(26215, -26215);
    frame();
    EXPECT_TRUE(Kiln_isJoyDirPressed(JOY_RIGHT, slot_));
    EXPECT_TRUE(Kiln_isJoyDirPushed(JOY_UP, slot_));
    EXPECT_FALSE(Kiln_isJoyDirPressed(JOY_NONE, slot_));
    setAxes(-32768, 32767);
    frame();
    EXPECT_TRUE(Kiln_isJoyDirPushed(JOY_LEFT, slot_));
    EXPECT_TRUE(Kiln_isJoyDirPushed(JOY_DOWN, slot_));
}

TEST_F(SdlJoystick, SlotsAboveTheDevicesHaveNone) {
    setButton(0, true);
    frame();
    for (int joy = slot_ + 1; joy < 4; ++joy) {
        EXPECT_FALSE(kilnState().joysticks[static_cast<size_t>(joy)].hasDevice);
        EXPECT_FALSE(Kiln_isJoyButtonPressed(0, joy));
        EXPECT_FALSE(Kiln_isJoyDirPressed(JOY_UP, joy));
    }
}

// Controllers through SDL's real game-controller interface and its real
// device events: a headless window, SDL joysticks and SDL's event queue.
class SdlControllers : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0) << SDL_GetError(); }

    void TearDown() override {
        if (kilnState().initialized) Kiln_quit();
        kiln_headless::reset();
        for (SDL_Joystick* handle : handles_) SDL_JoystickClose(handle);
        while (SDL_NumJoysticks() > 0 && SDL_JoystickIsVirtual(0)) SDL_JoystickDetachVirtual(0);
        unsetenv("SDL_GAMECONTROLLERCONFIG");
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    }

    void startFramework(const std::string& mappingFile = "") {
        kiln_headless::reset();
        auto backend = kilnMakeHeadlessBackend(quietFiles());
        backend->joysticks = kilnMakeSdlJoysticks();
        backend->input = kilnMakeSdlInput();
        kilnInstallBackend(std::move(backend));
        Kiln_setControllerMappingFile(mappingFile);
        writeFontBmp();
        Kiln_init("test", 640, 480, false, false);
    }

    // A virtual device; a game controller's buttons are SDL's controller buttons in order.
    SDL_Joystick* attach(SDL_JoystickType type, const char* name, int buttons, int axes) {
        SDL_VirtualJoystickDesc desc;
        SDL_zero(desc);
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = static_cast<Uint16>(type);
        desc.nbuttons = static_cast<Uint16>(buttons);
        desc.naxes = static_cast<Uint16>(axes);
        desc.name = name;
        const int index = SDL_JoystickAttachVirtualEx(&desc);
        EXPECT_GE(index, 0) << SDL_GetError();
        SDL_Joystick* handle = SDL_JoystickOpen(index);
        handles_.push_back(handle);
        return handle;
    }

    // Frames until cond holds; false after a second's worth.
    static bool framesUntil(const std::function<bool()>& cond) {
        for (int i = 0; i < 60 && !cond(); ++i) {
            Kiln_flip();
            Kiln_waitFrame(16);
        }
        return cond();
    }

    static void frame() {
        Kiln_flip();
        Kiln_waitFrame(16);
    }

    ScratchDir scratch_;
    std::vector<SDL_Joystick*> handles_;
};

TEST_F(SdlControllers, AControllerPluggedInIsReadByPositionAndPulledOutPausesNews) {
    if (SDL_NumJoysticks() != 0) GTEST_SKIP() << "this machine has a joystick";
    startFramework();
    SDL_Joystick* pad = attach(SDL_JOYSTICK_TYPE_GAMECONTROLLER, "Virtual Test Pad", SDL_CONTROLLER_BUTTON_MAX,
                               SDL_CONTROLLER_AXIS_MAX);
    ASSERT_TRUE(framesUntil([] { return Kiln_getControllerCount() == 1; }));
    EXPECT_EQ(readFile("run.log"), "Controller connected: Virtual Test Pad\n");
    frame();
    SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_B, 1);  // the east face button
    frame();
    EXPECT_TRUE(Kiln_isPadPushed(PAD_B));
    EXPECT_FALSE(Kiln_isPadPressed(PAD_A));
    SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_B, 0);
    SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_START, 1);
    SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTY, -32768);
    frame();
    EXPECT_TRUE(Kiln_isPadPushed(PAD_PAUSE));
    EXPECT_TRUE(Kiln_isPadPushed(PAD_UP));
    EXPECT_FALSE(Kiln_isPadPressed(PAD_B));
    SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 1);
    frame();
    EXPECT_TRUE(Kiln_isPadPushed(PAD_RIGHT));

    ASSERT_EQ(SDL_JoystickDetachVirtual(0), 0) << SDL_GetError();
    ASSERT_TRUE(framesUntil([] { return Kiln_wasControllerLost(); }));
    EXPECT_EQ(Kiln_getControllerCount(), 0);
    frame();
    EXPECT_FALSE(Kiln_wasControllerLost());
    EXPECT_FALSE(Kiln_isPadPressed(PAD_UP));
    EXPECT_EQ(readFile("run.log"),
              "Controller connected: Virtual Test Pad\nController disconnected: Virtual Test Pad\n");
}

TEST_F(SdlControllers, ADevicePresentAtStartUpIsOpenedOnceAndAnUnknownOneIsReadRaw) {
    if (SDL_NumJoysticks() != 0) GTEST_SKIP() << "this machine has a joystick";
    SDL_Joystick* stick = attach(SDL_JOYSTICK_TYPE_UNKNOWN, "Plain Stick", 4, 2);
    startFramework();
    for (int i = 0; i < 5; ++i) frame();  // the start-up announcement of the same device comes and goes
    EXPECT_EQ(Kiln_getControllerCount(), 1);
    EXPECT_EQ(readFile("run.log"),
              "Controller connected: Plain Stick (no mapping known: button 0 is A, button 1 is B, the first stick "
              "moves)\n");
    SDL_JoystickSetVirtualButton(stick, 0, 1);
    SDL_JoystickSetVirtualAxis(stick, 0, 32767);
    frame();
    EXPECT_TRUE(Kiln_isPadPushed(PAD_A));
    EXPECT_TRUE(Kiln_isPadPushed(PAD_RIGHT));
    EXPECT_TRUE(Kiln_isJoyButtonPressed(0, 0)) << "and it sits in joystick slot 0";
}

TEST_F(SdlControllers, MappingsFromTheEnvironmentAreAddedLineByLineAndADamagedOneIsNamed) {
    if (SDL_NumJoysticks() != 0) GTEST_SKIP() << "this machine has a joystick";
    SDL_Joystick* stick = attach(SDL_JOYSTICK_TYPE_UNKNOWN, "Plain Stick", 4, 2);
    char guid[33];
    SDL_JoystickGetGUIDString(SDL_JoystickGetGUID(stick), guid, sizeof guid);
    std::string mapped = guid;
    mapped.replace(4, 4, "0000");  // mapping files carry GUIDs without the name's checksum
    setenv("SDL_GAMECONTROLLERCONFIG", ("garbage line\n" + mapped + ",Env Pad,a:b3,b:b2,\n").c_str(), 1);
    startFramework();
    EXPECT_EQ(readFile("run.log"),
              "Controller mappings: SDL_GAMECONTROLLERCONFIG line 1 skipped: it does not start with a 32-digit "
              "GUID\nController connected: Env Pad\n");
    SDL_JoystickSetVirtualButton(stick, 3, 1);
    frame();
    EXPECT_TRUE(Kiln_isPadPushed(PAD_A)) << "button 3 is south now";
    EXPECT_FALSE(Kiln_isPadPressed(PAD_B));
}

TEST_F(SdlControllers, TheMappingFileMakesAnUnknownDeviceAController) {
    if (SDL_NumJoysticks() != 0) GTEST_SKIP() << "this machine has a joystick";
    SDL_Joystick* stick = attach(SDL_JOYSTICK_TYPE_UNKNOWN, "Plain Stick", 4, 2);
    char guid[33];
    SDL_JoystickGetGUIDString(SDL_JoystickGetGUID(stick), guid, sizeof guid);
    std::string mapped = guid;
    mapped.replace(4, 4, "0000");
    std::ofstream("gamecontrollerdb.txt") << "# my stick\n" << mapped << ",File Pad,a:b2,b:b3,start:b1,\n";
    startFramework("gamecontrollerdb.txt");
    EXPECT_EQ(readFile("run.log"), "Controller connected: File Pad\n");
    SDL_JoystickSetVirtualButton(stick, 1, 1);
    frame();
    EXPECT_TRUE(Kiln_isPadPushed(PAD_PAUSE));
}

// Presses that come and go between two frames are known only from their
// events: a down and an up pushed into SDL's queue, with SDL's own state never
// held, still push once and hold for one frame. A key repeat is no press.
TEST_F(SdlControllers, ADownAndAnUpQueuedBetweenTwoFramesPushOnceOnEveryDevice) {
    if (SDL_NumJoysticks() != 0) GTEST_SKIP() << "this machine has a joystick";
    SDL_Joystick* stick = attach(SDL_JOYSTICK_TYPE_UNKNOWN, "Plain Stick", 4, 2);
    SDL_Joystick* pad = attach(SDL_JOYSTICK_TYPE_GAMECONTROLLER, "Virtual Test Pad", SDL_CONTROLLER_BUTTON_MAX,
                               SDL_CONTROLLER_AXIS_MAX);
    startFramework();
    for (int i = 0; i < 5; ++i) frame();  // the start-up announcements come and go
    ASSERT_EQ(Kiln_getControllerCount(), 2);
    const SDL_JoystickID stickId = SDL_JoystickInstanceID(stick);
    const SDL_JoystickID padId = SDL_JoystickInstanceID(pad);

    auto key = [](Uint32 type, Uint8 repeat) {
        SDL_Event event;
        SDL_zero(event);
        event.type = type;
        event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        event.key.repeat = repeat;
        event.key.keysym.scancode = SDL_SCANCODE_Q;
        return event;
    };
    auto mouse = [](Uint32 type) {
        SDL_Event event;
        SDL_zero(event);
        event.type = type;
        event.button.button = SDL_BUTTON_RIGHT;
        return event;
    };
    auto joyButton = [stickId](Uint32 type) {
        SDL_Event event;
        SDL_zero(event);
        event.type = type;
        event.jbutton.which = stickId;
        event.jbutton.button = 0;
        return event;
    };
    auto padButton = [padId](Uint32 type) {
        SDL_Event event;
        SDL_zero(event);
        event.type = type;
        event.cbutton.which = padId;
        event.cbutton.button = SDL_CONTROLLER_BUTTON_RIGHTSHOULDER;
        return event;
    };
    struct Case {
        const char* device;
        SDL_Event down, up;
        std::function<bool()> held, pushed;
        int frames;  // frames held and pushed, out of six
    };
    const Case cases[] = {
        {"a key", key(SDL_KEYDOWN, 0), key(SDL_KEYUP, 0), [] { return Kiln_isKeyPressed('q'); },
         [] { return Kiln_isKeyPushed('q'); }, 1},
        {"a key repeat", key(SDL_KEYDOWN, 1), key(SDL_KEYUP, 0), [] { return Kiln_isKeyPressed('q'); },
         [] { return Kiln_isKeyPushed('q'); }, 0},
        {"the right mouse button", mouse(SDL_MOUSEBUTTONDOWN), mouse(SDL_MOUSEBUTTONUP),
         [] { return Kiln_getMouseButtons() == 0x4; }, [] { return Kiln_getMouseButtonsPushed() == 0x4; }, 1},
        {"a joystick button", joyButton(SDL_JOYBUTTONDOWN), joyButton(SDL_JOYBUTTONUP),
         [] { return Kiln_isJoyButtonPressed(0, 0); }, [] { return Kiln_isJoyButtonPushed(0, 0); }, 1},
        {"an unmapped device's A", joyButton(SDL_JOYBUTTONDOWN), joyButton(SDL_JOYBUTTONUP),
         [] { return Kiln_isPadPressed(PAD_A); }, [] { return Kiln_isPadPushed(PAD_A); }, 1},
        {"a controller's shoulder", padButton(SDL_CONTROLLERBUTTONDOWN), padButton(SDL_CONTROLLERBUTTONUP),
         [] { return Kiln_isPadPressed(PAD_JUMP_FORWARD); }, [] { return Kiln_isPadPushed(PAD_JUMP_FORWARD); }, 1},
    };
    for (const Case& c : cases) {
        for (SDL_Event event : {c.down, c.up}) ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
        int held = 0;
        int pushed = 0;
        for (int i = 0; i < 6; ++i) {
            frame();
            held += c.held() ? 1 : 0;
            pushed += c.pushed() ? 1 : 0;
        }
        EXPECT_EQ(held, c.frames) << c.device;
        EXPECT_EQ(pushed, c.frames) << c.device;
    }
}

// Starts the framework with a headless window and SDL_mixer on the given driver.
class SdlSound : public ::testing::Test {
protected:
    void startWithAudioDriver(const char* driver) {
        setenv("SDL_AUDIODRIVER", driver, 1);
        kiln_headless::reset();
        auto backend = kilnMakeHeadlessBackend(quietFiles());
        backend->audio = kilnMakeSdlAudio();
        kilnInstallBackend(std::move(backend));
        writeFontBmp();
        Kiln_init("test", 640, 480, false, false);
    }

    void TearDown() override {
        if (kilnState().initialized) Kiln_quit();
        kiln_headless::reset();
        unsetenv("SDL_AUDIODRIVER");
    }

    ScratchDir scratch_;
};

TEST_F(SdlSound, WavPlaysOnTheDummyDevice) {
    startWithAudioDriver("dummy");
    ASSERT_TRUE(kilnState().audioOpen);
    int frequency = 0, channels = 0;
    Uint16 format = 0;
    ASSERT_EQ(Mix_QuerySpec(&frequency, &format, &channels), 1);
    EXPECT_EQ(frequency, 22050);
    EXPECT_EQ(format, AUDIO_S16LSB);
    EXPECT_EQ(channels, 2);

    writeWav("resource/sound/itemget.wav");
    Kiln_loadWAV("itemget", "resource/sound/itemget.wav");
    Kiln_playWAV("itemget", 0, -1);
    Kiln_playWAV("itemget", 0, -1);
    EXPECT_EQ(Mix_Playing(-1), 2) << "the same sound on two channels at once";
    Kiln_stopWAV(-1);
    EXPECT_EQ(Mix_Playing(-1), 0);
    EXPECT_FALSE(std::filesystem::exists("run.log")) << "nothing to say about a working device";
}

TEST_F(SdlSound, MusicStartsStopsAndFades) {
    startWithAudioDriver("dummy");
    writeWav("resource/sound/results.wav", 22050, 22050);
    Kiln_playBgm("resource/sound/results.wav", 0, 0);
    EXPECT_EQ(Mix_PlayingMusic(), 1);
    Kiln_stopBgm(0);
    EXPECT_EQ(Mix_PlayingMusic(), 0);
    Kiln_playBgm("resource/sound/results.wav", -1, 500);
    EXPECT_EQ(Mix_FadingMusic(), MIX_FADING_IN);
    Kiln_stopBgm(1000);
    EXPECT_EQ(Mix_FadingMusic(), MIX_FADING_OUT);
    Kiln_playBgm("resource/sound/results.wav", 0, 0);
    EXPECT_EQ(Mix_FadingMusic(), MIX_NO_FADING) << "the fading music was replaced";
}

TEST_F(SdlSound, MissingFilesAreErrorsOnARealDevice) {
    startWithAudioDriver("dummy");
    const std::string wav = errorOf([] { Kiln_loadWAV("x", "missing.wav"); });
    EXPECT_EQ(wav.rfind("Kiln_loadWAV: ", 0), 0u) << wav;
    EXPECT_NE(wav.find("(missing.wav)"), std::string::npos) << wav;
    const std::string music = errorOf([] { Kiln_playBgm("missing.ogg", -1, 0); });
    EXPECT_EQ(music.rfind("Kiln_playBgm: ", 0), 0u) << music;
}

TEST_F(SdlSound, NoAudioDeviceRunsSilentlyAndSaysSoOnce) {
    startWithAudioDriver("nonexistent");
    EXPECT_FALSE(kilnState().audioOpen);
    const std::string log = readFile("run.log");
    EXPECT_EQ(log.rfind("Kiln_init: no audio device (", 0), 0u) << log;
    EXPECT_NE(log.find("), running silently\n"), std::string::npos) << log;
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1);

    writeWav("resource/sound/miss.wav");
    Kiln_loadWAV("miss", "resource/sound/miss.wav");
    Kiln_playWAV("miss", 0, -1);
    Kiln_playBgm("resource/sound/miss.wav", -1, 0);
    Kiln_stopBgm(1000);
    std::ofstream("garbage.wav") << "RIFF but not really";
    EXPECT_EQ(errorOf([] { Kiln_loadWAV("x", "garbage.wav"); }).rfind("Kiln_loadWAV: ", 0), 0u);
    EXPECT_EQ(errorOf([] { Kiln_loadWAV("x", "missing.wav"); }).rfind("Kiln_loadWAV: ", 0), 0u);
    EXPECT_EQ(errorOf([] { Kiln_playBgm("missing.ogg", -1, 0); }).rfind("Kiln_playBgm: ", 0), 0u);
    EXPECT_EQ(errorOf([] { Kiln_playWAV("x", 0, -1); }), "Kiln_playWAV: Has not exist key: x");
}

}  // namespace

// Real joysticks and game controllers through SDL2. A device SDL's
// game-controller database knows (its own list, the player's extra mappings)
// is opened as a game controller and read by positions; any other as a plain
// joystick. Devices are known by SDL's instance ids, which survive other
// devices coming and going.
#include <SDL.h>

#include <cstdio>
#include <map>
#include <mutex>
#include <set>
#include <tuple>

#include "kiln2/backend.h"
#include "kiln2_sdl/real_backend.h"
#include "kiln2_sdl/test_pad.h"

namespace {

constexpr SDL_GameControllerButton POSITIONS[CONTROLLER_INPUT_COUNT] = {
    SDL_CONTROLLER_BUTTON_A,         // south
    SDL_CONTROLLER_BUTTON_B,         // east
    SDL_CONTROLLER_BUTTON_START,     // start
    SDL_CONTROLLER_BUTTON_DPAD_UP,   // the D-pad
    SDL_CONTROLLER_BUTTON_DPAD_DOWN,
    SDL_CONTROLLER_BUTTON_DPAD_LEFT,
    SDL_CONTROLLER_BUTTON_DPAD_RIGHT,
    SDL_CONTROLLER_BUTTON_BACK,      // back (select)
    SDL_CONTROLLER_BUTTON_LEFTSHOULDER,
    SDL_CONTROLLER_BUTTON_RIGHTSHOULDER,
    SDL_CONTROLLER_BUTTON_Y,         // north
};

class SdlJoysticks final : public KilnJoystickDevices {
public:
    ~SdlJoysticks() override { stop(); }

    void start() override {
        if (started_) return;
        // The game reads face buttons by where they sit, whatever is printed on them.
        SDL_SetHint(SDL_HINT_GAMECONTROLLER_USE_BUTTON_LABELS, "0");
        // The player's mapping lines in the environment are added by the
        // framework one by one, so that a damaged one is named in the log;
        // SDL is told not to read them a second time.
        const char* fromEnvironment = SDL_getenv("SDL_GAMECONTROLLERCONFIG");
        environmentMappings_ = fromEnvironment ? fromEnvironment : "";
        SDL_SetHintWithPriority(SDL_HINT_GAMECONTROLLERCONFIG, "", SDL_HINT_OVERRIDE);
        if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) < 0) {
            std::fprintf(stderr, "kvr2013: SDL game controllers: %s\n", SDL_GetError());
            throw KilnError("Kiln_init: Couldn't initialize SDL");
        }
        started_ = true;
        SDL_AddEventWatch(&SdlJoysticks::watchPresses, this);
        testPad_.start();
    }

    void stop() override {
        if (!started_) return;
        while (!devices_.empty()) close(devices_.begin()->first);
        testPad_.stop();
        SDL_DelEventWatch(&SdlJoysticks::watchPresses, this);
        SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
        started_ = false;
    }

    int deviceCount() override {
        const int count = SDL_NumJoysticks();
        return count < 0 ? 0 : count;
    }

    int deviceId(int index) override { return SDL_JoystickGetDeviceInstanceID(index); }

    KilnDeviceInfo open(int index) override {
        Device device;
        KilnDeviceInfo info;
        if (SDL_IsGameController(index)) {
            device.controller = SDL_GameControllerOpen(index);
            if (!device.controller) throw KilnError(SDL_GetError());
            device.joystick = SDL_GameControllerGetJoystick(device.controller);
            const char* name = SDL_GameControllerName(device.controller);
            info.name = name ? name : "";
            info.mapped = true;
        } else {
            device.joystick = SDL_JoystickOpen(index);
            if (!device.joystick) throw KilnError(SDL_GetError());
            const char* name = SDL_JoystickName(device.joystick);
            info.name = name ? name : "";
        }
        info.id = SDL_JoystickInstanceID(device.joystick);
        info.buttonCount = SDL_JoystickNumButtons(device.joystick);
        // Opening a device twice only counts SDL's references up; keep one.
        auto existing = devices_.find(info.id);
        if (existing != devices_.end()) release(existing->second);
        devices_[info.id] = device;
        return info;
    }

    void close(int id) override {
        auto found = devices_.find(id);
        if (found == devices_.end()) return;
        release(found->second);
        devices_.erase(found);
    }

    void update() override {
        if (!started_) return;
        testPad_.poll();
        SDL_JoystickUpdate();
        const std::lock_guard<std::mutex> lock(pressesMutex_);
        wentDown_ = std::move(pending_);
        pending_.clear();
    }

    bool button(int id, int button) override {
        const Device* device = find(id);
        return device && SDL_JoystickGetButton(device->joystick, button) == 1;
    }

    bool buttonWentDown(int id, int button) override { return wentDown_.count({id, Press::BUTTON, button}) > 0; }

    int16_t axis(int id, int axis) override {
        const Device* device = find(id);
        return device ? SDL_JoystickGetAxis(device->joystick, axis) : 0;
    }

    bool controllerInput(int id, KilnControllerInput input) override {
        const Device* device = find(id);
        if (!device || !device->controller || input < 0 || input >= CONTROLLER_INPUT_COUNT) return false;
        return SDL_GameControllerGetButton(device->controller, POSITIONS[input]) == 1;
    }

    bool controllerInputWentDown(int id, KilnControllerInput input) override {
        return wentDown_.count({id, Press::POSITION, input}) > 0;
    }

    int16_t controllerStick(int id, int axis) override {
        const Device* device = find(id);
        if (!device || !device->controller) return 0;
        return SDL_GameControllerGetAxis(device->controller,
                                         axis == 0 ? SDL_CONTROLLER_AXIS_LEFTX : SDL_CONTROLLER_AXIS_LEFTY);
    }

    bool addMapping(const std::string& line, std::string& error) override {
        if (SDL_GameControllerAddMapping(line.c_str()) >= 0) return true;
        error = SDL_GetError();
        return false;
    }

    std::string environmentMappings() override { return environmentMappings_; }

private:
    struct Device {
        SDL_Joystick* joystick = nullptr;
        SDL_GameController* controller = nullptr;  // null for a device read as a plain joystick
    };

    static void release(const Device& device) {
        if (device.controller) {
            SDL_GameControllerClose(device.controller);
        } else if (device.joystick) {
            SDL_JoystickClose(device.joystick);
        }
    }

    const Device* find(int id) const {
        auto found = devices_.find(id);
        return found == devices_.end() ? nullptr : &found->second;
    }

    // One button or position of one device that went down.
    struct Press {
        enum Kind { BUTTON, POSITION };
        int id;
        Kind kind;
        int number;  // the raw button, or the KilnControllerInput
        bool operator<(const Press& other) const {
            return std::tie(id, kind, number) < std::tie(other.id, other.kind, other.number);
        }
    };

    // SDL's button state only holds what is down when a frame reads it; its
    // down events are seen here as they are queued (by SDL_JoystickUpdate
    // or by the event pump, whichever comes first), before the input part
    // takes them from the queue. SDL may call this from another thread.
    static int SDLCALL watchPresses(void* self, SDL_Event* event) {
        auto& joysticks = *static_cast<SdlJoysticks*>(self);
        if (event->type == SDL_JOYBUTTONDOWN) {
            joysticks.latch({event->jbutton.which, Press::BUTTON, event->jbutton.button});
        } else if (event->type == SDL_CONTROLLERBUTTONDOWN) {
            for (int input = 0; input < CONTROLLER_INPUT_COUNT; ++input) {
                if (POSITIONS[input] != event->cbutton.button) continue;
                joysticks.latch({event->cbutton.which, Press::POSITION, input});
            }
        }
        return 1;
    }

    void latch(const Press& press) {
        const std::lock_guard<std::mutex> lock(pressesMutex_);
        pending_.insert(press);
    }

    bool started_ = false;
    std::map<int, Device> devices_;
    std::string environmentMappings_;
    KilnTestPad testPad_;
    std::mutex pressesMutex_;
    std::set<Press> pending_;  // since the last update, under pressesMutex_
    std::set<Press> wentDown_;  // between the last two updates
};

}  // namespace

std::unique_ptr<KilnJoystickDevices> kilnMakeSdlJoysticks() { return std::make_unique<SdlJoysticks>(); }

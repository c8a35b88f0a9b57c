// Real joysticks through SDL2: slot i is the device with index i at start-up.
#include <SDL.h>

#include <array>

#include "kiln2/backend.h"
#include "kiln2_sdl/real_backend.h"

namespace {

class SdlJoysticks final : public KilnJoystickDevices {
public:
    ~SdlJoysticks() override { stop(); }

    void start() override {
        if (started_) return;
        if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) < 0) throw KilnError("Kiln_init: Couldn't initialize SDL");
        started_ = true;
    }

    void stop() override {
        if (!started_) return;
        for (int slot = 0; slot < 4; ++slot) close(slot);
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
        started_ = false;
    }

    int deviceCount() override {
        const int count = SDL_NumJoysticks();
        return count < 0 ? 0 : count;
    }

    int open(int slot) override {
        SDL_Joystick* handle = SDL_JoystickOpen(slot);
        if (!handle) throw KilnError(SDL_GetError());
        handles_[static_cast<size_t>(slot)] = handle;
        return SDL_JoystickNumButtons(handle);
    }

    void close(int slot) override {
        SDL_Joystick*& handle = handles_[static_cast<size_t>(slot)];
        if (handle) SDL_JoystickClose(handle);
        handle = nullptr;
    }

    void update() override {
        if (started_) SDL_JoystickUpdate();
    }

    bool button(int slot, int button) override {
        SDL_Joystick* handle = handles_[static_cast<size_t>(slot)];
        return handle && SDL_JoystickGetButton(handle, button) == 1;
    }

    int16_t axis(int slot, int axis) override {
        SDL_Joystick* handle = handles_[static_cast<size_t>(slot)];
        return handle ? SDL_JoystickGetAxis(handle, axis) : 0;
    }

private:
    bool started_ = false;
    std::array<SDL_Joystick*, 4> handles_{};
};

}  // namespace

std::unique_ptr<KilnJoystickDevices> kilnMakeSdlJoysticks() { return std::make_unique<SdlJoysticks>(); }

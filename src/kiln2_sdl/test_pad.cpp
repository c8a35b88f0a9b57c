// The test pad: a virtual SDL game controller driven by a command file.
#include "kiln2_sdl/test_pad.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

constexpr std::streamsize kLargestCommandFile = 1024;
constexpr const char* kPadName = "KVR Test Pad";

struct Position {
    const char* name;
    SDL_GameControllerButton button;
};

// SDL maps a virtual controller's buttons in the order of its button list, so
// button i of the device is SDL_GameControllerButton i.
constexpr Position POSITIONS[] = {
    {"south", SDL_CONTROLLER_BUTTON_A},          {"east", SDL_CONTROLLER_BUTTON_B},
    {"start", SDL_CONTROLLER_BUTTON_START},      {"up", SDL_CONTROLLER_BUTTON_DPAD_UP},
    {"down", SDL_CONTROLLER_BUTTON_DPAD_DOWN},   {"left", SDL_CONTROLLER_BUTTON_DPAD_LEFT},
    {"right", SDL_CONTROLLER_BUTTON_DPAD_RIGHT}, {"back", SDL_CONTROLLER_BUTTON_BACK},
    {"leftshoulder", SDL_CONTROLLER_BUTTON_LEFTSHOULDER}, {"rightshoulder", SDL_CONTROLLER_BUTTON_RIGHTSHOULDER},
    {"north", SDL_CONTROLLER_BUTTON_Y},
};

int deviceIndexOf(int instanceId) {
    for (int index = 0; index < SDL_NumJoysticks(); ++index) {
        if (SDL_JoystickGetDeviceInstanceID(index) == instanceId) return index;
    }
    return -1;
}

}  // namespace

void KilnTestPad::start() {
    const char* file = std::getenv("KVR_TEST_PAD_FILE");
    commandFile_ = file ? file : "";
}

void KilnTestPad::stop() {
    detach();
    commandFile_.clear();
}

void KilnTestPad::poll() {
    if (commandFile_.empty()) return;
    std::ifstream in(commandFile_, std::ios::binary);
    if (!in) return;
    std::string text(static_cast<size_t>(kLargestCommandFile), '\0');
    in.read(text.data(), kLargestCommandFile);
    text.resize(static_cast<size_t>(in.gcount()));
    in.close();
    std::remove(commandFile_.c_str());
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::string command, name;
        words >> command >> name;
        run(command, name);
    }
}

void KilnTestPad::run(const std::string& command, const std::string& name) {
    if (command == "attach") {
        attach();
    } else if (command == "detach") {
        detach();
    } else if ((command == "press" || command == "release") && handle_) {
        for (const Position& position : POSITIONS) {
            if (name == position.name) {
                SDL_JoystickSetVirtualButton(handle_, position.button, command == "press" ? 1 : 0);
            }
        }
    }
}

void KilnTestPad::attach() {
    if (handle_) return;
    SDL_VirtualJoystickDesc desc;
    SDL_zero(desc);
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    desc.name = kPadName;
    const int index = SDL_JoystickAttachVirtualEx(&desc);
    if (index < 0) return;
    handle_ = SDL_JoystickOpen(index);
    instanceId_ = handle_ ? SDL_JoystickInstanceID(handle_) : -1;
}

void KilnTestPad::detach() {
    if (!handle_) return;
    SDL_JoystickClose(handle_);
    handle_ = nullptr;
    const int index = deviceIndexOf(instanceId_);
    if (index >= 0) SDL_JoystickDetachVirtual(index);
    instanceId_ = -1;
}

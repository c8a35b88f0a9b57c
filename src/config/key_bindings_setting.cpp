// Reading and writing the KEY_* lines of "config.ini" with their recovery rules.
#include "config/key_bindings_setting.h"

#include <algorithm>

namespace {

const char* const KEYS[BOUND_BUTTON_COUNT] = {"KEY_UP", "KEY_DOWN", "KEY_LEFT", "KEY_RIGHT", "KEY_A", "KEY_B"};
const char* const DEFAULT_NAMES[BOUND_BUTTON_COUNT] = {"Up", "Down", "Left", "Right", "Z", "X"};

std::string fileLabel(const ConfigParser& config) {
    return config.fileName().empty() ? std::string("config") : config.fileName();
}

bool takenBefore(const KeyBindingNames& names, int button, const std::string& name) {
    return std::find(names.begin(), names.begin() + button, name) != names.begin() + button;
}

}  // namespace

const char* keyBindingKey(int button) { return button >= 0 && button < BOUND_BUTTON_COUNT ? KEYS[button] : ""; }

KeyBindingNames defaultKeyBindingNames() {
    KeyBindingNames names;
    for (int button = 0; button < BOUND_BUTTON_COUNT; ++button) names[static_cast<size_t>(button)] = DEFAULT_NAMES[button];
    return names;
}

bool keyNameStorable(const std::string& name) {
    return !name.empty() && name.find_first_of("#=\n") == std::string::npos && name.front() != ' ' &&
           name.back() != ' ';
}

KeyBindingNames readKeyBindings(ConfigParser& config, KeyNameCheck check, std::vector<std::string>& problems) {
    KeyBindingNames names = defaultKeyBindingNames();
    for (int button = 0; button < BOUND_BUTTON_COUNT; ++button) {
        const auto slot = static_cast<size_t>(button);
        const char* key = KEYS[button];
        if (!config.hasKey(key)) continue;
        const std::string value = config.getString(key);
        const std::string name = check(value);
        if (name.empty() || !keyNameStorable(name)) {
            problems.push_back(fileLabel(config) + ": bad value for " + key + " ('" + value + "'), using " +
                               DEFAULT_NAMES[button]);
        } else if (takenBefore(names, button, name)) {
            problems.push_back(fileLabel(config) + ": " + key + " ('" + value +
                               "') is bound to another button already, using " + DEFAULT_NAMES[button]);
        } else {
            names[slot] = name;
        }
    }
    for (int button = 1; button < BOUND_BUTTON_COUNT; ++button) {
        if (takenBefore(names, button, names[static_cast<size_t>(button)])) {
            problems.push_back(fileLabel(config) + ": the keys KEY_UP to KEY_B share a key, using the default keys");
            return defaultKeyBindingNames();
        }
    }
    return names;
}

void writeKeyBindings(ConfigParser& config, const KeyBindingNames& names) {
    for (int button = 0; button < BOUND_BUTTON_COUNT; ++button) config.set(KEYS[button], names[static_cast<size_t>(button)]);
}

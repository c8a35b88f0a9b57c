// The player's keys for the six bindable buttons, and the translation of the
// frame's physical keys into the keys the game reads. Everything above the
// framework (the keypad, so every recorded replay) sees only the translated
// keys, so a run flown with any keys replays the same with the defaults.
#include <algorithm>

#include "kiln2/kiln_state.h"

namespace {

// Keys with a job of their own: quitting, the window and picture keys, the
// mute, and the options on the title.
constexpr int kReservedKeys[] = {KEY_ESCAPE, KEY_F4, KEY_F5, KEY_F9, KEY_F10, KEY_F12, KEY_m, KEY_o};

// Second keys that drove A and B before keys could be bound; they still do
// until a binding takes them for a button.
struct SecondKey {
    int key;
    int button;
};
constexpr SecondKey kSecondKeys[] = {{KEY_SPACE, PAD_A}, {KEY_RETURN, PAD_B}};

bool bindable(int button) { return button >= 0 && button < KILN_BINDABLE_BUTTONS; }

size_t slot(int key) { return static_cast<size_t>(key); }

KilnBindResult checkKey(int key) {
    if (key < 0 || key >= KILN_KEY_COUNT || Kiln_keyName(key)[0] == '\0') return BIND_NO_KEY;
    if (Kiln_isKeyReserved(key)) return BIND_RESERVED;
    return BIND_DONE;
}

// A key held while it is bound must not read as newly pushed in the next
// frame: this frame's keys are read again through the new bindings, so the
// next snapshot compares like with like.
void retranslate(KilnState& state) { kilnTranslateKeys(state); }

}  // namespace

void kilnTranslateKeys(KilnState& state) {
    const std::array<bool, KILN_KEY_COUNT>& physical = state.physicalKeys;
    state.keys = physical;
    const std::array<int, KILN_BINDABLE_BUTTONS> own = kilnDefaultKeyBindings();
    const auto& bound = state.keyBindings;
    for (const SecondKey& second : kSecondKeys) {
        if (std::find(bound.begin(), bound.end(), second.key) != bound.end()) state.keys[slot(second.key)] = false;
    }
    for (size_t button = 0; button < own.size(); ++button) {
        state.keys[slot(own[button])] = physical[slot(bound[button])];
    }
}

bool Kiln_isKeyReserved(int key) {
    return std::find(std::begin(kReservedKeys), std::end(kReservedKeys), key) != std::end(kReservedKeys);
}

KilnBindResult Kiln_bindKey(int button, int key) {
    if (!bindable(button)) return BIND_NO_KEY;
    const KilnBindResult checked = checkKey(key);
    if (checked != BIND_DONE) return checked;
    auto& bound = kilnState().keyBindings;
    for (int other = 0; other < KILN_BINDABLE_BUTTONS; ++other) {
        if (other != button && bound[static_cast<size_t>(other)] == key) return BIND_TAKEN;
    }
    bound[static_cast<size_t>(button)] = key;
    retranslate(kilnState());
    return BIND_DONE;
}

KilnBindResult Kiln_setKeyBindings(const std::array<int, KILN_BINDABLE_BUTTONS>& keys) {
    for (size_t button = 0; button < keys.size(); ++button) {
        const KilnBindResult checked = checkKey(keys[button]);
        if (checked != BIND_DONE) return checked;
        if (std::find(keys.begin() + static_cast<long>(button) + 1, keys.end(), keys[button]) != keys.end()) {
            return BIND_TAKEN;
        }
    }
    kilnState().keyBindings = keys;
    retranslate(kilnState());
    return BIND_DONE;
}

int Kiln_getBoundKey(int button) {
    return bindable(button) ? kilnState().keyBindings[static_cast<size_t>(button)] : -1;
}

int Kiln_getDefaultKey(int button) {
    return bindable(button) ? kilnDefaultKeyBindings()[static_cast<size_t>(button)] : -1;
}

void Kiln_resetKeyBindings() {
    kilnState().keyBindings = kilnDefaultKeyBindings();
    retranslate(kilnState());
}

int Kiln_getPushedPhysicalKey() {
    const KilnState& state = kilnState();
    for (int key = 0; key < KILN_KEY_COUNT; ++key) {
        if (state.physicalKeys[slot(key)] && !state.prevPhysicalKeys[slot(key)]) return key;
    }
    return -1;
}

void Kiln_keepEscapeForScene(bool kept) { kilnState().escapeKeptForScene = kept; }

bool Kiln_isEscapeKeptForScene() { return kilnState().escapeKeptForScene; }

void Kiln_keepTypingForScene(bool kept) { kilnState().typingKeptForScene = kept; }

bool Kiln_isTypingKeptForScene() { return kilnState().typingKeptForScene; }

// The player's keys in "config.ini": KEY_UP, KEY_DOWN, KEY_LEFT, KEY_RIGHT,
// KEY_A and KEY_B, each a key as the keyboard names it ("Up", "W", "Left
// Shift"). Which names are keys is the framework's knowledge, so the caller
// passes it in. Nothing here logs or throws; problems come back as lines.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "config/config_parser.h"

// The bound buttons in the order of the file and of the options screen.
enum BoundButton { BOUND_UP, BOUND_DOWN, BOUND_LEFT, BOUND_RIGHT, BOUND_A, BOUND_B, BOUND_BUTTON_COUNT };

using KeyBindingNames = std::array<std::string, BOUND_BUTTON_COUNT>;

// The key's name as the game spells it, or "" when it is no key the player
// may bind (unknown, or one with a job of its own such as Escape).
using KeyNameCheck = std::string (*)(const std::string& name);

// The config.ini key of a button: "KEY_UP" ... "KEY_B".
const char* keyBindingKey(int button);
// The arrows, Z and X.
KeyBindingNames defaultKeyBindingNames();

// False for a name "config.ini" cannot hold as a value ('#' starts a comment
// there, '=' ends a value): such a key cannot be bound.
bool keyNameStorable(const std::string& name);

// Reads the six keys. A missing key is its default, silently (older files
// lack them); an unknown or unstorable name, or one bound to an earlier
// button already, is the default with one problem line naming the key. If
// defaults then still collide, all six fall back with one more line.
KeyBindingNames readKeyBindings(ConfigParser& config, KeyNameCheck check, std::vector<std::string>& problems);
void writeKeyBindings(ConfigParser& config, const KeyBindingNames& names);

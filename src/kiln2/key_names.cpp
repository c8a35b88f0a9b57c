// The names of the game's key codes as the platform's keyboard spells them
// ("Up", "W", "Left Shift"): what "config.ini" stores and the options screen
// shows. A test of the real backend holds this table to SDL's own names.
#include <cctype>
#include <cstring>

#include "kiln2/kiln_state.h"

namespace {

struct KeyName {
    int key;
    const char* name;
};

constexpr KeyName kNames[] = {
    {'a', "A"}, {'b', "B"}, {'c', "C"}, {'d', "D"}, {'e', "E"}, {'f', "F"}, {'g', "G"}, {'h', "H"}, {'i', "I"},
    {'j', "J"}, {'k', "K"}, {'l', "L"}, {'m', "M"}, {'n', "N"}, {'o', "O"}, {'p', "P"}, {'q', "Q"}, {'r', "R"},
    {'s', "S"}, {'t', "T"}, {'u', "U"}, {'v', "V"}, {'w', "W"}, {'x', "X"}, {'y', "Y"}, {'z', "Z"},
    {'1', "1"}, {'2', "2"}, {'3', "3"}, {'4', "4"}, {'5', "5"}, {'6', "6"}, {'7', "7"}, {'8', "8"}, {'9', "9"},
    {'0', "0"},
    {13, "Return"}, {27, "Escape"}, {8, "Backspace"}, {9, "Tab"}, {32, "Space"},
    {'-', "-"}, {'=', "="}, {'[', "["}, {']', "]"}, {'\\', "\\"}, {'#', "#"}, {';', ";"}, {'\'', "'"},
    {'`', "`"}, {',', ","}, {'.', "."}, {'/', "/"},
    {301, "CapsLock"},
    {282, "F1"}, {283, "F2"}, {284, "F3"}, {285, "F4"}, {286, "F5"}, {287, "F6"}, {288, "F7"}, {289, "F8"},
    {290, "F9"}, {291, "F10"}, {292, "F11"}, {293, "F12"}, {294, "F13"}, {295, "F14"}, {296, "F15"},
    {316, "PrintScreen"}, {302, "ScrollLock"}, {19, "Pause"},
    {277, "Insert"}, {278, "Home"}, {280, "PageUp"}, {127, "Delete"}, {279, "End"}, {281, "PageDown"},
    {275, "Right"}, {276, "Left"}, {274, "Down"}, {273, "Up"},
    {300, "Numlock"}, {267, "Keypad /"}, {268, "Keypad *"}, {269, "Keypad -"}, {270, "Keypad +"},
    {271, "Keypad Enter"}, {257, "Keypad 1"}, {258, "Keypad 2"}, {259, "Keypad 3"}, {260, "Keypad 4"},
    {261, "Keypad 5"}, {262, "Keypad 6"}, {263, "Keypad 7"}, {264, "Keypad 8"}, {265, "Keypad 9"},
    {256, "Keypad 0"}, {266, "Keypad ."}, {272, "Keypad ="},
    {12, "Clear"}, {315, "Help"}, {319, "Menu"}, {320, "Power"}, {322, "Undo"}, {317, "SysReq"},
    {313, "ModeSwitch"},
    {306, "Left Ctrl"}, {304, "Left Shift"}, {308, "Left Alt"}, {311, "Left GUI"},
    {305, "Right Ctrl"}, {303, "Right Shift"}, {307, "Right Alt"}, {312, "Right GUI"},
};

// Names are read back without regard to case: a hand-edited "left shift" is meant well.
bool sameName(const char* a, const std::string& b) {
    if (std::strlen(a) != b.size()) return false;
    for (size_t i = 0; i < b.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

}  // namespace

const char* Kiln_keyName(int key) {
    for (const KeyName& entry : kNames) {
        if (entry.key == key) return entry.name;
    }
    return "";
}

int Kiln_keyFromName(const std::string& name) {
    if (name.empty()) return -1;
    for (const KeyName& entry : kNames) {
        if (sameName(entry.name, name)) return entry.key;
    }
    return -1;
}

std::string Kiln_bindableKeyName(const std::string& name) {
    const int key = Kiln_keyFromName(name);
    if (key < 0 || Kiln_isKeyReserved(key)) return "";
    return Kiln_keyName(key);
}

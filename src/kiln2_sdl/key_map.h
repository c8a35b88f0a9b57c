// The one table from the platform's keyboard scancodes to the game's classic
// key codes (0..322).
#pragma once

#include <array>
#include <cstdint>

struct KilnScancodeKey {
    int16_t scancode;
    int16_t key;
};

// The game's key code of an SDL2 scancode, -1 when the game has none for it.
int kilnKeyForScancode(int scancode);

// Sets keys[code] for every mapped scancode that is down in state (SDL's
// keyboard state array, numScancodes entries); the rest become false.
void kilnKeysFromScancodes(const uint8_t* state, int numScancodes, std::array<bool, 323>& keys);

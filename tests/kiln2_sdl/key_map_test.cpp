// The scancode table: the keys the game and its system keys use land on the
// classic codes, and nothing lands outside the 323-entry table.
#include <SDL.h>
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "kiln2_sdl/key_map.h"
#include "kiln2/kiln2.h"

namespace {

TEST(KeyMap, GameKeysKeepTheirClassicCodes) {
    EXPECT_EQ(kilnKeyForScancode(SDL_SCANCODE_Z), KEY_z);
    EXPECT_EQ(kilnKeyForScancode(SDL_SCANCODE_X), KEY_x);
    EXPECT_EQ(kilnKeyForScancode(SDL_SCANCODE_A), 'a');
    EXPECT_EQ(kilnKeyForScancode(SDL_SCANCODE_SPACE), KEY_SPACE);
    EXPECT_EQ(kilnKeyForScancode(SDL_SCANCODE_RETURN), KEY_RETURN);
    EXPECT_EQ(kilnKeyForScancode(SDL_SCANCODE_ESCAPE), KEY_ESCAPE);
    EXPECT_EQ(kilnKeyForScancode(SDL_SCANCODE_UP), KEY_UP);
    EXPECT_EQ(kilnKeyForScancode(SDL_SCANCODE_DOWN), KEY_DOWN);
    EXPECT_EQ(kilnKeyForScancode(SDL_SCANCODE_LEFT), KEY_LEFT);
    EXPECT_EQ(kilnKeyForScancode(SDL_SCANCODE_RIGHT), KEY_RIGHT);
    EXPECT_EQ(kilnKeyForScancode(SDL_SCANCODE_HOME), KEY_HOME);
    EXPECT_EQ(kilnKeyForScancode(SDL_SCANCODE_PAGEUP), KEY_PAGEUP);
    EXPECT_EQ(kilnKeyForScancode(SDL_SCANCODE_PAGEDOWN), KEY_PAGEDOWN);
    EXPECT_EQ(kilnKeyForScancode(SDL_SCANCODE_F4), KEY_F4);
    EXPECT_EQ(kilnKeyForScancode(SDL_SCANCODE_F12), KEY_F12);
    EXPECT_EQ(kilnKeyForScancode(SDL_SCANCODE_0), '0');
    EXPECT_EQ(kilnKeyForScancode(SDL_SCANCODE_1), '1');
    EXPECT_EQ(kilnKeyForScancode(SDL_SCANCODE_KP_0), 256);
    EXPECT_EQ(kilnKeyForScancode(SDL_SCANCODE_KP_9), 265);
    EXPECT_EQ(kilnKeyForScancode(SDL_SCANCODE_KP_ENTER), 271);
    EXPECT_EQ(kilnKeyForScancode(SDL_SCANCODE_LSHIFT), 304);
    EXPECT_EQ(kilnKeyForScancode(SDL_SCANCODE_RSHIFT), 303);
    EXPECT_EQ(kilnKeyForScancode(SDL_SCANCODE_DELETE), 127);
    EXPECT_EQ(kilnKeyForScancode(SDL_SCANCODE_F15), 296);
    EXPECT_EQ(kilnKeyForScancode(SDL_SCANCODE_F16), -1);
    EXPECT_EQ(kilnKeyForScancode(SDL_SCANCODE_UNKNOWN), -1);
}

TEST(KeyMap, EveryCodeFitsTheTable) {
    for (int scancode = 0; scancode < SDL_NUM_SCANCODES; ++scancode) {
        const int key = kilnKeyForScancode(scancode);
        EXPECT_TRUE(key == -1 || (key >= 0 && key < KILN_KEY_COUNT)) << "scancode " << scancode;
    }
}

TEST(KeyMap, KeyboardStateBecomesTheKeyTable) {
    std::vector<uint8_t> state(SDL_NUM_SCANCODES, 0);
    state[SDL_SCANCODE_Z] = 1;
    state[SDL_SCANCODE_UP] = 1;
    state[SDL_SCANCODE_APPLICATION] = 1;
    std::array<bool, 323> keys{};
    keys[KEY_x] = true;  // stale from an earlier frame
    kilnKeysFromScancodes(state.data(), SDL_NUM_SCANCODES, keys);
    int down = 0;
    for (bool k : keys) down += k ? 1 : 0;
    EXPECT_EQ(down, 3);
    EXPECT_TRUE(keys[KEY_z]);
    EXPECT_TRUE(keys[KEY_UP]);
    EXPECT_TRUE(keys[319]) << "the menu key";
    EXPECT_FALSE(keys[KEY_x]);
}

}  // namespace

namespace {

// The names "config.ini" stores are the framework's own table; they must be
// SDL's names of the same keys, or a file written by hand with SDL's
// spelling (or by a later game that asks SDL) would not read back.
TEST(KeyMap, EveryKeyNameIsSdlsNameOfAScancodeForThatKey) {
    std::vector<std::string> unmatched;
    for (int key = 0; key < KILN_KEY_COUNT; ++key) {
        const std::string name = Kiln_keyName(key);
        if (name.empty()) continue;
        bool found = false;
        for (int scancode = 0; scancode < SDL_NUM_SCANCODES; ++scancode) {
            if (kilnKeyForScancode(scancode) == key &&
                name == SDL_GetScancodeName(static_cast<SDL_Scancode>(scancode))) {
                found = true;
            }
        }
        if (!found) unmatched.push_back(name);
    }
    EXPECT_TRUE(unmatched.empty()) << "first unmatched: " << unmatched.front();
}

TEST(KeyMap, SdlsNameOfEveryMappedScancodeReadsBackAsItsKey) {
    int named = 0;
    for (int scancode = 0; scancode < SDL_NUM_SCANCODES; ++scancode) {
        const int key = kilnKeyForScancode(scancode);
        const std::string sdlName = SDL_GetScancodeName(static_cast<SDL_Scancode>(scancode));
        if (key < 0 || sdlName.empty()) continue;
        // The Application key shares its code with Menu, which names it.
        if (scancode == SDL_SCANCODE_APPLICATION) {
            EXPECT_STREQ(Kiln_keyName(key), "Menu");
            continue;
        }
        EXPECT_EQ(Kiln_keyFromName(sdlName), key) << sdlName;
        ++named;
    }
    EXPECT_GT(named, 100) << "the whole keyboard, not a handful of keys";
}

}  // namespace

// Test fixture for the game scene: the framework on its headless backend (no
// window, no files, drawing and sound recorded), the run's sounds and textures
// registered without touching disk, a fresh GameMain and a fixed random seed.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "gamecore/game_main.h"
#include "kiln2/headless.h"
#include "kiln2/kiln2.h"

class HeadlessGame : public ::testing::Test {
protected:
    void SetUp() override {
        Kiln_useHeadlessBackend({.readResourceFiles = false, .writeRunLog = false, .logToStderr = true,
                                 .recordDrawCalls = true});
        Kiln_init("KVR2013", 640, 480, false, false);
        for (const char* sound : {"itemget", "miss", "break", "up", "bariya"}) {
            Kiln_loadWAV(sound, std::string("resource/sound/") + sound + ".wav");
        }
        Kiln_loadTexture("tama", "resource/image/tama.bmp", {0, 255, 0});
        Kiln_loadTexture("menu", "resource/image/menu.bmp", {0, 255, 0});
        game = std::make_unique<GameMain>();
        Kiln_srand(733, 17);
    }

    void TearDown() override {
        game.reset();
        Kiln_quit();
        kiln_headless::reset();
    }

    // Restarts the framework the way the replay verifier runs it: drawing is
    // thrown away (a long replay would otherwise record millions of calls)
    // and the fixture's game is gone.
    void restartAsVerifier() {
        game.reset();
        Kiln_quit();
        kiln_headless::reset();
        Kiln_useHeadlessBackend(
            {.readResourceFiles = false, .writeRunLog = false, .logToStderr = true, .recordDrawCalls = false});
        Kiln_init("KVR2013", 640, 480, false, false);
    }

    // Holds or releases a key and lets one frame pass so the keypad's next
    // update sees it.
    void setKeyForNextFrame(int key, bool down) {
        kiln_headless::setKey(key, down);
        Kiln_waitFrame(16);
    }

    // How many times a sound key was played since the last clear.
    static int timesPlayed(const std::string& key) {
        int count = 0;
        for (const KilnSoundEvent& event : kiln_headless::soundEvents()) {
            if (event.kind == KilnSoundEvent::PLAY_WAV && event.name == key) {
                ++count;
            }
        }
        return count;
    }

    std::unique_ptr<GameMain> game;
};

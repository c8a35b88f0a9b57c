// A stand-in game controller for end-to-end tests, which cannot plug a pad
// into the game process from outside. It exists only when the environment
// variable KVR_TEST_PAD_FILE names a command file; it is not a player's
// feature and is left out of every help text.
//
// Each frame the game looks for that file. When it is there, the game reads
// at most its first kilobyte, deletes it, and carries out its lines:
//   attach            plug in a virtual game controller ("KVR Test Pad")
//   detach            pull it out again
//   press NAME        hold a position down: south, east, start, up, down, left, right
//   release NAME      let it go
// Unknown lines are ignored. A test writes the file under another name and
// renames it into place, then waits for it to disappear. Nothing in the file
// is used as a path, a number or a format: only these fixed words are matched.
#pragma once

#include <SDL.h>

#include <string>

class KilnTestPad {
public:
    // Reads KVR_TEST_PAD_FILE; does nothing from then on when it is not set.
    void start();
    // Pulls the pad out, if it is plugged in.
    void stop();
    // Carries out a command file, if one is waiting.
    void poll();

private:
    void run(const std::string& command, const std::string& name);
    void attach();
    void detach();

    std::string commandFile_;
    int instanceId_ = -1;
    SDL_Joystick* handle_ = nullptr;  // our own reference, to set its buttons
};

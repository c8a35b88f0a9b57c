// The replay theatre: a saved run watched over the game's own picture, with
// pause, single steps, speeds from x1/4 to x8, ten-second jumps and a
// restart, and a progress bar along the bottom. When the run reaches its
// results it pauses on that frame and prints the replay verifier's line for
// the file on stdout. It is
// reached from the title (B, or a replay file dropped on the window) and from
// the command line ("--watch FILE --stage S").
#pragma once

#include <memory>

#include "keypad/keypad.h"
#include "scene/game_state.h"
#include "state/watch_request.h"
#include "state/watched_run.h"

class TheatreMain : public GameState {
public:
    // Ten seconds of play at 62.5 frames a second.
    static constexpr int JUMP_FRAMES = 625;

    // Watches the pending request (see watch_request.h); with none, or a file
    // that cannot be played, it goes back to the title.
    TheatreMain();
    explicit TheatreMain(const WatchRequest& request);
    ~TheatreMain() override;

    void update() override;
    void draw() override;

    // For the tests: the run shown (null when there is nothing to watch).
    const WatchedRun* watchedRun() const { return run_.get(); }
    bool isPaused() const { return paused_; }
    int speedStep() const { return speedStep_; }

private:
    void start(const WatchRequest& request);
    // True when a control asked for the pause to change.
    bool handlePause();
    void handleSpeed();
    // True when a jump or a restart moved the run this frame.
    bool handleJumps();
    void play();
    void jumpTo(int frame, const char* what);
    void putMusicBack(int phaseBefore);
    // Prints the verifier's line and pauses when the run has just reached its
    // results; true when it had.
    bool reportResults();

    Keypad keypad_{0};
    std::unique_ptr<WatchedRun> run_;
    int speedStep_ = THEATRE_NORMAL_SPEED;
    bool paused_ = false;
    int framesSinceUpdate_ = 0;
    std::string caption_;
};

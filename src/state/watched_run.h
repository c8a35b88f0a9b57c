// The replay the theatre shows, as a run it can drive: one update at a time,
// each followed by the random draws of its drawing exactly as the replay
// verifier makes them, whether the frame is then shown or not; and jumps to
// any frame, replayed silently and without drawing from the start when the
// target lies behind.
#pragma once

#include <memory>
#include <string>

#include "gamecore/game_main.h"

class WatchedRun {
public:
    WatchedRun(int stage, int hiScore, std::string replayFile);
    ~WatchedRun();
    WatchedRun(const WatchedRun&) = delete;
    WatchedRun& operator=(const WatchedRun&) = delete;

    // Plays a copy of the replay silently to its results and keeps the frame
    // it reached them in. False when the file cannot be played at all.
    bool measure();
    int lastFrame() const { return lastFrame_; }

    // One update of the run; the random draws of its drawing are owed until
    // the next advance or draw makes them.
    void advance();

    // Draws the picture. A frame drawn again without an update draws with a
    // copy of the run's generator, so showing it longer never changes the run.
    void draw();

    // Silently brings the run to the given frame: no sound, no music, no log
    // line, no picture, no shake offset. A frame behind the run's builds it
    // afresh and plays it from the start. A jump never goes past lastFrame(),
    // nor back to it from a frame beyond.
    void jumpTo(int frame);

    // The verifier's summary line of the run, taken at the update that reached
    // its results (the run goes on moving behind the results screen); given
    // once each time an advance or a jump takes the run there, "" otherwise.
    std::string takeResultsLine();

    const GameMain& game() const { return *game_; }
    int frame() const { return game_->frameCounter; }
    int phase() const { return game_->phase; }

private:
    std::unique_ptr<GameMain> build() const;
    void settleOwedDraw();

    int stage_;
    int hiScore_;
    std::string replayFile_;
    std::unique_ptr<GameMain> game_;
    bool drawOwed_ = false;
    std::string resultsLine_;
    int lastFrame_ = 0;
};

// Driving a watched replay; see watched_run.h.
#include "state/watched_run.h"

#include "gamecore/run_summary.h"
#include "kiln2/kiln2.h"
#include "state/playback_game.h"

namespace {

// A replay holds at most REPLAY_CAPACITY frames of play; with the countdown
// and the frames slow motion repeats, every run has reached its results long
// before this many updates.
constexpr int MOST_UPDATES_OF_A_RUN = 4 * REPLAY_CAPACITY;

}  // namespace

WatchedRun::WatchedRun(int stage, int hiScore, std::string replayFile)
    : stage_(stage), hiScore_(hiScore), replayFile_(std::move(replayFile)), game_(build()) {}

WatchedRun::~WatchedRun() = default;

std::unique_ptr<GameMain> WatchedRun::build() const {
    return std::make_unique<PlaybackGame>(stage_, hiScore_, replayFile_);
}

bool WatchedRun::measure() {
    KilnQuietScope quiet;
    KilnDiscardDrawingScope unseen;
    std::unique_ptr<GameMain> copy = build();
    for (int i = 0; i < MOST_UPDATES_OF_A_RUN && copy->phase != GameMain::RESULTS; ++i) {
        copy->update();
        // Only a replay that could not be loaded ends before its results.
        if (copy->phase == GameMain::END) return false;
        if (copy->phase != GameMain::RESULTS) copy->draw();
    }
    lastFrame_ = copy->frameCounter;
    return true;
}

void WatchedRun::settleOwedDraw() {
    if (!drawOwed_) return;
    KilnDiscardDrawingScope unseen;
    game_->draw();
    drawOwed_ = false;
}

void WatchedRun::advance() {
    settleOwedDraw();
    const bool wasAtResults = game_->phase == GameMain::RESULTS;
    game_->update();
    drawOwed_ = true;
    if (!wasAtResults && game_->phase == GameMain::RESULTS) resultsLine_ = runSummaryLine(*game_, true);
}

void WatchedRun::draw() {
    if (drawOwed_) {
        game_->draw();
        drawOwed_ = false;
        return;
    }
    const KilnRandom kept = game_->random;
    game_->draw();
    game_->random = kept;
}

void WatchedRun::jumpTo(int frame) {
    // Past the results there is nothing recorded to jump to; a run already there stays.
    const int furthest = lastFrame_ > game_->frameCounter ? lastFrame_ : game_->frameCounter;
    if (frame > furthest) frame = furthest;
    if (frame < 0) frame = 0;
    {
        KilnQuietScope quiet;
        if (frame < game_->frameCounter) {
            game_ = build();
            drawOwed_ = false;
        }
        while (game_->frameCounter < frame && game_->phase != GameMain::END) advance();
    }
    // The shake offset the last update set was swallowed by the quiet scope.
    Kiln_setDrawOffset(game_->shakeOffsetX, game_->shakeOffsetY);
}

std::string WatchedRun::takeResultsLine() {
    std::string line = std::move(resultsLine_);
    resultsLine_.clear();
    return line;
}

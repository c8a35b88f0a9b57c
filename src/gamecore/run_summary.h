// The one line that says how a played run ended. The replay verifier prints
// it, and so does the theatre when a watched run reaches its results, so what
// a player watches and what a leaderboard checks can be compared word for word.
#pragma once

#include <string>

class GameMain;

// The distance flown, in metres: whole tens, as the ruler along the bottom counts them.
int runDistanceMetres(const GameMain& run);

// "stage=0 frames=10182 score=27200 distance=1000m energy=5422 result=finished",
// without a newline. The result is "finished" or "destroyed" once the run has
// reached its results, "limit" when it was stopped before.
std::string runSummaryLine(const GameMain& run, bool reachedResults);

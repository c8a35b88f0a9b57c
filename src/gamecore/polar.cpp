// Turning a play-field angle and a length into a velocity or an offset. The
// rounding here is part of the run: every spark's velocity comes through it,
// so a replay only matches when it is done exactly this way.
#include <cstdint>

#include "gamecore/game_main.h"
#include "kiln2/kiln2.h"

// Angle 0 points down the screen, 256 right, 512 up, 768 left. `along` is the
// sideways part (stored as vx), `across` the downward part (stored as vy).
void GameMain::polarToVector(int angle, int length, int& along, int& across) {
    // angle * 360 wraps like the 32-bit integer it is rather than overflowing.
    const int32_t scaled = static_cast<int32_t>(static_cast<uint32_t>(angle) * 360u);
    const float degrees = static_cast<float>(scaled) / 1024.0f;
    // The products are taken in extended precision, rounded once to single
    // precision, then truncated toward zero.
    along = static_cast<int>(static_cast<float>(length * Kiln_sin(degrees)));
    across = static_cast<int>(static_cast<float>(length * Kiln_cos(degrees)));
}

// The heads-up display over the play field: the distance ruler along the
// bottom edge, the energy gauge, the score and the stage's hi-score.
#include <algorithm>
#include <cstdio>

#include "gamecore/game_main.h"
#include "kiln2/kiln2.h"

namespace {

// The ruler is laid out over more than the view so labels slide in and out whole.
constexpr int RULER_FROM_X = -100;
constexpr int RULER_TO_X = 740;
constexpr int RULER_Y = 460;
// The craft flies at x 100: the ruler's zero is under it at the start.
constexpr int PLAYER_VIEW_X = 100;

constexpr int GAUGE_X = 170;
constexpr int GAUGE_Y = 20;
constexpr int GAUGE_WIDTH = 300;
constexpr int GAUGE_HEIGHT = 10;

}  // namespace

void GameMain::drawHud() {
    char text[32];

    // Course pixel p stands at view x = p - left. Only multiples of ten metres
    // from the start of the course get a label, so step from one to the next
    // instead of testing every x of the ruler.
    const int left = (scrollPos - PLAYER_VIEW_X * subPixels) / subPixels;
    const int firstPixel = std::max(RULER_FROM_X + left, 0);
    int coursePixel = (firstPixel + pixelsPerTenMetres - 1) / pixelsPerTenMetres * pixelsPerTenMetres;
    for (; coursePixel - left <= RULER_TO_X; coursePixel += pixelsPerTenMetres) {
        const int tens = coursePixel / pixelsPerTenMetres;
        if (stageGoal != 0 && tens > stageGoal) break;
        std::snprintf(text, sizeof text, "%d0m", tens);
        Kiln_drawText(text, coursePixel - left, RULER_Y, 2.0f, 255, 255, 255, 255);
    }

    Kiln_drawText("ENELGY", 70, 18, 2.0f, 255, 255, 255, 255);
    Kiln_drawRect(GAUGE_X - 2, GAUGE_Y - 2, GAUGE_WIDTH + 4, GAUGE_HEIGHT + 4, 0, 0.0f, 255, 255, 255, 255);
    Kiln_drawRect(GAUGE_X, GAUGE_Y, GAUGE_WIDTH, GAUGE_HEIGHT, 0, 0.0f, 255, 0, 0, 255);
    const int filled = player.energy * GAUGE_WIDTH / maxEnergy;
    if (filled > 0) Kiln_drawRect(GAUGE_X, GAUGE_Y, filled, GAUGE_HEIGHT, 0, 0.0f, 251, 231, 49, 255);

    std::snprintf(text, sizeof text, "SCORE:%d", score);
    Kiln_drawText(text, 2, 2, 2.0f, 255, 255, 255, 255);
    std::snprintf(text, sizeof text, "HI:%d", hiScores[stage]);
    Kiln_drawText(text, 300, 2, 2.0f, 255, 255, 255, 255);
}

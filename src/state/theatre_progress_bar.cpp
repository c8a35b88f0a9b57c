// Drawing the theatre's progress bar; see theatre_progress_bar.h.
#include "state/theatre_progress_bar.h"

#include <cstdio>
#include <cstring>

#include "kiln2/kiln2.h"

namespace {

constexpr int VIEW_WIDTH = 640;
// A dark strip over the HUD's distance ruler (the bar says the distance) keeps
// the text readable over walls and sparks.
constexpr int STRIP_Y = 456;
constexpr int STRIP_HEIGHT = 24;
constexpr uint8_t STRIP_ALPHA = 235;
constexpr int BAR_Y = 473;
constexpr int BAR_HEIGHT = 4;
constexpr int DISTANCE_X = 296;
constexpr int MARGIN = 6;
constexpr int GLYPH_PX = 8;

void drawWhite(const char* text, int x) { Kiln_drawText(text, x, THEATRE_BAR_TEXT_Y, 1.0f, 255, 255, 255, 255); }

}  // namespace

void drawTheatreProgressBar(const TheatreProgress& progress) {
    Kiln_setBlendMode(BLEND_ALPHA);
    Kiln_drawRect(0, STRIP_Y, VIEW_WIDTH, STRIP_HEIGHT, 0, 0.0f, 0, 0, 0, STRIP_ALPHA);
    Kiln_drawRect(0, BAR_Y, VIEW_WIDTH, BAR_HEIGHT, 0, 0.0f, 80, 80, 80, 255);
    const int last = progress.lastFrame > 0 ? progress.lastFrame : 1;
    const int shown = progress.frame < 0 ? 0 : progress.frame > last ? last : progress.frame;
    const int filled = static_cast<int>(static_cast<long long>(VIEW_WIDTH) * shown / last);
    // A zero width would mean the whole view to the drawing call.
    if (filled > 0) Kiln_drawRect(0, BAR_Y, filled, BAR_HEIGHT, 0, 0.0f, 251, 231, 49, 255);

    char text[48];
    std::snprintf(text, sizeof text, "FRAME %d/%d", progress.frame, progress.lastFrame);
    drawWhite(text, THEATRE_BAR_FRAME_X);
    std::snprintf(text, sizeof text, "%dm", progress.distanceMetres);
    drawWhite(text, DISTANCE_X);
    const char* speed = progress.paused ? "PAUSED" : progress.speedLabel;
    drawWhite(speed, VIEW_WIDTH - MARGIN - GLYPH_PX * static_cast<int>(std::strlen(speed)));
    if (!progress.caption.empty()) {
        const int width = 2 * MARGIN + GLYPH_PX * static_cast<int>(progress.caption.size());
        Kiln_drawRect(0, THEATRE_CAPTION_Y - 4, width, STRIP_Y - THEATRE_CAPTION_Y + 4, 0, 0.0f, 0, 0, 0, STRIP_ALPHA);
        Kiln_drawText(progress.caption, MARGIN, THEATRE_CAPTION_Y, 1.0f, 255, 224, 64, 255);
    }
}

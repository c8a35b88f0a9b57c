// The menu sheet. Its top-left 320x240 is the pause panel ("PAUSE", "RESUME",
// "EXIT") with a see-through slot where the cursor shows; the cursor itself
// sits at (320, 0). The menu buttons are cut from the same area: the panel's
// top band holds the 80x32 button frames (normal, hover, selected) and two
// 64x16 plain buttons, its left column the six 80x32 button labels, and its
// right edge a strip of 32x16 plain buttons.
#include "art.h"
#include "palette.h"

#include <array>
#include <string>

namespace assetgen {
namespace {

constexpr Rgb kFill{18, 22, 58};
constexpr Rgb kTile{40, 48, 100};
constexpr Rgb kTileLight{110, 130, 200};
constexpr Rgb kTileDark{10, 12, 34};
constexpr Rgb kGold{255, 232, 90};
constexpr Rgb kOrange{255, 160, 50};

constexpr int kPanelW = 320;
constexpr int kPanelH = 240;
constexpr int kFrameW = 80;
constexpr int kFrameH = 32;
constexpr int kStripX = 306;   // right-edge strip of small buttons
constexpr int kSmallW = 32;
constexpr int kSmallH = 16;
constexpr int kCursorX = 320;  // cursor cell, 32x32
constexpr int kCursorSide = 32;

// Where the cursor shows inside the panel: the game draws it under the panel
// at panel-local (96, 64) for the first choice and 32 pixels lower for the second.
constexpr int kSlotX = 96;
constexpr int kSlotY = 64;
constexpr int kChoiceStep = 32;
constexpr int kWordsX = 136;

void drawTile(Canvas& c, int x, int y, int w, int h, Rgb fill, Rgb border, Rgb light, Rgb dark) {
    c.fillRect(x, y, w, h, border);
    c.fillRect(x + 2, y + 2, w - 4, h - 4, fill);
    c.bevelRect(x + 2, y + 2, w - 4, h - 4, light, dark);
}

// Button frames: the same shape in three moods.
void drawFrames(Canvas& c) {
    drawTile(c, 0, 0, kFrameW, kFrameH, kTile, Rgb{70, 86, 150}, kTileLight, kTileDark);
    drawTile(c, kFrameW, 0, kFrameW, kFrameH, Rgb{52, 62, 124}, kOrange, Rgb{255, 210, 140}, kTileDark);
    drawTile(c, 2 * kFrameW, 0, kFrameW, kFrameH, Rgb{70, 84, 160}, kGold, palette::kWhite, Rgb{120, 100, 20});
}

void drawPlainButtons(Canvas& c) {
    // Two 64x16 buttons at (242, 0) and (242, 16): a play mark and a stop mark.
    for (int i = 0; i < 2; ++i) {
        int x = 242;
        int y = i * 16;
        drawTile(c, x, y, 64, 16, kTile, Rgb{70, 86, 150}, kTileLight, kTileDark);
        if (i == 0) {
            for (int k = 0; k < 4; ++k) {
                c.fillRect(x + 28 + k, y + 4 + k, 1, 8 - 2 * k, palette::kWhite);
            }
        } else {
            c.fillRect(x + 28, y + 5, 8, 6, palette::kWhite);
        }
    }
    c.fillRect(240, 0, 2, kFrameH, kTileDark);
}

void drawRightStrip(Canvas& c) {
    // Small boxes down the panel's right edge; the upper ones reach past the
    // panel into the spare area so the 32x16 cuts there are whole buttons.
    for (int y = 0; y < kPanelH; y += kSmallH) {
        drawTile(c, kStripX, y, kPanelW - kStripX, kSmallH, kTile, Rgb{70, 86, 150}, kTileLight, kTileDark);
    }
    for (int i = 2; i < 4; ++i) {
        int y = i * kSmallH;
        drawTile(c, kStripX, y, kSmallW, kSmallH, kTile, Rgb{70, 86, 150}, kTileLight, kTileDark);
        c.fillRect(kStripX + 13, y + 6, 6, 4, palette::kWhite);
    }
}

void drawLabels(Canvas& c) {
    const std::array<std::string, 6> words{"START", "STAGE", "REPLAY", "SOUND", "KEYS", "QUIT"};
    for (std::size_t v = 0; v < words.size(); ++v) {
        int y = kFrameH * static_cast<int>(v + 1);
        drawTile(c, 0, y, kFrameW, kFrameH, Rgb{30, 36, 84}, Rgb{70, 86, 150}, kTileLight, kTileDark);
        const std::string& word = words[v];
        c.shadowText(word, (kFrameW - Canvas::textWidth(word, 1)) / 2, y + 12, 1, palette::kWhite, kTileDark);
    }
    c.fillRect(0, 7 * kFrameH, kFrameW, kPanelH - 7 * kFrameH, Rgb{70, 86, 150});
}

void drawMainArea(Canvas& c) {
    using namespace palette;
    const int x = kFrameW;
    const int y = kFrameH;
    const int w = kStripX - kFrameW;
    const int h = kPanelH - kFrameH;
    c.fillRect(x, y, w, h, kPanelEdge);
    c.fillRect(x + 2, y + 2, w - 4, h - 4, kFill);
    c.bevelRect(x + 2, y + 2, w - 4, h - 4, Rgb{40, 60, 120}, Rgb{6, 8, 24});

    const std::string title = "PAUSE";
    const int centre = x + w / 2;
    c.shadowText(title, centre - Canvas::textWidth(title, 2) / 2, y + 8, 2, kGold, Rgb{120, 60, 10});

    // The slot: a framed window, see-through so the cursor drawn beneath shows.
    c.fillRect(kSlotX - 3, kSlotY - 3, kCursorSide + 6, 2 * kChoiceStep + 6, kPanelEdgeDark);
    c.frameRect(kSlotX - 2, kSlotY - 2, kCursorSide + 4, 2 * kChoiceStep + 4, 1, Rgb{90, 140, 220});
    c.fillRect(kSlotX, kSlotY, kCursorSide, 2 * kChoiceStep, kKeyGreen);

    const std::array<std::string, 2> choices{"RESUME", "EXIT"};
    for (int i = 0; i < 2; ++i) {
        int wordY = kSlotY + i * kChoiceStep + (kChoiceStep - 16) / 2;
        c.shadowText(choices[static_cast<std::size_t>(i)], kWordsX, wordY, 2, kWhite, kTrail);
    }

    c.fillRect(x + 12, 142, w - 24, 1, kPanelEdgeDark);
    const std::array<std::string, 3> hints{"UP/DOWN  CHOOSE", "Z        OK", "X        BACK TO PLAY"};
    for (std::size_t i = 0; i < hints.size(); ++i) {
        c.text(hints[i], x + 20, 154 + 14 * static_cast<int>(i), 1, Rgb{150, 160, 210});
    }

    // A row of wall blocks along the bottom, like the course below the craft.
    for (int bx = x + 8; bx + 12 <= x + w - 8; bx += 12) {
        c.fillRect(bx, 214, 12, 12, kWall);
        c.bevelRect(bx, 214, 12, 12, Rgb{180, 255, 180}, Rgb{24, 120, 24});
    }
}

void drawCursor(Canvas& c) {
    // A lit box with a gold arrow pointing right, at the words of the choice.
    const int x = kCursorX;
    drawTile(c, x + 1, 1, kCursorSide - 2, kCursorSide - 2, Rgb{60, 72, 150}, kGold, Rgb{200, 210, 255}, kTileDark);
    for (int k = 0; k < 10; ++k) {
        // Triangle: tip at the right, 20 pixels tall at its base.
        c.fillRect(x + 9 + k, 6 + k, 1, 20 - 2 * k, kGold);
    }
    c.fillRect(x + 9, 6, 1, 20, Rgb{255, 250, 200});
}

} // namespace

Canvas makeMenuSheet() {
    Canvas c(512, 256, kKeyGreen);
    drawMainArea(c);
    drawLabels(c);
    drawFrames(c);
    drawPlainButtons(c);
    drawRightStrip(c);
    drawCursor(c);
    return c;
}

} // namespace assetgen

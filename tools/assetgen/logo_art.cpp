// The studio logo shown at start-up: the studio's name, the title "KVR" and
// "2013" in block lettering, and a small scene of the craft with its trail
// flying through wall columns, inside a bevelled night-sky panel.
#include "art.h"
#include "block_letters.h"
#include "palette.h"
#include "pixel_random.h"

#include <string>

namespace assetgen {
namespace {

constexpr int kSize = 320;
constexpr int kPanelInset = 4;
constexpr int kPanelCut = 18;

void drawPanel(Canvas& c) {
    using namespace palette;
    const int side = kSize - 2 * kPanelInset;
    c.fillChamferRect(kPanelInset, kPanelInset, side, side, kPanelCut, kPanelEdge);
    c.fillChamferRect(kPanelInset + 3, kPanelInset + 3, side - 6, side - 6, kPanelCut - 1, kPanelEdgeDark);
    // Night sky: a vertical blend, drawn row by row inside the chamfer.
    const int inner = kPanelInset + 5;
    const int innerSide = kSize - 2 * inner;
    c.fillChamferRect(inner, inner, innerSide, innerSide, kPanelCut - 2, kNight);
    for (int y = inner; y < inner + innerSide; ++y) {
        Rgb rowColour = mix(kNight, kNightLow, (y - inner) * 256 / innerSide);
        for (int x = inner; x < inner + innerSide; ++x) {
            if (c.get(x, y) == kNight) {
                c.set(x, y, rowColour);
            }
        }
    }
}

void drawStars(Canvas& c) {
    PixelRandom random(2013);
    for (int i = 0; i < 90; ++i) {
        int x = 14 + random.below(kSize - 28);
        int y = 14 + random.below(kSize - 28);
        int level = 70 + random.below(150);
        Rgb star{static_cast<std::uint8_t>(level), static_cast<std::uint8_t>(level),
                 static_cast<std::uint8_t>(level < 195 ? level + 60 : 255)};
        c.set(x, y, star);
        if (i % 11 == 0) {  // a few bigger twinkles
            c.set(x - 1, y, mix(star, palette::kNight, 128));
            c.set(x + 1, y, mix(star, palette::kNight, 128));
            c.set(x, y - 1, mix(star, palette::kNight, 128));
            c.set(x, y + 1, mix(star, palette::kNight, 128));
        }
    }
}

void drawWallBlock(Canvas& c, int x, int y, int side) {
    using namespace palette;
    c.fillRect(x, y, side, side, kWall);
    c.bevelRect(x, y, side, side, Rgb{180, 255, 180}, Rgb{24, 120, 24});
}

// A column of wall blocks with an opening of `gapRows` blocks from `gapRow`.
void drawWallColumn(Canvas& c, int x, int top, int rows, int side, int gapRow, int gapRows) {
    for (int r = 0; r < rows; ++r) {
        if (r >= gapRow && r < gapRow + gapRows) {
            continue;
        }
        drawWallBlock(c, x, top + r * side, side);
    }
}

void drawCraftScene(Canvas& c, int top) {
    using namespace palette;
    constexpr int kBlock = 12;
    constexpr int kRows = 7;
    const int bottom = top + kBlock * kRows;
    // Dashed horizon lines mark the top and bottom edges of the course.
    for (int x = 16; x < kSize - 16; x += 6) {
        c.fillRect(x, top - 4, 3, 1, kTrail);
        c.fillRect(x, bottom + 3, 3, 1, kTrail);
    }
    drawWallColumn(c, 198, top, kRows, kBlock, 2, 3);
    drawWallColumn(c, 252, top, kRows, kBlock, 3, 3);

    // The trail: past heights of the craft laid out to the left, older ones
    // fading into the sky, along a climb that levels out at the craft.
    const int craftX = 150;
    const int craftY = top + 36;
    for (int back = 120; back >= 4; back -= 2) {
        int rise = (back * back) / 360;  // parabola: the craft climbed into the gap
        int y = craftY + rise;
        Rgb colour = mix(kTrail, kNight, back * 200 / 120);
        c.fillRect(craftX - back - 4, y - 4, 8, 8, colour);
    }
    // Sparks blown downward by the thrust.
    const int sparks[][2] = {{-6, 12}, {-2, 17}, {3, 14}, {-9, 20}, {6, 21}, {0, 25}};
    for (const auto& s : sparks) {
        c.fillRect(craftX + s[0], craftY + s[1], 2, 2, kSpark);
    }
    // The craft: a square with a bright rim and a lit core.
    c.fillRect(craftX - 7, craftY - 7, 14, 14, Rgb{90, 90, 220});
    c.fillRect(craftX - 6, craftY - 6, 12, 12, kCraft);
    c.fillRect(craftX - 3, craftY - 3, 6, 6, Rgb{230, 230, 255});

    // An energy item waiting in the first opening and an enemy behind the second.
    const int itemX = 226;
    const int itemY = top + 2 * kBlock + 18;
    c.fillRect(itemX - 7, itemY - 7, 14, 14, Rgb{160, 120, 10});
    c.fillRect(itemX - 6, itemY - 6, 12, 12, kItem);
    c.fillRect(itemX - 2, itemY - 4, 4, 8, Rgb{255, 250, 200});
    const int enemyX = 290;
    c.fillRect(enemyX - 6, top + 10, 12, 40, Rgb{120, 0, 0});
    c.fillRect(enemyX - 5, top + 11, 10, 38, kEnemy);
    c.fillRect(enemyX - 3, top + 18, 2, 4, kWhite);
    c.fillRect(enemyX + 1, top + 18, 2, 4, kWhite);
}

} // namespace

Canvas makeLogo() {
    using namespace palette;
    Canvas c(kSize, kSize, kKeyGreen);
    drawPanel(c);
    drawStars(c);

    const std::string studio = "DELTA HIDDEN YARD";
    c.shadowText(studio, (kSize - Canvas::textWidth(studio, 2)) / 2, 20, 2, Rgb{240, 240, 255}, kTrail);
    c.fillRect(24, 42, kSize - 48, 1, kPanelEdgeDark);

    const BlockStyle title{12, 1, Rgb{255, 232, 90}, Rgb{240, 96, 32}, Rgb{6, 4, 20}};
    drawBlockWord(c, "KVR", (kSize - blockWordWidth("KVR", title)) / 2, 54, title);

    const BlockStyle year{6, 1, Rgb{210, 210, 255}, kTrail, Rgb{6, 4, 20}};
    drawBlockWord(c, "2013", (kSize - blockWordWidth("2013", year)) / 2, 148, year);

    drawCraftScene(c, 208);

    const std::string motto = "thrust. steer. survive.";
    c.text(motto, (kSize - Canvas::textWidth(motto, 1)) / 2, 300, 1, Rgb{150, 150, 200});
    return c;
}

} // namespace assetgen

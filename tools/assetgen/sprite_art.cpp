// The small sprite sheet (craft, energy item, enemy, spark in 32x32 quarters)
// and the 32x32 window icon, in the play field's own colours.
#include "art.h"
#include "palette.h"

namespace assetgen {
namespace {

void drawCraft(Canvas& c, int cx, int cy, int half) {
    using namespace palette;
    c.fillRect(cx - half - 1, cy - half - 1, 2 * half + 2, 2 * half + 2, Rgb{70, 70, 200});
    c.fillRect(cx - half, cy - half, 2 * half, 2 * half, kCraft);
    c.bevelRect(cx - half, cy - half, 2 * half, 2 * half, Rgb{220, 220, 255}, Rgb{100, 100, 220});
    int core = half / 2;
    c.fillRect(cx - core, cy - core, 2 * core, 2 * core, Rgb{235, 235, 255});
}

void drawItem(Canvas& c, int cx, int cy) {
    using namespace palette;
    c.fillRect(cx - 11, cy - 11, 22, 22, Rgb{150, 110, 0});
    c.fillRect(cx - 10, cy - 10, 20, 20, kItem);
    c.bevelRect(cx - 10, cy - 10, 20, 20, Rgb{255, 245, 170}, Rgb{190, 150, 10});
    // A lightning bolt: the item is energy.
    const int bolt[][2] = {{2, -7}, {1, -6}, {0, -5}, {-1, -4}, {-2, -3}, {-3, -2}, {-2, -1}, {-1, -1},
                           {0, -1},  {1, 0},  {0, 1},  {-1, 2},  {-2, 3},  {-3, 4},  {-4, 5}};
    for (const auto& p : bolt) {
        c.fillRect(cx + p[0], cy + p[1], 2, 2, Rgb{120, 60, 0});
    }
}

void drawEnemy(Canvas& c, int cx, int cy) {
    using namespace palette;
    c.fillRect(cx - 11, cy - 15, 22, 30, Rgb{110, 0, 0});
    c.fillRect(cx - 10, cy - 14, 20, 28, kEnemy);
    c.bevelRect(cx - 10, cy - 14, 20, 28, Rgb{255, 120, 120}, Rgb{150, 0, 0});
    // Angry eyes looking left, toward the craft.
    c.fillRect(cx - 7, cy - 7, 5, 5, kWhite);
    c.fillRect(cx + 2, cy - 7, 5, 5, kWhite);
    c.fillRect(cx - 7, cy - 6, 2, 3, kBlack);
    c.fillRect(cx + 2, cy - 6, 2, 3, kBlack);
    c.line(cx - 8, cy - 10, cx - 3, cy - 8, Rgb{90, 0, 0});
    c.line(cx + 7, cy - 10, cx + 2, cy - 8, Rgb{90, 0, 0});
    c.fillRect(cx - 5, cy + 4, 10, 2, Rgb{90, 0, 0});
}

void drawSpark(Canvas& c, int cx, int cy) {
    using namespace palette;
    for (int r = 10; r >= 1; --r) {
        Rgb colour = mix(kWhite, kSpark, r * 256 / 10);
        c.fillRect(cx - r, cy, 2 * r + 1, 1, colour);
        c.fillRect(cx, cy - r, 1, 2 * r + 1, colour);
        if (r <= 5) {
            c.line(cx - r, cy - r, cx + r, cy + r, colour);
            c.line(cx - r, cy + r, cx + r, cy - r, colour);
        }
    }
    c.fillRect(cx - 1, cy - 1, 3, 3, kWhite);
}

} // namespace

Canvas makeSpriteSheet() {
    Canvas c(64, 64, kKeyGreen);
    drawCraft(c, 16, 16, 8);
    drawItem(c, 48, 16);
    drawEnemy(c, 16, 48);
    drawSpark(c, 48, 48);
    return c;
}

Canvas makeWindowIcon() {
    using namespace palette;
    Canvas c(32, 32, kNight);
    c.frameRect(0, 0, 32, 32, 1, kPanelEdge);
    // Wall blocks above and below the opening the craft is heading for.
    for (int y = 1; y < 31; y += 6) {
        if (y >= 11 && y < 21) {
            continue;
        }
        c.fillRect(25, y, 6, 6, kWall);
        c.bevelRect(25, y, 6, 6, Rgb{180, 255, 180}, Rgb{24, 120, 24});
    }
    for (int back = 13; back >= 2; --back) {
        int y = 16 + (back * back) / 30;
        c.fillRect(16 - back - 2, y - 2, 4, 4, mix(kTrail, kNight, back * 12));
    }
    drawCraft(c, 17, 16, 4);
    return c;
}

Canvas makeDesktopIcon(int size) {
    return scaleNearest(makeWindowIcon(), size, size);
}

} // namespace assetgen

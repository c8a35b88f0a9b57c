// The logo, the menu sheet, the sprite sheet, the window icon and the desktop
// icons: sizes the game relies on, transparency where the game draws over
// other pictures, and the pause panel laid out so the cursor shows next to
// its two choices.
#include "asset_test_support.h"

#include <algorithm>
#include <vector>

namespace {

using namespace assettest;

SurfacePtr loadChecked(const std::string& relative, int w, int h) {
    SurfacePtr s = loadBmpRgb(resourcePath(relative));
    if (s) {
        EXPECT_EQ(s->w, w) << relative;
        EXPECT_EQ(s->h, h) << relative;
    }
    return s;
}

TEST(Logo, Is320SquareWithTransparentCornersAndAFullPicture) {
    SurfacePtr logo = loadChecked("image/logo.bmp", 320, 320);
    ASSERT_NE(logo, nullptr);
    EXPECT_EQ(pixelAt(logo.get(), 0, 0), kGreen);
    EXPECT_EQ(pixelAt(logo.get(), 319, 0), kGreen);
    EXPECT_EQ(pixelAt(logo.get(), 0, 319), kGreen);
    EXPECT_EQ(pixelAt(logo.get(), 319, 319), kGreen);
    // A real picture, not a blank frame: most of it is painted.
    EXPECT_GT(opaqueCount(logo.get(), 0, 0, 320, 320), 320 * 320 * 3 / 4);
}

TEST(Logo, HasManyColoursLikeArtworkRatherThanAFlatPlaceholder) {
    SurfacePtr logo = loadChecked("image/logo.bmp", 320, 320);
    ASSERT_NE(logo, nullptr);
    std::vector<std::uint32_t> colours;
    for (int y = 0; y < 320; y += 2) {
        for (int x = 0; x < 320; x += 2) {
            Pixel p = pixelAt(logo.get(), x, y);
            std::uint32_t key = static_cast<std::uint32_t>(p.r << 16 | p.g << 8 | p.b);
            if (std::find(colours.begin(), colours.end(), key) == colours.end()) {
                colours.push_back(key);
            }
        }
    }
    EXPECT_GT(colours.size(), 40u);
}

class MenuSheet : public ::testing::Test {
protected:
    void SetUp() override {
        menu = loadChecked("image/menu.bmp", 512, 256);
        ASSERT_NE(menu, nullptr);
    }
    SurfacePtr menu;
};

TEST_F(MenuSheet, CursorSlotsOfThePausePanelAreSeeThrough) {
    // The game draws the cursor first at panel-local (96, 64 + 32 * choice)
    // and the panel over it, so both cursor places must be transparent.
    for (int choice = 0; choice < 2; ++choice) {
        EXPECT_EQ(opaqueCount(menu.get(), 96, 64 + 32 * choice, 32, 32), 0) << "choice " << choice;
    }
}

TEST_F(MenuSheet, PausePanelIsSolidAroundTheSlotAndHasWordsBesideEachChoice) {
    // Mostly opaque panel: the player reads it over the play field.
    EXPECT_GT(opaqueCount(menu.get(), 0, 0, 320, 240), 320 * 240 * 9 / 10);
    // Words to the right of the cursor on both rows: the panel is not one flat colour there.
    for (int choice = 0; choice < 2; ++choice) {
        int top = 64 + 32 * choice;
        Pixel first = pixelAt(menu.get(), 136, top);
        int differing = 0;
        for (int y = top; y < top + 32; ++y) {
            for (int x = 136; x < 240; ++x) {
                differing += pixelAt(menu.get(), x, y) == first ? 0 : 1;
            }
        }
        EXPECT_GT(differing, 100) << "no lettering beside choice " << choice;
    }
}

TEST_F(MenuSheet, CursorIsAShapeInItsCellAndTheSpareAreaIsTransparent) {
    int cursor = opaqueCount(menu.get(), 320, 0, 32, 32);
    EXPECT_GT(cursor, 100);
    // Nothing is cut from below the panel or right of the small buttons.
    EXPECT_EQ(opaqueCount(menu.get(), 0, 240, 512, 16), 0);
    EXPECT_EQ(opaqueCount(menu.get(), 352, 0, 160, 256), 0);
}

TEST_F(MenuSheet, EveryButtonCutShowsAButton) {
    struct Cut {
        int x, y, w, h;
    };
    std::vector<Cut> cuts{{0, 0, 80, 32}, {80, 0, 80, 32}, {160, 0, 80, 32}, {242, 0, 64, 16}, {242, 16, 64, 16}};
    for (int v = 0; v < 6; ++v) {
        cuts.push_back({0, 32 * (v + 1), 80, 32});
    }
    for (int k = 0; k < 4; ++k) {
        cuts.push_back({306, 16 * k, 32, 16});
    }
    for (const Cut& cut : cuts) {
        // A button has an edge: its outer ring differs from its middle.
        int opaque = opaqueCount(menu.get(), cut.x, cut.y, cut.w, cut.h);
        EXPECT_GT(opaque, cut.w * cut.h / 3) << "cut at " << cut.x << "," << cut.y;
        Pixel edge = pixelAt(menu.get(), cut.x, cut.y + cut.h / 2);
        Pixel middle = pixelAt(menu.get(), cut.x + 4, cut.y + cut.h / 2);
        EXPECT_FALSE(edge == middle) << "no border on the cut at " << cut.x << "," << cut.y;
    }
}

TEST_F(MenuSheet, ButtonFramesDifferBetweenNormalHoverAndSelected) {
    auto framesDiffer = [&](int xa, int xb) {
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 80; ++x) {
                if (!(pixelAt(menu.get(), xa + x, y) == pixelAt(menu.get(), xb + x, y))) {
                    return true;
                }
            }
        }
        return false;
    };
    EXPECT_TRUE(framesDiffer(0, 80));
    EXPECT_TRUE(framesDiffer(80, 160));
    EXPECT_TRUE(framesDiffer(0, 160));
}

TEST(SpriteSheet, Is64SquareWithTransparentBackgroundAndFourSprites) {
    SurfacePtr tama = loadChecked("image/tama.bmp", 64, 64);
    ASSERT_NE(tama, nullptr);
    EXPECT_EQ(pixelAt(tama.get(), 0, 0), kGreen);
    for (int quarter = 0; quarter < 4; ++quarter) {
        int x = quarter % 2 * 32;
        int y = quarter / 2 * 32;
        int opaque = opaqueCount(tama.get(), x, y, 32, 32);
        EXPECT_GT(opaque, 30) << "quarter " << quarter;
        EXPECT_LT(opaque, 32 * 32) << "quarter " << quarter << " has no transparent surround";
    }
}

TEST(WindowIcon, Is32By32) {
    SurfacePtr raw(SDL_LoadBMP(resourcePath("ico.bmp").c_str()));
    ASSERT_NE(raw, nullptr) << SDL_GetError();
    EXPECT_EQ(raw->w, 32);
    EXPECT_EQ(raw->h, 32);
}

// The desktop's icons are the window icon's art enlarged, pixel for pixel:
// each icon pixel shows the icon pixel it covers.
TEST(DesktopIcons, ShowTheWindowIconAtEachThemeSize) {
    SurfacePtr art = loadBmpRgb(resourcePath("ico.bmp"));
    ASSERT_NE(art, nullptr);
    for (int size : {32, 48, 64, 128}) {
        const std::string relative = "icons/" + std::to_string(size) + "/kvr2013.png";
        SurfacePtr icon = loadPictureRgb(resourcePath(relative));
        ASSERT_NE(icon, nullptr) << relative;
        ASSERT_EQ(icon->w, size) << relative;
        ASSERT_EQ(icon->h, size) << relative;
        int different = 0;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                different += pixelAt(icon.get(), x, y) == pixelAt(art.get(), x * 32 / size, y * 32 / size) ? 0 : 1;
            }
        }
        EXPECT_EQ(different, 0) << relative;
    }
}

TEST(Pictures, EveryBmpIsTwentyFourBitUncompressed) {
    for (const char* relative : {"font/font.bmp", "image/logo.bmp", "image/menu.bmp", "image/tama.bmp", "ico.bmp"}) {
        SurfacePtr raw(SDL_LoadBMP(resourcePath(relative).c_str()));
        ASSERT_NE(raw, nullptr) << relative << ": " << SDL_GetError();
        EXPECT_EQ(raw->format->BitsPerPixel, 24) << relative;
    }
}

} // namespace

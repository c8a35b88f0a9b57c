// The screenshot file: a 24-bit BMP of the window, right way up.
#include <SDL.h>

#include "kiln2_sdl/screenshot.h"
#include "kiln2/kiln_test_support.h"

using namespace kiln_test;

namespace {

// A 3x2 picture as GL reads it back: bottom row (red) first, top row blue.
std::vector<uint8_t> bottomUpPicture() {
    std::vector<uint8_t> rgb;
    for (int x = 0; x < 3; ++x) rgb.insert(rgb.end(), {255, 0, 0});
    for (int x = 0; x < 3; ++x) rgb.insert(rgb.end(), {0, 0, 255});
    return rgb;
}

TEST(Screenshot, SavesA24BitBmpRightWayUp) {
    ScratchDir scratch;
    std::vector<uint8_t> rgb = bottomUpPicture();
    ASSERT_TRUE(kilnSaveScreenshot(rgb, 3, 2, "kilnshot.bmp"));

    SDL_Surface* image = SDL_LoadBMP("kilnshot.bmp");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->w, 3);
    EXPECT_EQ(image->h, 2);
    EXPECT_EQ(image->format->BitsPerPixel, 24);
    Uint8 r = 0, g = 0, b = 0;
    const auto* top = static_cast<const uint8_t*>(image->pixels);
    SDL_GetRGB(top[0] | (top[1] << 8) | (top[2] << 16), image->format, &r, &g, &b);
    EXPECT_EQ(r, 0);
    EXPECT_EQ(b, 255) << "top row is blue";
    SDL_FreeSurface(image);

    // BMP stores the bottom row first, as B, G, R.
    const std::string bytes = readFile("kilnshot.bmp");
    ASSERT_GT(bytes.size(), 54u);
    const auto offset = static_cast<uint8_t>(bytes[10]) | (static_cast<uint8_t>(bytes[11]) << 8);
    EXPECT_EQ(static_cast<uint8_t>(bytes[offset + 0]), 0);
    EXPECT_EQ(static_cast<uint8_t>(bytes[offset + 2]), 255) << "first row in the file is the red bottom row";
}

TEST(Screenshot, NothingIsWrittenWithoutAPicture) {
    ScratchDir scratch;
    std::vector<uint8_t> empty;
    EXPECT_FALSE(kilnSaveScreenshot(empty, 0, 0, "kilnshot.bmp"));
    EXPECT_FALSE(std::filesystem::exists("kilnshot.bmp"));
}

}  // namespace

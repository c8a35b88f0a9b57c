// The screenshot file: a 24-bit PNG of the picture, right way up.
#include <SDL.h>
#include <SDL_image.h>

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

TEST(Screenshot, SavesAPngRightWayUp) {
    ScratchDir scratch;
    std::vector<uint8_t> rgb = bottomUpPicture();
    ASSERT_TRUE(kilnSaveScreenshot(rgb, 3, 2, "kilnshot-0001.png"));

    const std::string bytes = readFile("kilnshot-0001.png");
    ASSERT_GT(bytes.size(), 8u);
    EXPECT_EQ(bytes.substr(1, 3), "PNG");

    SDL_Surface* loaded = IMG_Load("kilnshot-0001.png");
    ASSERT_NE(loaded, nullptr) << IMG_GetError();
    SDL_Surface* image = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGB24, 0);
    SDL_FreeSurface(loaded);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->w, 3);
    EXPECT_EQ(image->h, 2);
    const auto* top = static_cast<const uint8_t*>(image->pixels);
    const auto* bottom = top + image->pitch;
    EXPECT_EQ(top[0], 0);
    EXPECT_EQ(top[2], 255) << "top row is blue";
    EXPECT_EQ(bottom[0], 255) << "bottom row is red";
    EXPECT_EQ(bottom[2], 0);
    SDL_FreeSurface(image);
}

TEST(Screenshot, NothingIsWrittenWithoutAPicture) {
    ScratchDir scratch;
    std::vector<uint8_t> empty;
    EXPECT_FALSE(kilnSaveScreenshot(empty, 0, 0, "kilnshot-0001.png"));
    EXPECT_FALSE(std::filesystem::exists("kilnshot-0001.png"));
}

}  // namespace

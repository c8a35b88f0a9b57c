// The framework reads its pictures with its own BMP decoder; every picture
// the game ships must come out exactly as SDL's own reader sees it.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "kiln2/bmp_image.h"

namespace {

TEST(BmpAgainstSdl, EveryShippedPictureDecodesToSdlsPixels) {
    int checked = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(std::string(KVR_SOURCE_DIR) + "/resource")) {
        if (entry.path().extension() != ".bmp") continue;
        const std::string file = entry.path().string();
        SCOPED_TRACE(file);
        KilnImage ours;
        std::string error;
        ASSERT_TRUE(kilnReadBmpFile(file, ours, error)) << error;
        SDL_Surface* loaded = SDL_LoadBMP(file.c_str());
        ASSERT_NE(loaded, nullptr) << SDL_GetError();
        SDL_Surface* theirs = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0);
        SDL_FreeSurface(loaded);
        ASSERT_NE(theirs, nullptr);
        ASSERT_EQ(ours.w, theirs->w);
        ASSERT_EQ(ours.h, theirs->h);
        for (int y = 0; y < ours.h; ++y) {
            const auto* row = static_cast<const uint8_t*>(theirs->pixels) + y * theirs->pitch;
            ASSERT_EQ(std::memcmp(ours.pixels.data() + y * ours.pitch, row, static_cast<size_t>(ours.w) * 4), 0)
                << "row " << y;
        }
        SDL_FreeSurface(theirs);
        ++checked;
    }
    EXPECT_GE(checked, 5) << "font, menu, tama, logo and the icon";
}

}  // namespace

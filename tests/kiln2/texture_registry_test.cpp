// The texture registry: keys, replacement, disposal and the three colour-key
// rules, checked on real BMP files and on the pixels the framework keeps.
#include "kiln2/kiln_state.h"
#include "kiln_test_support.h"

using namespace kiln_test;

namespace {

constexpr Rgb kGreen{0, 255, 0};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kWhite{255, 255, 255};

// Four pixels in a row: green, red, blue, white.
void writeStripe(const std::string& file) {
    writeBmp(file, 4, 1, [](int x, int) {
        const Rgb colours[] = {kGreen, kRed, kBlue, kWhite};
        return colours[x];
    });
}

// Bytes R, G, B, A of pixel x of row 0 of a registered texture.
std::array<uint8_t, 4> pixelBytes(const std::string& key, int x) {
    const Texture& texture = *kilnState().textures.at(key);
    const auto* bytes = texture.surface->pixels.data() + x * 4;
    return {bytes[0], bytes[1], bytes[2], bytes[3]};
}

using Bytes = std::array<uint8_t, 4>;

class TextureRegistry : public HeadlessTest {
protected:
    void SetUp() override { start(withFiles()); }
};

TEST_F(TextureRegistry, ExplicitGreenKeyClearsOnlyGreenPixels) {
    writeStripe("s.bmp");
    Kiln_loadTexture("s", "s.bmp", {0, 255, 0});
    EXPECT_EQ(pixelBytes("s", 0), (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(pixelBytes("s", 1), (Bytes{255, 0, 0, 255}));
    EXPECT_EQ(pixelBytes("s", 2), (Bytes{0, 0, 255, 255}));
    EXPECT_EQ(pixelBytes("s", 3), (Bytes{255, 255, 255, 255}));
}

TEST_F(TextureRegistry, ExplicitKeyMatchesItsFirstValueAgainstBlue) {
    writeStripe("s.bmp");
    Kiln_loadTexture("s", "s.bmp", {255, 0, 0});
    EXPECT_EQ(pixelBytes("s", 1), (Bytes{255, 0, 0, 255})) << "red stays";
    EXPECT_EQ(pixelBytes("s", 2), (Bytes{0, 0, 0, 0})) << "blue is the key";
}

TEST_F(TextureRegistry, NoKeyKeepsEveryPixelAndStoresACleanMask) {
    writeStripe("s.bmp");
    Kiln_loadTexture("s", "s.bmp", {-1, 5, 6});
    EXPECT_EQ(pixelBytes("s", 0), (Bytes{0, 255, 0, 255}));
    EXPECT_EQ(kilnState().textures.at("s")->getMask(), (KilnMask{-1, 0, 0}));
}

TEST_F(TextureRegistry, KeyTakenFromAPixelInsideTheImage) {
    writeStripe("s.bmp");
    Kiln_loadTexture("s", "s.bmp", {-2, 2, 0});
    EXPECT_EQ(pixelBytes("s", 2), (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(pixelBytes("s", 0), (Bytes{0, 255, 0, 255}));
    EXPECT_EQ(kilnState().textures.at("s")->getMask(), (KilnMask{-2, 2, 0}));
}

TEST_F(TextureRegistry, KeyPixelOutsideTheImageLeavesItOpaque) {
    // Two rows, so a reader that runs off the end of row 0 finds a real colour.
    writeBmp("s.bmp", 4, 2, [](int x, int y) { return y == 0 ? kWhite : (x == 0 ? kRed : kBlue); });
    for (const KilnMask& mask : {KilnMask{-2, 4, 0}, KilnMask{-2, 0, 2}, KilnMask{-2, -1, 0}, KilnMask{-2, 0, -1}}) {
        Kiln_loadTexture("s", "s.bmp", mask);
        const Texture& texture = *kilnState().textures.at("s");
        const auto* bytes = texture.surface->pixels.data();
        for (int i = 0; i < 8; ++i) EXPECT_EQ(bytes[i * 4 + 3], 255) << "pixel " << i << " mask " << mask[1] << "," << mask[2];
    }
}

TEST_F(TextureRegistry, InvalidMaskThrowsAndTheOldTextureIsGone) {
    writeStripe("s.bmp");
    Kiln_loadTexture("s", "s.bmp", {-1, 0, 0});
    EXPECT_EQ(errorOf([] { Kiln_loadTexture("s", "s.bmp", {-3, 0, 0}); }),
              "Kiln_loadTexture: Invalid parameter 'mask'");
    EXPECT_FALSE(Kiln_hasTexture("s"));
}

TEST_F(TextureRegistry, MissingFileThrowsAndLeavesTheKeyUnregistered) {
    EXPECT_EQ(errorOf([] { Kiln_loadTexture("gone", "no/such.bmp", {-1, 0, 0}); }),
              "Kiln_Texture::loadBmp : not found file: no/such.bmp");
    EXPECT_FALSE(Kiln_hasTexture("gone"));
}

TEST_F(TextureRegistry, LoadingUnderAnExistingKeyReplacesTheTexture) {
    writeSolidBmp("small.bmp", 16, 8, kRed);
    writeSolidBmp("big.bmp", 32, 24, kRed);
    Kiln_loadTexture("t", "small.bmp", {-1, 0, 0});
    Kiln_loadTexture("t", "big.bmp", {-1, 0, 0});
    EXPECT_EQ(kilnState().textures.size(), 1u);
    Kiln_drawTexture("t", 0, 0, 0, 0, 0, 0, 1, 1, 0, 255, 255, 255, 255);
    const auto quads = callsOfKind(KilnDrawCall::TEXTURE);
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_EQ(quads[0].srcW, 32);
    EXPECT_EQ(quads[0].srcH, 24);
}

TEST_F(TextureRegistry, DisposeOneAllAndUnknown) {
    writeSolidBmp("a.bmp", 8, 8, kRed);
    Kiln_loadTexture("a", "a.bmp", {-1, 0, 0});
    Kiln_loadTexture("b", "a.bmp", {-1, 0, 0});
    Kiln_loadTexture("c", "a.bmp", {-1, 0, 0});
    Kiln_disposeTexture("b");
    EXPECT_TRUE(Kiln_hasTexture("a"));
    EXPECT_FALSE(Kiln_hasTexture("b"));
    EXPECT_EQ(errorOf([] { Kiln_disposeTexture("b"); }), "Kiln_disposeTexture: Has exist key: b");
    Kiln_disposeTexture("");
    EXPECT_FALSE(Kiln_hasTexture("a"));
    EXPECT_FALSE(Kiln_hasTexture("c"));
    EXPECT_EQ(errorOf([] { Kiln_drawTexture("a", 0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0); }),
              "Kiln_drawTexture: Has not exist key: a");
    EXPECT_EQ(errorOf([] { Kiln_disposeTexture(""); }), "") << "disposing all of nothing is fine";
}

TEST_F(TextureRegistry, ReloadReadsTheFilesAgainWithTheirMasks) {
    writeSolidBmp("t.bmp", 8, 8, kGreen);
    Kiln_loadTexture("t", "t.bmp", {0, 255, 0});
    writeSolidBmp("t.bmp", 20, 10, kGreen);
    writeBmp("resource/font/font.bmp", 256, 64, [](int, int) { return kWhite; });
    Kiln_reloadTextures();
    const Texture& texture = *kilnState().textures.at("t");
    EXPECT_EQ(texture.width, 20);
    EXPECT_EQ(texture.height, 10);
    EXPECT_EQ(pixelBytes("t", 0), (Bytes{0, 0, 0, 0})) << "the key is applied again";
    EXPECT_EQ(kilnState().font->width, 256) << "the font is rebuilt too";
}

TEST_F(TextureRegistry, FontIsKeyedOnGreen) {
    const Texture& font = *kilnState().font;
    EXPECT_EQ(font.getFileName(), "resource/font/font.bmp");
    EXPECT_EQ(font.getMask(), (KilnMask{0, 255, 0}));
    const auto* bytes = font.surface->pixels.data();
    EXPECT_EQ(bytes[3], 255) << "pixel (0,0) is white in the test font";
    EXPECT_EQ(bytes[4 + 3], 0) << "pixel (1,0) is green, so transparent";
}

TEST_F(TextureRegistry, MissingFontStopsStartUp) {
    kiln_headless::reset();
    Kiln_useHeadlessBackend(withFiles());
    std::filesystem::remove_all("resource");
    EXPECT_EQ(errorOf([] { Kiln_init("test", 640, 480, false, false); }),
              "Kiln_Texture::loadBmp : not found file: resource/font/font.bmp");
}

class TextureWithoutFiles : public HeadlessTest {
protected:
    void SetUp() override { start(noFiles()); }
};

TEST_F(TextureWithoutFiles, RegistersWithoutTouchingDiskButStillChecksTheMask) {
    Kiln_loadTexture("tama", "resource/image/tama.bmp", {0, 255, 0});
    EXPECT_TRUE(Kiln_hasTexture("tama"));
    const Texture& texture = *kilnState().textures.at("tama");
    EXPECT_EQ(texture.getFileName(), "resource/image/tama.bmp");
    EXPECT_EQ(texture.width, 0);
    EXPECT_EQ(errorOf([] { Kiln_loadTexture("tama", "x.bmp", {-7, 0, 0}); }),
              "Kiln_loadTexture: Invalid parameter 'mask'");
}

}  // namespace

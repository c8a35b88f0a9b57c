// The BMP decoder behind every texture: the depths and layouts a picture
// can be saved in read as the same R,G,B,A pixels, and every kind of
// damage is refused instead of read past.
#include "kiln2/bmp_image.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "kiln_test_support.h"

namespace {

using Bytes = std::vector<uint8_t>;

void put16(Bytes& b, uint32_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}
void put32(Bytes& b, uint32_t v) {
    put16(b, v & 0xFFFFu);
    put16(b, v >> 16);
}

// A BMP with a 40-byte header (or 108 with masks), the given palette or masks, and raw rows as given.
Bytes bmp(int width, int height, int bits, uint32_t compression, const Bytes& extra, const Bytes& rows,
          uint32_t headerBytes = 40) {
    Bytes b = {'B', 'M'};
    const uint32_t offset = 14 + headerBytes + static_cast<uint32_t>(extra.size());
    put32(b, offset + static_cast<uint32_t>(rows.size()));
    put32(b, 0);
    put32(b, offset);
    put32(b, headerBytes);
    put32(b, static_cast<uint32_t>(width));
    put32(b, static_cast<uint32_t>(height));
    put16(b, 1);
    put16(b, static_cast<uint32_t>(bits));
    put32(b, compression);
    put32(b, static_cast<uint32_t>(rows.size()));
    put32(b, 2835);
    put32(b, 2835);
    put32(b, 0);
    put32(b, 0);
    b.resize(14 + headerBytes, 0);
    b.insert(b.end(), extra.begin(), extra.end());
    b.insert(b.end(), rows.begin(), rows.end());
    return b;
}

Bytes pixel(const KilnImage& image, int x, int y) {
    const uint8_t* p = image.pixels.data() + y * image.pitch + x * 4;
    return {p[0], p[1], p[2], p[3]};
}

KilnImage decoded(const Bytes& bytes) {
    KilnImage image;
    std::string error;
    EXPECT_TRUE(kilnDecodeBmp(bytes, image, error)) << error;
    return image;
}

TEST(BmpImage, TwentyFourBitRowsAreStoredBottomFirstInBlueGreenRed) {
    // 2x2: bottom row red, green; top row blue, white; rows padded to 8 bytes.
    const Bytes rows = {0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0};
    const KilnImage image = decoded(bmp(2, 2, 24, 0, {}, rows));
    ASSERT_EQ(image.w, 2);
    ASSERT_EQ(image.h, 2);
    EXPECT_EQ(pixel(image, 0, 0), (Bytes{0, 0, 255, 255}));
    EXPECT_EQ(pixel(image, 1, 0), (Bytes{255, 255, 255, 255}));
    EXPECT_EQ(pixel(image, 0, 1), (Bytes{255, 0, 0, 255}));
    EXPECT_EQ(pixel(image, 1, 1), (Bytes{0, 255, 0, 255}));
}

TEST(BmpImage, PalettedPicturesOfOneFourAndEightBitsReadTheirColours) {
    const Bytes palette = {0, 0, 0, 0, 0, 255, 0, 0, 255, 0, 0, 0};  // black, green, blue (B, G, R, 0)
    // One row of three pixels: indexes 1, 2, 0.
    const KilnImage eight = decoded(bmp(3, 1, 8, 0, palette, {1, 2, 0, 0}));
    const KilnImage four = decoded(bmp(3, 1, 4, 0, palette, {0x12, 0x00, 0, 0}));
    for (const KilnImage* image : {&eight, &four}) {
        EXPECT_EQ(pixel(*image, 0, 0), (Bytes{0, 255, 0, 255}));
        EXPECT_EQ(pixel(*image, 1, 0), (Bytes{0, 0, 255, 255}));
        EXPECT_EQ(pixel(*image, 2, 0), (Bytes{0, 0, 0, 255}));
    }
    const KilnImage one = decoded(bmp(3, 1, 1, 0, palette, {0xA0, 0, 0, 0}));  // 1, 0, 1
    EXPECT_EQ(pixel(one, 0, 0), (Bytes{0, 255, 0, 255}));
    EXPECT_EQ(pixel(one, 1, 0), (Bytes{0, 0, 0, 255}));
    EXPECT_EQ(pixel(one, 2, 0), (Bytes{0, 255, 0, 255}));
}

TEST(BmpImage, BitFieldsTopDownRowsAndSixteenBitsDecode) {
    // 32 bits with masks R=0xFF000000 G=0x00FF0000 B=0x0000FF00 A=0x000000FF, rows top first.
    Bytes masks;
    for (uint32_t m : {0xFF000000u, 0x00FF0000u, 0x0000FF00u, 0x000000FFu}) put32(masks, m);
    Bytes header = bmp(1, -2, 32, 3, {}, {0x80, 0x30, 0x20, 0x10, 0xFF, 0, 0, 0xFF}, 108);
    for (size_t i = 0; i < 16; ++i) header[14 + 40 + i] = masks[i];
    const KilnImage fields = decoded(header);
    EXPECT_EQ(pixel(fields, 0, 0), (Bytes{0x10, 0x20, 0x30, 0x80})) << "first row stored is the top one";
    EXPECT_EQ(pixel(fields, 0, 1), (Bytes{0xFF, 0, 0, 0xFF}));
    // 16 bits without masks are 5-5-5: pure red is 0x7C00.
    const KilnImage sixteen = decoded(bmp(1, 1, 16, 0, {}, {0x00, 0x7C, 0, 0}));
    EXPECT_EQ(pixel(sixteen, 0, 0), (Bytes{255, 0, 0, 255}));
}

TEST(BmpImage, DamageIsRefusedNeverReadPast) {
    const Bytes good = bmp(2, 2, 24, 0, {}, Bytes(16, 7));
    KilnImage image;
    std::string error;
    for (size_t cut : {size_t{0}, size_t{10}, size_t{30}, good.size() - 1}) {
        SCOPED_TRACE(cut);
        EXPECT_FALSE(kilnDecodeBmp(Bytes(good.begin(), good.begin() + static_cast<long>(cut)), image, error));
    }
    Bytes rle = bmp(2, 2, 8, 1, Bytes(1024, 0), Bytes(16, 0));
    EXPECT_FALSE(kilnDecodeBmp(rle, image, error));
    EXPECT_EQ(error, "compressed BMP files are not supported");
    Bytes huge = good;
    huge[18] = 0xFF, huge[19] = 0xFF, huge[20] = 0xFF, huge[21] = 0x7F;  // width 2^31 - 1
    EXPECT_FALSE(kilnDecodeBmp(huge, image, error));
    Bytes odd = good;
    odd[28] = 12;  // 12 bits a pixel
    EXPECT_FALSE(kilnDecodeBmp(odd, image, error));
    EXPECT_FALSE(kilnDecodeBmp(Bytes{'G', 'I', 'F', '8', '9', 'a'}, image, error));
    // Pixels said to start inside the headers, as at offset 0: the header
    // would be read as the picture. Found by fuzz_bmp.
    for (uint8_t offset : {uint8_t{0}, uint8_t{14}, uint8_t{53}}) {
        SCOPED_TRACE(offset);
        Bytes inside = good;
        inside[10] = offset;
        EXPECT_FALSE(kilnDecodeBmp(inside, image, error));
        EXPECT_EQ(error, "pixel data starts inside the header");
    }
    Bytes fields = bmp(1, 1, 32, 3, Bytes(12, 0xFF), Bytes(4, 1));
    fields[10] = 54;  // on the bit fields that follow the 40-byte header
    EXPECT_FALSE(kilnDecodeBmp(fields, image, error));
}

TEST(BmpImage, TheTestsOwnWriterAndTheDecoderAgreeOnEveryPixel) {
    kiln_test::ScratchDir scratch;
    kiln_test::writeBmp("grid.bmp", 5, 3, [](int x, int y) {
        return kiln_test::Rgb{static_cast<uint8_t>(x * 50), static_cast<uint8_t>(y * 100), 7};
    });
    KilnImage image;
    std::string error;
    ASSERT_TRUE(kilnReadBmpFile("grid.bmp", image, error)) << error;
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) {
            EXPECT_EQ(pixel(image, x, y), (Bytes{static_cast<uint8_t>(x * 50), static_cast<uint8_t>(y * 100), 7, 255}));
        }
    }
    EXPECT_FALSE(kilnReadBmpFile("missing.bmp", image, error));
    EXPECT_EQ(error, "No such file or directory");
}

}  // namespace

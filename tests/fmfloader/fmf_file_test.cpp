// Map files: the writer and reader agree, printInfo's dump, and every kind of
// damaged file is refused with a clear message instead of a crash.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "fmfloader/fmf_loader.h"

namespace {

// A hand-made file image, header values given one by one.
std::vector<uint8_t> fileImage(uint32_t dataSize, uint32_t width, uint32_t height, uint8_t chipW, uint8_t chipH,
                               uint8_t layers, uint8_t bits, const std::vector<uint8_t>& data) {
    std::vector<uint8_t> out = {'F', 'M', 'F', '_'};
    for (uint32_t value : {dataSize, width, height}) {
        for (int shift = 0; shift < 32; shift += 8) {
            out.push_back(static_cast<uint8_t>(value >> shift));
        }
    }
    out.insert(out.end(), {chipW, chipH, layers, bits});
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

std::string errorOf(const std::vector<uint8_t>& bytes) {
    try {
        FMFLoader::fromBytes(bytes, "test.fmf");
    } catch (const FMFError& e) {
        return e.what();
    }
    return "(no error)";
}

void expectRejected(const std::vector<uint8_t>& bytes, const std::string& detail) {
    std::string message = errorOf(bytes);
    EXPECT_EQ(message.rfind("Invalid FMF format (test.fmf: ", 0), 0u) << message;
    EXPECT_EQ(message.back(), ')') << message;
    EXPECT_NE(message.find(detail), std::string::npos) << message;
}

}  // namespace

TEST(FMFFile, HandMadeEightBitFileReadsEveryField) {
    // 3x2 chips of 16x8 pixels, two layers.
    std::vector<uint8_t> data = {1, 2, 3, 4, 5, 6, 200, 0, 255, 9, 8, 7};
    FMFLoader map = FMFLoader::fromBytes(fileImage(12, 3, 2, 16, 8, 2, 8, data));
    EXPECT_EQ(map.getIdentifier(), "FMF_");
    EXPECT_EQ(map.getDataSize(), 12);
    EXPECT_EQ(map.getWidth(), 3);
    EXPECT_EQ(map.getHeight(), 2);
    EXPECT_EQ(map.getChipWidth(), 16);
    EXPECT_EQ(map.getChipHeight(), 8);
    EXPECT_EQ(map.getLayerCount(), 2);
    EXPECT_EQ(map.getBitCount(), 8);
    EXPECT_EQ(map.getLayer(0)->get(0, 0), 1);
    EXPECT_EQ(map.getLayer(0)->get(2, 0), 3);
    EXPECT_EQ(map.getLayer(0)->get(0, 1), 4);
    EXPECT_EQ(map.getLayer(1)->get(0, 0), 200);
    EXPECT_EQ(map.getLayer(1)->get(2, 0), 255) << "8-bit chips widen without sign";
    EXPECT_EQ(map.getLayer(1)->get(2, 1), 7);
}

TEST(FMFFile, SixteenBitChipsAreLittleEndianAndUnsigned) {
    std::vector<uint8_t> data = {0x34, 0x12, 0xFF, 0xFF};
    FMFLoader map = FMFLoader::fromBytes(fileImage(4, 2, 1, 32, 32, 1, 16, data));
    EXPECT_EQ(map.getLayer(0)->get(0, 0), 0x1234);
    EXPECT_EQ(map.getLayer(0)->get(1, 0), 65535);
}

TEST(FMFFile, GetLayerOutsideTheRangeIsNull) {
    FMFLoader map(2, 2, 16, 16, 3, 8);
    EXPECT_NE(map.getLayer(0), nullptr);
    EXPECT_NE(map.getLayer(2), nullptr);
    EXPECT_EQ(map.getLayer(3), nullptr);
    EXPECT_EQ(map.getLayer(-1), nullptr);
    EXPECT_EQ(FMFLoader().getLayer(0), nullptr);
}

TEST(FMFFile, RoundTripThroughADiskFileKeepsEveryChip) {
    for (int bits : {8, 16}) {
        FMFLoader map(5, 4, 16, 24, 2, bits);
        const int top = bits == 8 ? 255 : 65535;
        for (int layer = 0; layer < 2; ++layer) {
            for (int y = 0; y < 4; ++y) {
                for (int x = 0; x < 5; ++x) {
                    map.getLayer(layer)->set(x, y, (x * 37 + y * 101 + layer * 4099) % (top + 1));
                }
            }
        }
        map.getLayer(1)->set(4, 3, top);
        std::filesystem::path path =
            std::filesystem::temp_directory_path() / ("fmf_round_trip_" + std::to_string(bits) + ".fmf");
        map.save(path.string());
        EXPECT_EQ(std::filesystem::file_size(path), 20u + 5 * 4 * 2 * (bits / 8));
        FMFLoader back = FMFLoader::load(path.string());
        std::filesystem::remove(path);

        EXPECT_EQ(back.getDataSize(), 5 * 4 * 2 * (bits / 8));
        EXPECT_EQ(back.getBitCount(), bits);
        EXPECT_EQ(back.getChipHeight(), 24);
        for (int layer = 0; layer < 2; ++layer) {
            for (int y = 0; y < 4; ++y) {
                for (int x = 0; x < 5; ++x) {
                    EXPECT_EQ(back.getLayer(layer)->get(x, y), map.getLayer(layer)->get(x, y))
                        << bits << " bits, layer " << layer << " at " << x << "," << y;
                }
            }
        }
    }
}

TEST(FMFFile, WriterRefusesChipsThatDoNotFitTheirBits) {
    FMFLoader eight(2, 1, 8, 8, 1, 8);
    eight.getLayer(0)->set(1, 0, 256);
    EXPECT_THROW(eight.toBytes(), FMFError);
    eight.getLayer(0)->set(1, 0, -1);
    EXPECT_THROW(eight.toBytes(), FMFError);
    FMFLoader sixteen(2, 1, 8, 8, 1, 16);
    sixteen.getLayer(0)->set(0, 0, 65536);
    EXPECT_THROW(sixteen.toBytes(), FMFError);
    EXPECT_THROW(FMFLoader().toBytes(), FMFError);
}

TEST(FMFFile, NewMapsRefuseShapesTheFileCannotHold) {
    EXPECT_THROW(FMFLoader(0, 2, 16, 16, 1, 8), FMFError);
    EXPECT_THROW(FMFLoader(2, 2, 16, 16, 0, 8), FMFError);
    EXPECT_THROW(FMFLoader(2, 2, 256, 16, 1, 8), FMFError);
    EXPECT_THROW(FMFLoader(2, 2, 16, 16, 1, 12), FMFError);
    EXPECT_THROW(FMFLoader(-2, 2, 16, 16, 1, 8), FMFError);
    EXPECT_THROW(FMFLoader(65536, 65536, 16, 16, 1, 8), FMFError);
}

TEST(FMFFile, PrintInfoDumpsHeaderThenLayers) {
    FMFLoader map(3, 2, 16, 8, 2, 8);
    map.getLayer(0)->fill(7);
    map.getLayer(1)->set(1, 1, 3);
    testing::internal::CaptureStdout();
    map.printInfo();
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "identifier='FMF_' datasize=12 (w,h)=(3,2) chip(x,y)=(16,8) layer=2 bit=8\n"
              "Layer-0\n777\n777\n"
              "Layer-1\n000\n030\n");
}

TEST(FMFFile, WrongMagicIsInvalidFormat) {
    std::vector<uint8_t> bytes = fileImage(1, 1, 1, 8, 8, 1, 8, {0});
    bytes[3] = 'X';
    expectRejected(bytes, "FMF_");
    expectRejected({'P', 'N', 'G'}, "truncated header");  // too short even for the magic
}

TEST(FMFFile, TruncatedHeaderAndDataAreRefused) {
    std::vector<uint8_t> whole = fileImage(6, 3, 2, 8, 8, 1, 8, {1, 2, 3, 4, 5, 6});
    expectRejected(std::vector<uint8_t>(whole.begin(), whole.begin() + 19), "truncated header: 19 of 20");
    expectRejected(std::vector<uint8_t>(whole.begin(), whole.begin() + 4), "truncated header: 4 of 20");
    expectRejected(std::vector<uint8_t>(whole.begin(), whole.end() - 1), "truncated layer data: 5 of 6");
    expectRejected(std::vector<uint8_t>(whole.begin(), whole.begin() + 20), "truncated layer data: 0 of 6");
    std::vector<uint8_t> longer = whole;
    longer.push_back(0);
    expectRejected(longer, "follow the layer data");
}

TEST(FMFFile, DataSizeMustMatchTheShape) {
    expectRejected(fileImage(5, 3, 2, 8, 8, 1, 8, {1, 2, 3, 4, 5, 6}), "data size 5 disagrees");
    // 16-bit maps need two bytes per chip.
    expectRejected(fileImage(6, 3, 2, 8, 8, 1, 16, {1, 2, 3, 4, 5, 6}), "data size 6 disagrees");
}

TEST(FMFFile, EmptySizesAreRefused) {
    expectRejected(fileImage(0, 0, 2, 8, 8, 1, 8, {}), "is empty");
    expectRejected(fileImage(0, 3, 0, 8, 8, 1, 8, {}), "is empty");
    expectRejected(fileImage(6, 3, 2, 0, 8, 1, 8, {1, 2, 3, 4, 5, 6}), "chip size 0x8");
    expectRejected(fileImage(6, 3, 2, 8, 0, 1, 8, {1, 2, 3, 4, 5, 6}), "chip size 8x0");
    expectRejected(fileImage(0, 3, 2, 8, 8, 0, 8, {}), "layer count 0");
}

TEST(FMFFile, OnlyEightAndSixteenBitChipsAreAccepted) {
    expectRejected(fileImage(9, 3, 2, 8, 8, 1, 12, std::vector<uint8_t>(9)), "bit count 12");
    expectRejected(fileImage(24, 3, 2, 8, 8, 1, 32, std::vector<uint8_t>(24)), "bit count 32");
    expectRejected(fileImage(0, 3, 2, 8, 8, 1, 0, {}), "bit count 0");
}

TEST(FMFFile, NegativeAndOversizedHeadersFailWithoutAllocating) {
    expectRejected(fileImage(0x80000000u, 3, 2, 8, 8, 1, 8, {}), "negative");
    expectRejected(fileImage(6, 0xFFFFFFFFu, 2, 8, 8, 1, 8, {}), "negative");
    expectRejected(fileImage(6, 3, 0x80000000u, 8, 8, 1, 8, {}), "negative");
    // Every product of these would wrap 32-bit arithmetic; all must be caught.
    expectRejected(fileImage(0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 255, 255, 255, 16, {}), "negative");
    expectRejected(fileImage(0x7FFFFFFFu, 0x7FFFFFFFu, 0x7FFFFFFFu, 255, 255, 255, 16, {}), "exceeds the limit");
    expectRejected(fileImage(0, 65536, 65536, 8, 8, 1, 8, {}), "exceeds the limit");
    // Just over the cap through the layer count alone.
    expectRejected(fileImage(0, 4096, 4096, 8, 8, 2, 8, {}), "exceeds the limit");
    // A sane shape whose data is missing is still only a truncation.
    expectRejected(fileImage(4096 * 4096, 4096, 4096, 8, 8, 1, 8, {}), "truncated layer data");
}

TEST(FMFFile, MissingFileIsAnErrorNotAnEmptyMap) {
    EXPECT_THROW(FMFLoader::load("/nonexistent/dir/map.fmf"), FMFError);
}

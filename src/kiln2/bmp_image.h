// Reading BMP pictures into R,G,B,A bytes without any platform library, so
// the framework's core (and the replay verifier built on it) needs none.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A picture as the textures keep it: rows top first, four bytes a pixel in
// the order R, G, B, A, no padding (pitch is width * 4).
struct KilnImage {
    int32_t w = 0;
    int32_t h = 0;
    int32_t pitch = 0;
    std::vector<uint8_t> pixels;
};

// Decodes the bytes of a BMP file: the Windows headers (40, 52, 56, 108 and
// 124 bytes) and the old 12-byte one; 1, 4 and 8 bits through a palette, 16
// and 32 bits with or without bit fields, 24 bits. Compressed (RLE) files are
// refused. False with a reason in error when the bytes are not such a picture.
bool kilnDecodeBmp(const std::vector<uint8_t>& bytes, KilnImage& image, std::string& error);

// Reads and decodes a file; false with a reason when it cannot.
bool kilnReadBmpFile(const std::string& file, KilnImage& image, std::string& error);

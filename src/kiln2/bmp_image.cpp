// The BMP decoder behind every texture. It is strict about sizes (a picture
// whose pixels would run past the end of the file is refused, never read
// past) because a damaged file must end as a clear error, not a crash.
#include "kiln2/bmp_image.h"

#include "kiln2/file_bytes.h"

namespace {

constexpr uint32_t kFileHeaderBytes = 14;
// No picture the game could want is larger; the limit keeps the size sums in range.
constexpr int64_t kMaxSide = 8192;

enum Compression : uint32_t { RGB = 0, RLE8 = 1, RLE4 = 2, BITFIELDS = 3, ALPHA_BITFIELDS = 6 };

uint32_t u16At(const std::vector<uint8_t>& b, size_t at) {
    return static_cast<uint32_t>(b[at]) | static_cast<uint32_t>(b[at + 1]) << 8;
}

uint32_t u32At(const std::vector<uint8_t>& b, size_t at) {
    return u16At(b, at) | u16At(b, at + 2) << 16;
}

// One channel of a bit-field pixel, widened to 8 bits.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    int bits = 0;

    explicit Channel(uint32_t m = 0) : mask(m) {
        if (mask == 0) return;
        while (((mask >> shift) & 1u) == 0) ++shift;
        while (shift + bits < 32 && ((mask >> (shift + bits)) & 1u) != 0) ++bits;
    }
    uint8_t of(uint32_t pixel, uint8_t absent) const {
        if (mask == 0) return absent;
        const uint32_t value = (pixel & mask) >> shift;
        if (bits >= 8) return static_cast<uint8_t>(value >> (bits - 8));
        const uint32_t top = (1u << bits) - 1u;
        return static_cast<uint8_t>(value * 255u / top);
    }
};

struct Header {
    int64_t width = 0;
    int64_t height = 0;  // negative: rows stored top first
    uint32_t bitCount = 0;
    uint32_t compression = RGB;
    uint32_t paletteColours = 0;
    uint32_t paletteEntryBytes = 4;
    uint32_t masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha
    bool hasMasks = false;
};

bool readHeader(const std::vector<uint8_t>& b, uint32_t dataOffset, Header& h, std::string& error) {
    if (b.size() < kFileHeaderBytes + 4) {
        error = "too short for a BMP header";
        return false;
    }
    const uint32_t infoBytes = u32At(b, kFileHeaderBytes);
    if (b.size() < static_cast<size_t>(kFileHeaderBytes) + infoBytes) {
        error = "header runs past the end of the file";
        return false;
    }
    const size_t at = kFileHeaderBytes;
    if (infoBytes == 12) {
        h.width = static_cast<int16_t>(u16At(b, at + 4));
        h.height = static_cast<int16_t>(u16At(b, at + 6));
        h.bitCount = u16At(b, at + 10);
        h.paletteEntryBytes = 3;
    } else if (infoBytes == 40 || infoBytes == 52 || infoBytes == 56 || infoBytes == 108 || infoBytes == 124) {
        h.width = static_cast<int32_t>(u32At(b, at + 4));
        h.height = static_cast<int32_t>(u32At(b, at + 8));
        h.bitCount = u16At(b, at + 14);
        h.compression = u32At(b, at + 16);
        h.paletteColours = u32At(b, at + 32);
        if (infoBytes >= 52) {
            for (int i = 0; i < 3; ++i) h.masks[i] = u32At(b, at + 40 + 4 * static_cast<size_t>(i));
            h.hasMasks = true;
        }
        if (infoBytes >= 56) h.masks[3] = u32At(b, at + 52);
        // The plain 40-byte header keeps its bit fields right after itself.
        if (infoBytes == 40 && (h.compression == BITFIELDS || h.compression == ALPHA_BITFIELDS)) {
            const int count = h.compression == ALPHA_BITFIELDS ? 4 : 3;
            if (b.size() < at + 40 + 4 * static_cast<size_t>(count)) {
                error = "bit fields run past the end of the file";
                return false;
            }
            for (int i = 0; i < count; ++i) h.masks[i] = u32At(b, at + 40 + 4 * static_cast<size_t>(i));
            h.hasMasks = true;
        }
    } else {
        error = "unknown BMP header size " + std::to_string(infoBytes);
        return false;
    }
    if (h.compression == RLE8 || h.compression == RLE4) {
        error = "compressed BMP files are not supported";
        return false;
    }
    if (h.compression != RGB && h.compression != BITFIELDS && h.compression != ALPHA_BITFIELDS) {
        error = "unknown BMP compression " + std::to_string(h.compression);
        return false;
    }
    if (h.width <= 0 || h.height == 0 || h.width > kMaxSide || h.height > kMaxSide || h.height < -kMaxSide) {
        error = "bad picture size";
        return false;
    }
    switch (h.bitCount) {
        case 1: case 4: case 8: case 16: case 24: case 32: break;
        default:
            error = "unsupported depth of " + std::to_string(h.bitCount) + " bits";
            return false;
    }
    if (dataOffset > b.size()) {
        error = "pixel data starts past the end of the file";
        return false;
    }
    // An offset inside the headers (0 among them) would read the header's
    // own bytes as pixels.
    const uint32_t maskBytes = infoBytes == 40 && h.hasMasks ? (h.compression == ALPHA_BITFIELDS ? 16u : 12u) : 0u;
    if (static_cast<uint64_t>(dataOffset) < static_cast<uint64_t>(kFileHeaderBytes) + infoBytes + maskBytes) {
        error = "pixel data starts inside the header";
        return false;
    }
    return true;
}

}  // namespace

bool kilnDecodeBmp(const std::vector<uint8_t>& b, KilnImage& image, std::string& error) {
    if (b.size() < kFileHeaderBytes || b[0] != 'B' || b[1] != 'M') {
        error = "not a BMP file";
        return false;
    }
    const uint32_t dataOffset = u32At(b, 10);
    Header h;
    if (!readHeader(b, dataOffset, h, error)) return false;

    const bool topFirst = h.height < 0;
    const int64_t width = h.width;
    const int64_t height = topFirst ? -h.height : h.height;
    const int64_t rowBytes = (width * h.bitCount + 31) / 32 * 4;
    if (static_cast<int64_t>(dataOffset) + rowBytes * height > static_cast<int64_t>(b.size())) {
        error = "pixel data runs past the end of the file";
        return false;
    }

    // The palette: up to 2^bits entries right after the headers.
    std::vector<uint32_t> palette;
    if (h.bitCount <= 8) {
        const uint32_t infoBytes = u32At(b, kFileHeaderBytes);
        const uint32_t most = 1u << h.bitCount;
        const uint32_t count = h.paletteColours == 0 || h.paletteColours > most ? most : h.paletteColours;
        const size_t start = kFileHeaderBytes + infoBytes;
        for (uint32_t i = 0; i < count; ++i) {
            const size_t at = start + static_cast<size_t>(i) * h.paletteEntryBytes;
            if (at + 3 > b.size() || at + 3 > dataOffset) break;
            palette.push_back(static_cast<uint32_t>(b[at + 2]) | static_cast<uint32_t>(b[at + 1]) << 8 |
                              static_cast<uint32_t>(b[at]) << 16);
        }
        palette.resize(most, 0);
    }

    // Without bit fields: 16 bits are 5-5-5, 32 bits are 8-8-8 with the top byte unused.
    uint32_t masks[4] = {h.masks[0], h.masks[1], h.masks[2], h.masks[3]};
    const bool fields = h.compression == BITFIELDS || h.compression == ALPHA_BITFIELDS || h.hasMasks;
    if (h.bitCount == 16 && (!fields || (masks[0] | masks[1] | masks[2]) == 0)) {
        masks[0] = 0x7C00u, masks[1] = 0x03E0u, masks[2] = 0x001Fu, masks[3] = 0;
    }
    if (h.bitCount == 32 && (!fields || (masks[0] | masks[1] | masks[2]) == 0)) {
        masks[0] = 0x00FF0000u, masks[1] = 0x0000FF00u, masks[2] = 0x000000FFu, masks[3] = 0;
    }
    const Channel red(masks[0]), green(masks[1]), blue(masks[2]), alpha(masks[3]);

    image.w = static_cast<int32_t>(width);
    image.h = static_cast<int32_t>(height);
    image.pitch = image.w * 4;
    image.pixels.assign(static_cast<size_t>(image.pitch) * static_cast<size_t>(image.h), 0);
    for (int64_t row = 0; row < height; ++row) {
        const size_t src = dataOffset + static_cast<size_t>(row * rowBytes);
        const int64_t y = topFirst ? row : height - 1 - row;
        uint8_t* out = image.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(image.pitch);
        for (int64_t x = 0; x < width; ++x, out += 4) {
            uint8_t r = 0, g = 0, bl = 0, a = 255;
            if (h.bitCount <= 8) {
                const int64_t bit = x * h.bitCount;
                const uint8_t byte = b[src + static_cast<size_t>(bit / 8)];
                const uint32_t index = (byte >> (8 - h.bitCount - bit % 8)) & ((1u << h.bitCount) - 1u);
                const uint32_t colour = palette[index];
                r = static_cast<uint8_t>(colour), g = static_cast<uint8_t>(colour >> 8);
                bl = static_cast<uint8_t>(colour >> 16);
            } else if (h.bitCount == 24) {
                const size_t at = src + static_cast<size_t>(x) * 3;
                bl = b[at], g = b[at + 1], r = b[at + 2];
            } else {
                const size_t at = src + static_cast<size_t>(x * (h.bitCount / 8));
                const uint32_t pixel = h.bitCount == 16 ? u16At(b, at) : u32At(b, at);
                r = red.of(pixel, 0), g = green.of(pixel, 0), bl = blue.of(pixel, 0), a = alpha.of(pixel, 255);
            }
            out[0] = r, out[1] = g, out[2] = bl, out[3] = a;
        }
    }
    return true;
}

bool kilnReadBmpFile(const std::string& file, KilnImage& image, std::string& error) {
    std::vector<uint8_t> bytes;
    return kilnReadFileBytes(file, bytes, error) && kilnDecodeBmp(bytes, image, error);
}

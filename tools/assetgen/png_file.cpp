// PNG encoder: signature, IHDR, one IDAT holding a zlib stream of stored
// deflate blocks, IEND. Each row is filter type 0 (none) then R, G, B.
#include "png_file.h"

#include "byte_sink.h"

#include <algorithm>
#include <array>

namespace assetgen {

namespace {

constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
// A stored deflate block carries at most this many bytes.
constexpr std::size_t kStoredBlockMax = 65535;

void putU32BigEndian(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v >> 24));
    out.push_back(static_cast<std::uint8_t>(v >> 16));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
    out.push_back(static_cast<std::uint8_t>(v));
}

// Length, type, data, then the CRC of type and data.
void putChunk(std::vector<std::uint8_t>& out, const char type[4], const std::vector<std::uint8_t>& data) {
    putU32BigEndian(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    putU32BigEndian(out, crc32(out.data() + typeAt, 4 + data.size()));
}

std::vector<std::uint8_t> rawRows(const Canvas& canvas) {
    std::vector<std::uint8_t> raw;
    raw.reserve(static_cast<std::size_t>(canvas.height()) * (1 + 3 * static_cast<std::size_t>(canvas.width())));
    for (int y = 0; y < canvas.height(); ++y) {
        raw.push_back(0);  // filter: none
        for (int x = 0; x < canvas.width(); ++x) {
            const Rgb c = canvas.get(x, y);
            raw.insert(raw.end(), {c.r, c.g, c.b});
        }
    }
    return raw;
}

// zlib header (deflate, 32 KiB window, no preset dictionary, check bits
// making it a multiple of 31), stored blocks, then the Adler-32 of the data.
std::vector<std::uint8_t> zlibStored(const std::vector<std::uint8_t>& data) {
    std::vector<std::uint8_t> out = {0x78, 0x01};
    std::size_t at = 0;
    do {
        const std::size_t length = std::min(kStoredBlockMax, data.size() - at);
        const bool last = at + length == data.size();
        out.push_back(last ? 1 : 0);  // BFINAL, BTYPE 00 (stored)
        const auto len = static_cast<std::uint16_t>(length);
        const auto nlen = static_cast<std::uint16_t>(~len);
        out.insert(out.end(), {static_cast<std::uint8_t>(len & 0xFF), static_cast<std::uint8_t>(len >> 8),
                               static_cast<std::uint8_t>(nlen & 0xFF), static_cast<std::uint8_t>(nlen >> 8)});
        out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(at),
                   data.begin() + static_cast<std::ptrdiff_t>(at + length));
        at += length;
    } while (at < data.size());
    putU32BigEndian(out, adler32(data.data(), data.size()));
    return out;
}

} // namespace

std::uint32_t crc32(const std::uint8_t* bytes, std::size_t length, std::uint32_t crc) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) {
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            }
            t[n] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (std::size_t i = 0; i < length; ++i) {
        crc = table[(crc ^ bytes[i]) & 0xFF] ^ (crc >> 8);
    }
    return ~crc;
}

std::uint32_t adler32(const std::uint8_t* bytes, std::size_t length) {
    constexpr std::uint32_t kModulus = 65521;
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (std::size_t i = 0; i < length; ++i) {
        a = (a + bytes[i]) % kModulus;
        b = (b + a) % kModulus;
    }
    return (b << 16) | a;
}

std::vector<std::uint8_t> encodePng(const Canvas& canvas) {
    std::vector<std::uint8_t> out(kSignature, kSignature + 8);
    std::vector<std::uint8_t> header;
    putU32BigEndian(header, static_cast<std::uint32_t>(canvas.width()));
    putU32BigEndian(header, static_cast<std::uint32_t>(canvas.height()));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, adaptive filters, no interlace
    putChunk(out, "IHDR", header);
    putChunk(out, "IDAT", zlibStored(rawRows(canvas)));
    putChunk(out, "IEND", {});
    return out;
}

void writePng(const std::filesystem::path& path, const Canvas& canvas) {
    writeFileBytes(path, encodePng(canvas));
}

} // namespace assetgen

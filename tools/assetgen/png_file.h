// Saving a canvas as a PNG, the format desktop icon themes read: 8-bit RGB,
// no interlace, the pixels in stored (uncompressed) deflate blocks, so the
// file is the same byte for byte on every machine and needs no library.
#pragma once

#include "canvas.h"

#include <cstdint>
#include <filesystem>
#include <vector>

namespace assetgen {

std::vector<std::uint8_t> encodePng(const Canvas& canvas);
void writePng(const std::filesystem::path& path, const Canvas& canvas);

// The checksums PNG and zlib use, open to the tests.
std::uint32_t crc32(const std::uint8_t* bytes, std::size_t length, std::uint32_t crc = 0);
std::uint32_t adler32(const std::uint8_t* bytes, std::size_t length);

} // namespace assetgen

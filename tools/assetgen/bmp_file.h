// Saving a canvas as an uncompressed 24-bit BMP, the format our texture
// loader and the window icon read.
#pragma once

#include "canvas.h"

#include <cstdint>
#include <filesystem>
#include <vector>

namespace assetgen {

std::vector<std::uint8_t> encodeBmp(const Canvas& canvas);
void writeBmp(const std::filesystem::path& path, const Canvas& canvas);

} // namespace assetgen

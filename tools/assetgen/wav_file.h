// Saving 16-bit mono PCM as a RIFF WAVE file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace assetgen {

std::vector<std::uint8_t> encodeWav(const std::vector<std::int16_t>& samples, int sampleRate);
void writeWav(const std::filesystem::path& path, const std::vector<std::int16_t>& samples, int sampleRate);

} // namespace assetgen

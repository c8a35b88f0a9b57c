// Saving 16-bit mono samples as an Ogg Vorbis stream, for the looped music.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace assetgen {

void writeOggVorbis(const std::filesystem::path& path, const std::vector<std::int16_t>& samples, int sampleRate);

} // namespace assetgen

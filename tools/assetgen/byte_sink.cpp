// Writing finished files to disk, creating their directories on the way.
#include "byte_sink.h"

#include <fstream>
#include <stdexcept>

namespace assetgen {

void writeFileBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file) {
        throw std::runtime_error("assetgen: cannot write " + path.string());
    }
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!file) {
        throw std::runtime_error("assetgen: write failed for " + path.string());
    }
}

} // namespace assetgen

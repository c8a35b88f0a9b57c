// Reading "FMF_" map files. Every header value is checked before the layer
// data is read, so a damaged or hostile file ends in one FMFError and never in
// a crash or an oversized allocation.
#include <fstream>
#include <limits>
#include <sstream>

#include "fmfloader/fmf_loader.h"

namespace {

[[noreturn]] void reject(const std::string& sourceName, const std::string& detail) {
    throw FMFError("Invalid FMF format (" + sourceName + ": " + detail + ")");
}

uint32_t readU32(const unsigned char* bytes) {
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

// Reads up to count bytes and says how many arrived.
size_t readSome(std::istream& in, unsigned char* out, size_t count) {
    in.read(reinterpret_cast<char*>(out), static_cast<std::streamsize>(count));
    return static_cast<size_t>(in.gcount());
}

}  // namespace

FMFLoader FMFLoader::read(std::istream& in, const std::string& sourceName) {
    unsigned char header[HEADER_BYTES] = {};
    size_t got = readSome(in, header, HEADER_BYTES);
    if (got >= 4 && std::string(reinterpret_cast<const char*>(header), 4) != "FMF_") {
        reject(sourceName, "the file does not start with FMF_");
    }
    if (got < static_cast<size_t>(HEADER_BYTES)) {
        reject(sourceName, "truncated header: " + std::to_string(got) + " of " + std::to_string(HEADER_BYTES) +
                               " bytes");
    }
    uint64_t statedDataSize = readU32(header + 4);
    uint64_t width = readU32(header + 8);
    uint64_t height = readU32(header + 12);
    uint64_t chipWidth = header[16];
    uint64_t chipHeight = header[17];
    uint64_t layerCount = header[18];
    uint64_t bitCount = header[19];

    if (statedDataSize > static_cast<uint64_t>(std::numeric_limits<int32_t>::max())) {
        reject(sourceName, "data size " + std::to_string(statedDataSize) + " is negative as a signed value");
    }
    uint64_t expectedDataSize = 0;
    std::string problem = shapeProblem(width, height, chipWidth, chipHeight, layerCount, bitCount, expectedDataSize);
    if (!problem.empty()) {
        reject(sourceName, problem);
    }
    if (statedDataSize != expectedDataSize) {
        reject(sourceName, "data size " + std::to_string(statedDataSize) + " disagrees with the " +
                               std::to_string(expectedDataSize) + " bytes the map needs");
    }

    // The shape is now known to be sane, so the buffer is bounded by MAX_CELLS.
    std::vector<unsigned char> data(expectedDataSize);
    got = readSome(in, data.data(), data.size());
    if (got < data.size()) {
        reject(sourceName, "truncated layer data: " + std::to_string(got) + " of " + std::to_string(data.size()) +
                               " bytes");
    }
    unsigned char extra = 0;
    if (readSome(in, &extra, 1) != 0) {
        reject(sourceName, "bytes follow the layer data");
    }

    FMFLoader map(static_cast<int>(width), static_cast<int>(height), static_cast<int>(chipWidth),
                  static_cast<int>(chipHeight), static_cast<int>(layerCount), static_cast<int>(bitCount));
    const unsigned char* cursor = data.data();
    for (int layer = 0; layer < map.layerCount_; ++layer) {
        Layer2D* target = map.getLayer(layer);
        for (int y = 0; y < map.height_; ++y) {
            for (int x = 0; x < map.width_; ++x) {
                int chip = cursor[0];
                if (bitCount == 16) {
                    chip |= cursor[1] << 8;
                }
                target->set(x, y, chip);
                cursor += bitCount / 8;
            }
        }
    }
    return map;
}

FMFLoader FMFLoader::fromBytes(const std::vector<uint8_t>& bytes, const std::string& sourceName) {
    std::istringstream in(std::string(bytes.begin(), bytes.end()), std::ios::binary);
    return read(in, sourceName);
}

FMFLoader FMFLoader::load(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    if (!in) {
        throw FMFError("FMFLoader: cannot open map file '" + fileName + "'");
    }
    return read(in, fileName);
}

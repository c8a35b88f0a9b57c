// Writing "FMF_" map files in the layout described in fmf_loader.h, for the
// map tool and for tests that need map files.
#include <fstream>
#include <string>

#include "fmfloader/fmf_loader.h"

namespace {

void appendU32(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<uint8_t>(value >> shift));
    }
}

}  // namespace

std::vector<uint8_t> FMFLoader::toBytes() const {
    if (layerCount_ <= 0 || static_cast<size_t>(layerCount_) != layers_.size()) {
        throw FMFError("FMFLoader: an empty map cannot be written");
    }
    const int bytesPerChip = bitCount_ / 8;
    const int chipLimit = bitCount_ == 16 ? 0xFFFF : 0xFF;
    std::vector<uint8_t> out;
    out.reserve(static_cast<size_t>(HEADER_BYTES) + static_cast<size_t>(dataSize_));
    for (char c : std::string("FMF_")) {
        out.push_back(static_cast<uint8_t>(c));
    }
    appendU32(out, static_cast<uint32_t>(dataSize_));
    appendU32(out, static_cast<uint32_t>(width_));
    appendU32(out, static_cast<uint32_t>(height_));
    out.push_back(static_cast<uint8_t>(chipWidth_));
    out.push_back(static_cast<uint8_t>(chipHeight_));
    out.push_back(static_cast<uint8_t>(layerCount_));
    out.push_back(static_cast<uint8_t>(bitCount_));
    for (int layer = 0; layer < layerCount_; ++layer) {
        const Layer2D* source = getLayer(layer);
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) {
                int chip = source->get(x, y);
                if (chip < 0 || chip > chipLimit) {
                    throw FMFError("FMFLoader: chip " + std::to_string(chip) + " at (" + std::to_string(x) + "," +
                                   std::to_string(y) + ") of layer " + std::to_string(layer) + " does not fit " +
                                   std::to_string(bitCount_) + " bits");
                }
                out.push_back(static_cast<uint8_t>(chip));
                if (bytesPerChip == 2) {
                    out.push_back(static_cast<uint8_t>(chip >> 8));
                }
            }
        }
    }
    return out;
}

void FMFLoader::save(const std::string& fileName) const {
    std::vector<uint8_t> bytes = toBytes();
    std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
    if (!out) {
        throw FMFError("FMFLoader: cannot create map file '" + fileName + "'");
    }
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        throw FMFError("FMFLoader: cannot write map file '" + fileName + "'");
    }
}

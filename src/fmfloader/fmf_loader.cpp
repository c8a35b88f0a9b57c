// The map object itself: construction, layer access, the shape rules shared by
// reader and writer, and the text dump.
#include "fmfloader/fmf_loader.h"

#include <cstdio>
#include <limits>

namespace {

constexpr uint64_t INT32_LIMIT = static_cast<uint64_t>(std::numeric_limits<int32_t>::max());
constexpr uint64_t BYTE_LIMIT = 255;

}  // namespace

FMFLoader::FMFLoader() : identifier_("FMF_") {}

FMFLoader::FMFLoader(int width, int height, int chipWidth, int chipHeight, int layerCount, int bitCount)
    : identifier_("FMF_") {
    if (width < 0 || height < 0 || chipWidth < 0 || chipHeight < 0 || layerCount < 0 || bitCount < 0) {
        throw FMFError("FMFLoader: map sizes must not be negative");
    }
    uint64_t expected = 0;
    std::string problem = shapeProblem(static_cast<uint64_t>(width), static_cast<uint64_t>(height),
                                       static_cast<uint64_t>(chipWidth), static_cast<uint64_t>(chipHeight),
                                       static_cast<uint64_t>(layerCount), static_cast<uint64_t>(bitCount), expected);
    if (!problem.empty()) {
        throw FMFError("FMFLoader: cannot make this map (" + problem + ")");
    }
    dataSize_ = static_cast<int32_t>(expected);
    width_ = width;
    height_ = height;
    chipWidth_ = chipWidth;
    chipHeight_ = chipHeight;
    layerCount_ = layerCount;
    bitCount_ = bitCount;
    layers_.assign(static_cast<size_t>(layerCount), Layer2D(width, height));
}

std::string FMFLoader::shapeProblem(uint64_t width, uint64_t height, uint64_t chipWidth, uint64_t chipHeight,
                                    uint64_t layerCount, uint64_t bitCount, uint64_t& expectedDataSize) {
    expectedDataSize = 0;
    if (width == 0 || height == 0) {
        return "map size " + std::to_string(width) + "x" + std::to_string(height) + " is empty";
    }
    if (width > INT32_LIMIT || height > INT32_LIMIT) {
        return "map size " + std::to_string(width) + "x" + std::to_string(height) + " is negative as a signed value";
    }
    if (chipWidth == 0 || chipHeight == 0) {
        return "chip size " + std::to_string(chipWidth) + "x" + std::to_string(chipHeight) + " is empty";
    }
    if (chipWidth > BYTE_LIMIT || chipHeight > BYTE_LIMIT) {
        return "chip size " + std::to_string(chipWidth) + "x" + std::to_string(chipHeight) + " does not fit a byte";
    }
    if (layerCount == 0 || layerCount > BYTE_LIMIT) {
        return "layer count " + std::to_string(layerCount) + " is not between 1 and 255";
    }
    if (bitCount != 8 && bitCount != 16) {
        return "bit count " + std::to_string(bitCount) + " is neither 8 nor 16";
    }
    // Each factor is below 2^31 and the first product is capped before the
    // layer count (below 2^8) multiplies it, so nothing here can wrap.
    uint64_t cellsPerLayer = width * height;
    uint64_t cells = cellsPerLayer <= MAX_CELLS ? cellsPerLayer * layerCount : cellsPerLayer;
    if (cells > MAX_CELLS) {
        return "map of " + std::to_string(width) + "x" + std::to_string(height) + "x" + std::to_string(layerCount) +
               " chips exceeds the limit of " + std::to_string(MAX_CELLS);
    }
    expectedDataSize = cells * (bitCount / 8);
    return "";
}

Layer2D* FMFLoader::getLayer(int index) {
    if (index < 0 || index >= layerCount_ || static_cast<size_t>(index) >= layers_.size()) {
        return nullptr;
    }
    return &layers_[static_cast<size_t>(index)];
}

const Layer2D* FMFLoader::getLayer(int index) const {
    if (index < 0 || index >= layerCount_ || static_cast<size_t>(index) >= layers_.size()) {
        return nullptr;
    }
    return &layers_[static_cast<size_t>(index)];
}

void FMFLoader::printInfo() const {
    std::printf("identifier='%.*s' datasize=%d (w,h)=(%d,%d) chip(x,y)=(%d,%d) layer=%d bit=%d\n",
                static_cast<int>(identifier_.size()), identifier_.c_str(), dataSize_, width_, height_, chipWidth_,
                chipHeight_, layerCount_, bitCount_);
    for (int i = 0; i < layerCount_; ++i) {
        std::printf("Layer-%d\n", i);
        getLayer(i)->print();
    }
}

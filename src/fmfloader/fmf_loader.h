// A whole tile map as kept in "FMF_" map files: the header values and the
// layers, with the reader and writer of the file.
//
// File layout (all multi-byte values little-endian):
//   offset  size  value
//        0     4  the characters "FMF_"
//        4     4  dataSize: bytes of layer data that follow the header (unsigned)
//        8     4  width in chips (unsigned)
//       12     4  height in chips (unsigned)
//       16     1  chipWidth in pixels
//       17     1  chipHeight in pixels
//       18     1  layerCount
//       19     1  bitCount: 8 or 16 bits per chip number
//       20        layer 0, then layer 1, ...; each row-major (row 0 first, x
//                 from 0 in a row), one byte per chip for 8 bits and two bytes
//                 (little-endian) for 16 bits
// Chip numbers are unsigned in the file and widen to the int cells without
// sign extension, so a 16-bit chip 0xFFFF reads as 65535. Nothing may follow
// the layer data. Maps read from files are untrusted: every size is checked
// before anything is allocated, and a map may hold at most MAX_CELLS chips.
#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

#include "fmfloader/fmf_error.h"
#include "fmfloader/layer2d.h"

class FMFLoader {
public:
    static constexpr int HEADER_BYTES = 20;
    // 16 Mi chips: 64 MiB as int cells, far beyond any real map, small enough
    // that a hostile header cannot make the reader allocate without bound.
    static constexpr uint64_t MAX_CELLS = uint64_t{16} * 1024 * 1024;

    // An empty map: identifier "FMF_", every size 0, no layers.
    FMFLoader();
    // A new map with layerCount zero-filled layers, ready to be filled and
    // saved. Throws FMFError for a shape the file format cannot hold.
    FMFLoader(int width, int height, int chipWidth, int chipHeight, int layerCount, int bitCount);
    virtual ~FMFLoader() = default;

    // Reads a map file; an unreadable or malformed file throws FMFError, and a
    // malformed one's message reads "Invalid FMF format (<what is wrong>)".
    static FMFLoader load(const std::string& fileName);
    // The same reader over bytes in memory; sourceName appears in messages.
    static FMFLoader fromBytes(const std::vector<uint8_t>& bytes, const std::string& sourceName = "memory");
    static FMFLoader read(std::istream& in, const std::string& sourceName);

    // The file image of this map; throws FMFError when a chip number does not
    // fit in bitCount bits (negative or too large).
    std::vector<uint8_t> toBytes() const;
    void save(const std::string& fileName) const;

    // The layer at index, or null outside 0..layerCount-1.
    virtual Layer2D* getLayer(int index);
    virtual const Layer2D* getLayer(int index) const;
    // Prints the header line and then every layer to standard output.
    virtual void printInfo() const;

    const std::string& getIdentifier() const { return identifier_; }
    int getDataSize() const { return dataSize_; }
    int getWidth() const { return width_; }
    int getHeight() const { return height_; }
    int getChipWidth() const { return chipWidth_; }
    int getChipHeight() const { return chipHeight_; }
    int getLayerCount() const { return layerCount_; }
    int getBitCount() const { return bitCount_; }

private:
    // What is wrong with a map shape, or the empty string when the format can
    // hold it; on success expectedDataSize is the layer data's size in bytes.
    static std::string shapeProblem(uint64_t width, uint64_t height, uint64_t chipWidth, uint64_t chipHeight,
                                    uint64_t layerCount, uint64_t bitCount, uint64_t& expectedDataSize);

    std::string identifier_;
    int32_t dataSize_ = 0;
    int32_t width_ = 0;
    int32_t height_ = 0;
    int32_t chipWidth_ = 0;
    int32_t chipHeight_ = 0;
    int32_t layerCount_ = 0;
    int32_t bitCount_ = 0;
    std::vector<Layer2D> layers_;
};

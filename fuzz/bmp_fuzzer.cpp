// Fuzzes the picture decoder: any bytes as a BMP file. A picture is either
// refused with a reason or decoded whole, with exactly four bytes for every
// pixel of a size the file's own header gives.
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "kiln2/bmp_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> bytes(data, data + size);
    KilnImage image;
    std::string error;
    if (!kilnDecodeBmp(bytes, image, error)) {
        FUZZ_EXPECT(!error.empty());
        return 0;
    }
    FUZZ_EXPECT(image.w > 0 && image.h > 0 && image.w <= 8192 && image.h <= 8192);
    FUZZ_EXPECT(image.pitch == image.w * 4);
    FUZZ_EXPECT(image.pixels.size() == static_cast<size_t>(image.pitch) * static_cast<size_t>(image.h));
    // Pixels come from the file: the smallest picture is a header and one row.
    FUZZ_EXPECT(size >= 14 + 12 + 4);
    return 0;
}

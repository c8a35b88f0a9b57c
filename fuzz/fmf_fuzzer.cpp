// Fuzzes the tile-map reader: any bytes as an FMF file. A file is either
// rejected with one FMFError or read whole; a map that was read writes back
// byte for byte the file it came from, and every cell answers inside the grid.
#include <cstdint>
#include <vector>

#include "fmfloader/fmf_loader.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const fuzz::ScratchFile input("map.fmf");
    input.write(data, size);

    FMFLoader map;
    try {
        map = FMFLoader::load(input.path());
    } catch (const FMFError&) {
        return 0;
    }
    FUZZ_EXPECT(size >= static_cast<size_t>(FMFLoader::HEADER_BYTES));
    FUZZ_EXPECT(map.getLayerCount() >= 1 && map.getWidth() >= 1 && map.getHeight() >= 1);
    FUZZ_EXPECT(map.getLayer(map.getLayerCount()) == nullptr && map.getLayer(-1) == nullptr);
    const int chipLimit = map.getBitCount() == 16 ? 0xFFFF : 0xFF;
    for (int index = 0; index < map.getLayerCount(); ++index) {
        const Layer2D* layer = map.getLayer(index);
        FUZZ_EXPECT(layer != nullptr);
        FUZZ_EXPECT(layer->get(map.getWidth(), 0) == -1 && layer->get(0, map.getHeight()) == -1);
        for (int y = 0; y < map.getHeight(); ++y) {
            for (int x = 0; x < map.getWidth(); ++x) {
                const int chip = layer->get(x, y);
                FUZZ_EXPECT(chip >= 0 && chip <= chipLimit);
            }
        }
    }
    const std::vector<uint8_t> written = map.toBytes();
    FUZZ_EXPECT(written == std::vector<uint8_t>(data, data + size));
    return 0;
}

// The committed toolbox map must stay a readable map that the toolbox screen
// can colour: known chip numbers only, and both layers in use.
#include <gtest/gtest.h>

#include <string>

#include "fmfloader/fmf_loader.h"

TEST(ToolboxMapFile, LoadsWithKnownChipsOnBothLayers) {
    FMFLoader map = FMFLoader::load(std::string(KVR_SOURCE_DIR) + "/resource/map/toolbox.fmf");
    EXPECT_EQ(map.getWidth(), 24);
    EXPECT_EQ(map.getHeight(), 8);
    EXPECT_EQ(map.getChipWidth(), 16);
    EXPECT_EQ(map.getChipHeight(), 16);
    ASSERT_EQ(map.getLayerCount(), 2);
    for (int layer = 0; layer < 2; ++layer) {
        int used = 0;
        for (int y = 0; y < map.getHeight(); ++y) {
            for (int x = 0; x < map.getWidth(); ++x) {
                const int chip = map.getLayer(layer)->get(x, y);
                EXPECT_GE(chip, 0);
                EXPECT_LE(chip, 5) << "layer " << layer << " at " << x << "," << y;
                used += chip != 0 ? 1 : 0;
            }
        }
        EXPECT_GT(used, 0) << "layer " << layer << " is empty";
    }
}

// The grid rules of one map layer: bounds, copying and the text dump.
#include <gtest/gtest.h>

#include "fmfloader/layer2d.h"

TEST(Layer2D, CellsStartAtZeroAndOutsideTheGridReadsMinusOne) {
    Layer2D layer(3, 2);
    EXPECT_EQ(layer.get(0, 0), 0);
    EXPECT_EQ(layer.get(2, 1), 0);
    EXPECT_EQ(layer.get(-1, 0), -1);
    EXPECT_EQ(layer.get(3, 0), -1);
    EXPECT_EQ(layer.get(0, 2), -1);
    EXPECT_EQ(layer.get(0, -1), -1);
}

TEST(Layer2D, CellsAreRowMajorAndIndependent) {
    Layer2D layer(3, 2);
    layer.set(2, 0, 5);
    layer.set(0, 1, 9);
    EXPECT_EQ(layer.get(2, 0), 5);
    EXPECT_EQ(layer.get(0, 1), 9);
    EXPECT_EQ(layer.get(1, 0), 0);
    EXPECT_EQ(layer.get(2, 1), 0);
}

TEST(Layer2D, SetOutsideTheGridChangesNothing) {
    Layer2D layer(3, 2);
    layer.fill(4);
    layer.set(-1, 0, 1);
    layer.set(3, 0, 1);
    layer.set(0, 2, 1);
    layer.set(0, -1, 1);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(layer.get(x, y), 4) << x << "," << y;
        }
    }
}

TEST(Layer2D, CopyFromTakesOnlyALayerOfTheSameSize) {
    Layer2D target(3, 2);
    target.fill(1);
    Layer2D wider(4, 2);
    wider.fill(8);
    Layer2D transposed(2, 3);
    transposed.fill(8);
    target.copyFrom(wider);
    target.copyFrom(transposed);
    EXPECT_EQ(target.get(0, 0), 1);
    EXPECT_EQ(target.get(2, 1), 1);

    Layer2D same(3, 2);
    same.set(1, 1, 6);
    target.copyFrom(same);
    EXPECT_EQ(target.get(1, 1), 6);
    EXPECT_EQ(target.get(0, 0), 0);
    same.set(1, 1, 2);
    EXPECT_EQ(target.get(1, 1), 6) << "the copy must not share cells with its source";
}

TEST(Layer2D, PrintWritesRowsWithoutSeparators) {
    Layer2D layer(3, 2);
    layer.fill(7);
    testing::internal::CaptureStdout();
    layer.print();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "777\n777\n");

    layer.set(0, 1, -12);
    layer.set(2, 0, 10);
    testing::internal::CaptureStdout();
    layer.print();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "7710\n-1277\n");
}

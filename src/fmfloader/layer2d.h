// One layer of a tile map: a width x height grid of chip numbers, row-major.
#pragma once

#include <cstdint>
#include <vector>

class Layer2D {
public:
    // A grid of the given size with every cell 0; negative sizes count as 0.
    Layer2D(int width, int height);
    virtual ~Layer2D() = default;

    // The chip at (x, y), or -1 outside the grid.
    virtual int get(int x, int y) const;
    // Stores a chip; a position outside the grid is ignored.
    virtual void set(int x, int y, int value);
    virtual void fill(int value);
    // Copies every cell of a layer of the same size; a layer of another size is ignored.
    virtual void copyFrom(const Layer2D& other);
    // Writes the grid to standard output, one row per line, cells with no separator.
    virtual void print() const;

    int getWidth() const { return width_; }
    int getHeight() const { return height_; }

private:
    bool contains(int x, int y) const { return x >= 0 && x < width_ && y >= 0 && y < height_; }

    std::vector<int32_t> cells_;
    int width_;
    int height_;
};

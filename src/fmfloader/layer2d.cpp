// The grid operations of one tile-map layer.
#include "fmfloader/layer2d.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>

Layer2D::Layer2D(int width, int height) : width_(std::max(width, 0)), height_(std::max(height, 0)) {
    cells_.assign(static_cast<size_t>(width_) * static_cast<size_t>(height_), 0);
}

int Layer2D::get(int x, int y) const {
    if (!contains(x, y)) {
        return -1;
    }
    return cells_[static_cast<size_t>(width_) * static_cast<size_t>(y) + static_cast<size_t>(x)];
}

void Layer2D::set(int x, int y, int value) {
    if (!contains(x, y)) {
        return;
    }
    cells_[static_cast<size_t>(width_) * static_cast<size_t>(y) + static_cast<size_t>(x)] = value;
}

void Layer2D::fill(int value) { std::fill(cells_.begin(), cells_.end(), value); }

void Layer2D::copyFrom(const Layer2D& other) {
    if (other.width_ != width_ || other.height_ != height_) {
        return;
    }
    cells_ = other.cells_;
}

void Layer2D::print() const {
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            std::printf("%d", get(x, y));
        }
        std::printf("\n");
    }
}

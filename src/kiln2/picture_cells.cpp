// Marking the drawn parts of the picture.
#include "kiln2/picture_cells.h"

#include <algorithm>
#include <cmath>

void KilnPictureCells::clear() {
    for (Row& r : rows_) r.reset();
}

void KilnPictureCells::markAll() {
    for (Row& r : rows_) r.set();
}

void KilnPictureCells::mark(float x0, float y0, float x1, float y1) {
    // NaN fails every comparison below and marks nothing; so does an empty rectangle.
    if (!(x0 < x1) || !(y0 < y1)) return;
    const float size = static_cast<float>(CELL_PIXELS);
    const float firstColumn = std::floor(std::max(x0, 0.0f) / size);
    const float lastColumn = std::floor(std::min(x1, static_cast<float>(COLUMNS * CELL_PIXELS) - 0.5f) / size);
    const float firstRow = std::floor(std::max(y0, 0.0f) / size);
    const float lastRow = std::floor(std::min(y1, static_cast<float>(ROWS * CELL_PIXELS) - 0.5f) / size);
    if (firstColumn > lastColumn || firstRow > lastRow) return;
    Row span;
    for (int c = static_cast<int>(firstColumn); c <= static_cast<int>(lastColumn); ++c) span.set(static_cast<size_t>(c));
    for (int r = static_cast<int>(firstRow); r <= static_cast<int>(lastRow); ++r) rows_[static_cast<size_t>(r)] |= span;
}

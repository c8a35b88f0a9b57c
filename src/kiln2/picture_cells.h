// Which parts of the picture were drawn on since it was last cleared, in
// cells of 8x8 picture pixels. Everything outside them still holds the
// clear colour, black, so showing the picture in a large window needs only
// these parts scaled: a software renderer pays for every pixel it scales,
// and a busy frame of a run leaves three quarters of the picture black.
#pragma once

#include <array>
#include <bitset>

class KilnPictureCells {
public:
    static constexpr int CELL_PIXELS = 8;
    static constexpr int COLUMNS = 80;  // 640 / 8
    static constexpr int ROWS = 60;     // 480 / 8
    using Row = std::bitset<COLUMNS>;

    void clear();
    void markAll();
    // Marks every cell that the rectangle [x0, x1) x [y0, y1), in picture
    // pixels, touches; the parts outside the picture are left out.
    void mark(float x0, float y0, float x1, float y1);

    const Row& row(int index) const { return rows_[static_cast<size_t>(index)]; }
    bool marked(int column, int row) const { return rows_[static_cast<size_t>(row)].test(static_cast<size_t>(column)); }

private:
    std::array<Row, ROWS> rows_{};
};

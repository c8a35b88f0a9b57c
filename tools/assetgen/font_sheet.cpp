// The font sheet: 16 cells per row in glyph order, white ink on key green;
// cells after the last glyph stay green.
#include "art.h"
#include "font_glyphs.h"

#include <stdexcept>
#include <string>

namespace assetgen {

Canvas makeFontSheet() {
    Canvas sheet(kCellSize * kCellsPerRow, kCellSize * 8, kKeyGreen);
    const Rgb ink{255, 255, 255};
    std::string_view order = glyphOrder();
    for (std::size_t index = 0; index < order.size(); ++index) {
        if (findGlyph(order[index]) == nullptr) {
            throw std::runtime_error(std::string("font has no pixel art for '") + order[index] + "'");
        }
        int cellX = static_cast<int>(index % kCellsPerRow) * kCellSize;
        int cellY = static_cast<int>(index / kCellsPerRow) * kCellSize;
        sheet.text(std::string(1, order[index]), cellX, cellY, 1, ink);
    }
    return sheet;
}

} // namespace assetgen

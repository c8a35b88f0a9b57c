// 24-bit BMP encoder: BITMAPFILEHEADER + BITMAPINFOHEADER, bottom-up rows in
// blue-green-red order, each row padded to four bytes with zeros.
#include "bmp_file.h"

#include "byte_sink.h"

namespace assetgen {

std::vector<std::uint8_t> encodeBmp(const Canvas& canvas) {
    const auto width = static_cast<std::uint32_t>(canvas.width());
    const auto height = static_cast<std::uint32_t>(canvas.height());
    const std::uint32_t rowBytes = (width * 3 + 3) / 4 * 4;
    const std::uint32_t imageBytes = rowBytes * height;
    const std::uint32_t headerBytes = 14 + 40;

    ByteSink out;
    out.text("BM");
    out.u32(headerBytes + imageBytes);
    out.u32(0);  // reserved
    out.u32(headerBytes);
    out.u32(40);  // info header size
    out.u32(width);
    out.u32(height);  // positive: rows stored bottom-up
    out.u16(1);       // planes
    out.u16(24);      // bits per pixel
    out.u32(0);       // no compression
    out.u32(imageBytes);
    out.u32(2835);  // 72 dpi in pixels per metre
    out.u32(2835);
    out.u32(0);  // palette colours
    out.u32(0);  // important colours

    for (int y = canvas.height() - 1; y >= 0; --y) {
        for (int x = 0; x < canvas.width(); ++x) {
            Rgb c = canvas.get(x, y);
            out.u8(c.b);
            out.u8(c.g);
            out.u8(c.r);
        }
        for (std::uint32_t pad = width * 3; pad < rowBytes; ++pad) {
            out.u8(0);
        }
    }
    return out.take();
}

void writeBmp(const std::filesystem::path& path, const Canvas& canvas) {
    writeFileBytes(path, encodeBmp(canvas));
}

} // namespace assetgen

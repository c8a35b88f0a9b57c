// Cutting and tinting the button pictures. The "menu" texture holds the large
// frames side by side at the top left (normal, hovered, selected), the large
// labels stacked below them, and the medium and small buttons in two columns
// further right.
#include "clickable/image_button.h"

#include <string>

#include "kiln2/kiln2.h"

namespace {

constexpr int WIDTHS[ImageButton::TYPE_COUNT] = {80, 80, 80, 80, 80, 80, 64, 64, 32, 32, 32, 32};
constexpr int HEIGHTS[ImageButton::TYPE_COUNT] = {32, 32, 32, 32, 32, 32, 16, 16, 16, 16, 16, 16};

// Texture columns of the plain buttons; each row below the first is 16 px down.
constexpr int MEDIUM_COLUMN_U = 242;
constexpr int SMALL_COLUMN_U = 306;
constexpr int PLAIN_ROW_HEIGHT = 16;

// A piece that is not lit (unselected label, idle plain button) is dimmed.
constexpr uint8_t LIT = 255;
constexpr uint8_t DIM_LABEL = 64;
constexpr uint8_t DIM_PLAIN = 128;
constexpr uint8_t IDLE_PLAIN_ALPHA = 128;

bool isFramed(int type) { return type <= ImageButton::LARGE_5; }

}  // namespace

ImageButton::ImageButton(int type) : type_(type) {
    if (type < 0 || type >= TYPE_COUNT) {
        throw KilnError("ImageButton: unknown button type " + std::to_string(type));
    }
}

void ImageButton::setPosition(std::shared_ptr<Vec3> position) { position_ = std::move(position); }

int ImageButton::getWidth() const { return WIDTHS[type_]; }

int ImageButton::getHeight() const { return HEIGHTS[type_]; }

void ImageButton::draw(bool selected, bool hover) {
    if (!position_) {
        return;
    }
    const float x = static_cast<float>(static_cast<int>(position_->x));
    const float y = static_cast<float>(static_cast<int>(position_->y));
    const int w = getWidth();
    const int h = getHeight();
    if (isFramed(type_)) {
        const int frameU = selected ? 2 * w : (hover ? w : 0);
        Kiln_drawTexture("menu", x, y, frameU, 0, w, h, 1.0f, 1.0f, 0.0f, LIT, LIT, LIT, LIT);
        const uint8_t shade = selected ? LIT : DIM_LABEL;
        Kiln_drawTexture("menu", x, y, 0, h * (type_ + 1), w, h, 1.0f, 1.0f, 0.0f, shade, shade, shade, LIT);
        return;
    }
    const bool medium = type_ <= MEDIUM_1;
    const int u = medium ? MEDIUM_COLUMN_U : SMALL_COLUMN_U;
    const int v = PLAIN_ROW_HEIGHT * (type_ - (medium ? MEDIUM_0 : SMALL_0));
    const uint8_t shade = selected ? LIT : DIM_PLAIN;
    const uint8_t alpha = (selected || hover) ? LIT : IDLE_PLAIN_ALPHA;
    Kiln_drawTexture("menu", x, y, u, v, w, h, 1.0f, 1.0f, 0.0f, shade, shade, shade, alpha);
}

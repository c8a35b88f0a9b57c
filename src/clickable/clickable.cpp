// Hit testing and drawing of one menu widget.
#include "clickable/clickable.h"

#include "kiln2/kiln2.h"

namespace {

// Text labels light up orange under the mouse and sit in dark grey otherwise.
constexpr uint8_t HOVER_R = 255, HOVER_G = 128, HOVER_B = 32;
constexpr uint8_t IDLE_GREY = 64;

}  // namespace

Clickable::Clickable(std::string name, std::shared_ptr<Vec3> position, std::shared_ptr<Vec3> size, float textScale,
                     std::unique_ptr<ImageButton> image)
    : position_(std::move(position)),
      size_(std::move(size)),
      name_(std::move(name)),
      textScale_(textScale),
      image_(std::move(image)) {
    if (image_) {
        image_->setPosition(position_);
    }
}

bool Clickable::isMouseOver() {
    const long double mouseX = static_cast<float>(Kiln_getMouseX());
    const long double mouseY = static_cast<float>(Kiln_getMouseY());
    const long double left = position_->x;
    const long double top = position_->y;
    return left <= mouseX && mouseX <= left + size_->x && top <= mouseY && mouseY <= top + size_->y;
}

void Clickable::draw() {
    if (image_) {
        image_->draw(selected_, isMouseOver());
        return;
    }
    const bool hover = isMouseOver();
    Kiln_drawText(name_, static_cast<int>(position_->x), static_cast<int>(position_->y), textScale_,
                  hover ? HOVER_R : IDLE_GREY, hover ? HOVER_G : IDLE_GREY, hover ? HOVER_B : IDLE_GREY, 255);
}

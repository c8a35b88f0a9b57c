// The menu pool: free-slot storage, hit testing in storage order, and the
// click rules of the selection.
#include "clickable/clickable_pool.h"

#include "kiln2/kiln2.h"

namespace {

constexpr float TEXT_SCALE = 2.0f;

}  // namespace

bool ClickablePool::store(std::unique_ptr<Clickable> widget) {
    for (auto& slot : items_) {
        if (!slot) {
            slot = std::move(widget);
            return true;
        }
    }
    return false;
}

void ClickablePool::addText(const std::string& name, std::shared_ptr<Vec3> position, std::shared_ptr<Vec3> size) {
    store(std::make_unique<Clickable>(name, std::move(position), std::move(size), TEXT_SCALE, nullptr));
}

void ClickablePool::addImageButton(const std::string& name, std::shared_ptr<Vec3> position, int type) {
    auto image = std::make_unique<ImageButton>(type);
    auto size = std::make_shared<Vec3>(static_cast<float>(image->getWidth()), static_cast<float>(image->getHeight()),
                                       0.0f);
    if (!store(std::make_unique<Clickable>(name, std::move(position), std::move(size), 0.0f, std::move(image)))) {
        return;
    }
    if (selected_.empty() && !toggle_) {
        selected_ = name;
    }
}

std::string ClickablePool::getMouseOver() {
    for (auto& widget : items_) {
        if (widget && widget->isMouseOver()) {
            return widget->getName();
        }
    }
    return "";
}

std::string ClickablePool::update() {
    if (Kiln_getMouseButtonsPushed() == 0) {
        return "";
    }
    std::string hit = getMouseOver();
    if (hit.empty()) {
        return hit;
    }
    if (hit == selected_ && toggle_) {
        selected_.clear();
    } else {
        selected_ = hit;
    }
    return hit;
}

std::string ClickablePool::getSelected() { return selected_; }

void ClickablePool::draw() {
    for (auto& widget : items_) {
        if (widget) {
            widget->setSelected(widget->getName() == selected_);
            widget->draw();
        }
    }
}

int ClickablePool::count() const {
    int used = 0;
    for (const auto& widget : items_) {
        used += widget ? 1 : 0;
    }
    return used;
}

// Clickable: one named rectangle of a mouse menu. It is drawn as a text label
// or, when it owns an ImageButton, as that picture; either way it shares its
// position vector with the picture.
#pragma once

#include <memory>
#include <string>

#include "clickable/image_button.h"
#include "vector/vec3.h"

class Clickable {
public:
    // Takes the picture (null for a text widget) and hands it the position.
    Clickable(std::string name, std::shared_ptr<Vec3> position, std::shared_ptr<Vec3> size, float textScale,
              std::unique_ptr<ImageButton> image);
    virtual ~Clickable() = default;

    // Mouse inside the rectangle; all four edges count as inside.
    virtual bool isMouseOver();
    virtual void draw();

    const std::string& getName() const { return name_; }
    bool isSelected() const { return selected_; }
    void setSelected(bool selected) { selected_ = selected; }
    const std::shared_ptr<Vec3>& getPosition() const { return position_; }
    const std::shared_ptr<Vec3>& getSize() const { return size_; }
    const ImageButton* getImage() const { return image_.get(); }

private:
    std::shared_ptr<Vec3> position_;
    std::shared_ptr<Vec3> size_;
    std::string name_;
    float textScale_;
    bool selected_ = false;
    std::unique_ptr<ImageButton> image_;
};

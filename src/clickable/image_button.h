// ImageButton: a button picture cut from the "menu" texture. Its type fixes
// its size, its style (a framed large button with a separate label, or a
// plain one-piece button) and where its pieces sit in the texture.
#pragma once

#include <memory>

#include "vector/vec3.h"

class ImageButton {
public:
    enum TYPE {
        LARGE_0 = 0,
        LARGE_1 = 1,
        LARGE_2 = 2,
        LARGE_3 = 3,
        LARGE_4 = 4,
        LARGE_5 = 5,
        MEDIUM_0 = 6,
        MEDIUM_1 = 7,
        SMALL_0 = 8,
        SMALL_1 = 9,
        SMALL_2 = 10,
        SMALL_3 = 11,
    };
    static constexpr int TYPE_COUNT = 12;

    // Throws KilnError for a type outside LARGE_0..SMALL_3.
    explicit ImageButton(int type);
    virtual ~ImageButton() = default;

    // Shares the owner's position vector; the picture follows it.
    virtual void setPosition(std::shared_ptr<Vec3> position);
    virtual int getWidth() const;
    virtual int getHeight() const;
    // Draws at the shared position; nothing is drawn before a position is set.
    virtual void draw(bool selected, bool hover);

    int getType() const { return type_; }

private:
    int type_;
    std::shared_ptr<Vec3> position_;
};

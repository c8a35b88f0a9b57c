// The mouse as a menu follows it: a highlight follows the pointer only when
// it moves or clicks, so a pointer left resting never overrules the keys.
#pragma once

#include "kiln2/kiln2.h"

class MenuPointer {
public:
    // Where the pointer rests now does not count as a move.
    MenuPointer() : x_(Kiln_getMouseX()), y_(Kiln_getMouseY()) {}

    // Takes this frame's mouse; true when it moved since the last frame or
    // the left button was pushed.
    bool update() {
        const int x = Kiln_getMouseX();
        const int y = Kiln_getMouseY();
        const bool moved = x != x_ || y != y_;
        x_ = x;
        y_ = y;
        clicked_ = (Kiln_getMouseButtonsPushed() & 1u) != 0;
        return moved || clicked_;
    }
    int x() const { return x_; }
    int y() const { return y_; }
    bool clicked() const { return clicked_; }

private:
    int x_;
    int y_;
    bool clicked_ = false;
};

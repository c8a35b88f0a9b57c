// The picture's rectangle in the window and the way back from a window point.
#include "kiln2/picture_fit.h"

#include <algorithm>
#include <cstdint>

KilnPictureRect kilnFitPicture(int drawableWidth, int drawableHeight, KilnPictureScaling scaling) {
    KilnPictureRect rect;
    if (drawableWidth <= 0 || drawableHeight <= 0) return rect;
    const int wholeMultiple = std::min(drawableWidth / KILN_PICTURE_WIDTH, drawableHeight / KILN_PICTURE_HEIGHT);
    if (scaling == PICTURE_INTEGER && wholeMultiple >= 1) {
        rect.width = KILN_PICTURE_WIDTH * wholeMultiple;
        rect.height = KILN_PICTURE_HEIGHT * wholeMultiple;
    } else if (static_cast<int64_t>(drawableWidth) * KILN_PICTURE_HEIGHT <=
               static_cast<int64_t>(drawableHeight) * KILN_PICTURE_WIDTH) {
        // Narrower than 4:3: the width is the limit, bars above and below.
        rect.width = drawableWidth;
        rect.height = static_cast<int>(static_cast<int64_t>(drawableWidth) * KILN_PICTURE_HEIGHT / KILN_PICTURE_WIDTH);
    } else {
        rect.height = drawableHeight;
        rect.width = static_cast<int>(static_cast<int64_t>(drawableHeight) * KILN_PICTURE_WIDTH / KILN_PICTURE_HEIGHT);
    }
    rect.x = (drawableWidth - rect.width) / 2;
    rect.y = (drawableHeight - rect.height) / 2;
    return rect;
}

namespace {

// Rounds towards minus infinity, so the pixel just left of the picture is -1, not 0.
int64_t floorDivide(int64_t numerator, int64_t denominator) {
    const int64_t quotient = numerator / denominator;
    return quotient * denominator > numerator ? quotient - 1 : quotient;
}

}  // namespace

bool kilnPicturePoint(const KilnPictureRect& picture, int drawableX, int drawableY, int& pictureX, int& pictureY) {
    if (picture.width <= 0 || picture.height <= 0) {
        pictureX = -1;
        pictureY = -1;
        return false;
    }
    const int64_t dx = static_cast<int64_t>(drawableX) - picture.x;
    const int64_t dy = static_cast<int64_t>(drawableY) - picture.y;
    pictureX = static_cast<int>(floorDivide(dx * KILN_PICTURE_WIDTH, picture.width));
    pictureY = static_cast<int>(floorDivide(dy * KILN_PICTURE_HEIGHT, picture.height));
    return dx >= 0 && dy >= 0 && dx < picture.width && dy < picture.height;
}

// Where the 640x480 picture sits in a window of any size, and which picture
// point a point of the window shows: the arithmetic the real window draws
// with and the mouse is read with, kept apart so it can be checked alone.
#pragma once

#include "kiln2/kiln2.h"

// A rectangle of drawable pixels, measured from the window's top-left corner.
struct KilnPictureRect {
    int x = 0, y = 0, width = 0, height = 0;
};

// The picture's place in a drawable area: centred, its 4:3 shape kept, as
// large as fits (smooth), or the largest whole multiple that fits (integer;
// a window smaller than the picture gets it scaled down smoothly instead).
KilnPictureRect kilnFitPicture(int drawableWidth, int drawableHeight, KilnPictureScaling scaling);

// The picture point under a drawable pixel, carried on past the picture's
// edges (so a point on a black bar lies outside 0..639 x 0..479); false when
// it is not on the picture.
bool kilnPicturePoint(const KilnPictureRect& picture, int drawableX, int drawableY, int& pictureX, int& pictureY);

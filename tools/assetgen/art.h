// The pictures of the game, each drawn by code into a canvas.
#pragma once

#include "canvas.h"

namespace assetgen {

Canvas makeFontSheet();   // 128x64, white glyphs on key green
Canvas makeLogo();        // 320x320 studio and title logo
Canvas makeMenuSheet();   // 512x256 pause panel, cursor and menu button cuts
Canvas makeSpriteSheet(); // 64x64 craft, item, enemy, spark
Canvas makeWindowIcon();  // 32x32 window icon
// The window icon's art at size x size for the desktop's icon theme.
Canvas makeDesktopIcon(int size);

} // namespace assetgen

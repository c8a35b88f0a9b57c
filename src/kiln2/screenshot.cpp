// F12: the picture as "kilnshot.bmp"; the backend reads it and writes the file.
// The picture is the 640x480 the scenes drew, whatever the window's size.
#include "kiln2/kiln_state.h"

void Kiln_screenshot() {
    kilnBackend().video->saveScreenshot("kilnshot.bmp", KILN_PICTURE_WIDTH, KILN_PICTURE_HEIGHT);
}

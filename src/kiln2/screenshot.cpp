// F12: the window's picture as "kilnshot.bmp"; the backend reads it and writes the file.
#include "kiln2/kiln_state.h"

void Kiln_screenshot() {
    const KilnState& state = kilnState();
    kilnBackend().video->saveScreenshot("kilnshot.bmp", state.screenWidth, state.screenHeight);
}

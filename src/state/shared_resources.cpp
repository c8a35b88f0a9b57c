// The textures every scene draws with, loaded once after the framework starts.
#include "kiln2/kiln2.h"
#include "state/scene_machine.h"

void loadSharedResources() {
    // The font is keyed on white, the menu sheet on pure green.
    Kiln_loadTexture("font", "resource/font/font.bmp", {255, 255, 255});
    Kiln_loadTexture("menu", "resource/image/menu.bmp", {0, 255, 0});
    Kiln_log("resource loaded.\n");
}

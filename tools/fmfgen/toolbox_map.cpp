// Lays out the toolbox course: a rocky ceiling and floor with a pond, three
// wall columns with openings, and a few items and enemies in the gaps.
#include "toolbox_map.h"

namespace {

constexpr int MAP_WIDTH = 24;
constexpr int MAP_HEIGHT = 8;
constexpr int CHIP_SIZE = 16;

void wallColumn(Layer2D& ground, int x, int gapTop, int gapBottom) {
    for (int y = 1; y < MAP_HEIGHT - 1; ++y) {
        if (y < gapTop || y > gapBottom) {
            ground.set(x, y, CHIP_ROCK);
        }
    }
}

}  // namespace

FMFLoader buildToolboxMap() {
    FMFLoader map(MAP_WIDTH, MAP_HEIGHT, CHIP_SIZE, CHIP_SIZE, 2, 8);
    Layer2D& ground = *map.getLayer(0);
    for (int x = 0; x < MAP_WIDTH; ++x) {
        ground.set(x, 0, CHIP_ROCK);
        ground.set(x, MAP_HEIGHT - 1, (x >= 9 && x <= 13) ? CHIP_WATER : CHIP_GRASS);
    }
    wallColumn(ground, 5, 2, 4);
    wallColumn(ground, 11, 3, 5);
    wallColumn(ground, 18, 1, 3);

    Layer2D& objects = *map.getLayer(1);
    objects.set(5, 3, CHIP_ITEM);
    objects.set(11, 4, CHIP_ITEM);
    objects.set(18, 2, CHIP_ITEM);
    objects.set(8, 5, CHIP_ENEMY);
    objects.set(15, 2, CHIP_ENEMY);
    objects.set(21, 5, CHIP_ENEMY);
    return map;
}

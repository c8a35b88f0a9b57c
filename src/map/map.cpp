// Home of Map's virtual table.
#include "map/map.h"

Map::~Map() = default;

// Movement interpolation: one glide step for every soldier and vehicle of a world that has steps left.
#pragma once

#include "world/world_model.h"

// Every gliding soldier, then every gliding vehicle, one step along its heading.
void glideUnits(World& world);

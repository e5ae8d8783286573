// TODO
#include "world/movement.h"

void movementTick() {}

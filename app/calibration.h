// The per-map calibration read from Kelo.ini in the program folder.
#pragma once

#include "world/world_model.h"

// Reads the seven keys of the section named by the world's map name into its calibration, in order; false at the
// first missing key, keeping the values read before it, and false while no map name is set.
bool loadCalibration(World& world);

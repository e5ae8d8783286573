// The per-map calibration read from Kelo.ini beside the program.
#pragma once

// Reads the seven keys of the section named by the map name, in order; false at the first missing key,
// keeping the values read before it. Only called while a map name is set.
bool loadCalibration();

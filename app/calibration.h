// The per-map calibration read from Kelo.ini in the program folder.
#pragma once

#include <optional>
#include <string>

#include "view/file_version.h"
#include "world/world_model.h"

// Reads the seven keys of the section named by the world's map name into its calibration, in order; false at the
// first missing key, keeping the values read before it, and false while no map name is set.
bool loadCalibration(World& world);

// The last reading of the calibration: from which version of which Kelo.ini, for which map name, and what it left.
// Reading the same file for the same map again, over what it left, leaves the same again.
struct CalibrationRead {
    std::string path;
    FileVersion settings;
    std::string mapName;
    Calibration result;
};

// Reads the calibration as loadCalibration does, unless `last` shows that it would change nothing: one look at the
// file instead of a look per key, for the checks of a paused viewer ten times a second.
void refreshCalibration(World& world, std::optional<CalibrationRead>& last);

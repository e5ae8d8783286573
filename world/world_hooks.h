// What the interpreter needs from the program around it when a map line comes: the map's calibration and its
// picture. Every caller passes the hooks it wants called; WorldHooks{} calls none, so that a map line finds no
// settings and no picture (the log index, --check, the benchmarks that only read).
#pragma once

#include <memory>
#include <string_view>

#include "world/world_model.h"

struct WorldHooks {
    // Reads the calibration of world.mapName into world.calibration; false when a key is missing.
    bool (*loadCalibration)(World& world) = nullptr;
    // The picture of the map with this base name (already checked to name a file of its own); null when none.
    std::shared_ptr<const MapPicture> (*loadMapPicture)(std::string_view baseName) = nullptr;
};

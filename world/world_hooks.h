// What the interpreter needs from the program around it when a map line comes: the map's calibration and its
// picture. The app installs both at start-up; until then a map line finds no settings and no picture. The hooks
// belong to the thread that installs them (the app's): the log index's thread steps lines with none.
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

extern thread_local WorldHooks worldHooks;

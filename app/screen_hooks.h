// The world's hooks in the program: a map line of the world on screen, and of every world that a seek or the trail
// builds for it, reads its calibration from Kelo.ini and its picture from Maps in the program folder.
#pragma once

#include <memory>
#include <string_view>

#include "app/calibration.h"
#include "world/world_hooks.h"

// The picture of the map with this base name in the program folder's Maps; null when there is none.
std::shared_ptr<const MapPicture> mapPictureInFolder(std::string_view baseName);

// What playback and seeking pass to every line they apply.
inline constexpr WorldHooks screenHooks{loadCalibration, mapPictureInFolder};

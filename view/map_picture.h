// The decoded map picture that a world keeps between map lines, shared read-only by copies of the world.
#pragma once

#include <memory>
#include <string>

#include "view/gdiplus_wrappers.h"
#include "world/world_model.h"

struct MapPicture {
    Image image;
};

// The picture at the path; null when the file cannot be read as a picture.
std::shared_ptr<const MapPicture> loadMapPicture(const std::string& path);

// The decoded map picture that a world keeps between map lines, shared read-only by copies of the world, and its
// drawing onto the map area.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "view/gdiplus_wrappers.h"
#include "world/world_model.h"

struct MapPicture {
    Image image;
    // The picture stretched onto a clear bitmap of the frame's size down to the map area, made at its first drawing.
    mutable std::optional<Image> stretched;
};

// Draws the picture stretched onto the map area (0, 25, 400 x 400) of the surface. It is stretched once per picture
// onto a clear bitmap and laid 1:1 from then on, which gives the pixels that stretching it onto the frame every time
// gives (translucent edges included), at a fraction of the cost. On a scaled surface the picture is drawn from itself,
// sharp at the scaled size.
void drawMapPicture(Surface& surface, const MapPicture& picture);

// The picture at the path; null when the file cannot be read as a picture.
std::shared_ptr<const MapPicture> loadMapPicture(const std::string& path);

// The camera's overview: the whole map picture small in a corner of the map area, the part on screen outlined, shown
// while the camera is zoomed in; and the way between a point of the overview and the point of the map it shows.
#pragma once

#include "view/camera_view.h"
#include "view/gdiplus_wrappers.h"
#include "world/world_model.h"

// Whether the frame shows the overview with this view.
bool overviewShown(const CameraView& camera);
// Whether the frame point lies in the overview's box.
bool insideOverview(PlanePoint frame);
// The point of the plane that a frame point of the overview shows.
PlanePoint overviewToPlane(PlanePoint frame);
// The overview with the world's picture (black without one) and the visible part outlined.
void drawOverview(Surface& surface, const World& world, const CameraView& camera);

// The world-to-screen transform, its inverse and the icon rotation, from the calibration of the current map.
#pragma once

#include "world/world_model.h"

struct ScreenPoint {
    float x;
    float y;
};

// A map position to a point of the back buffer; not finite while a scale is 0.
ScreenPoint worldToScreen(const Calibration& c, float x, float y);
bool isFinite(ScreenPoint point);
// The clockwise rotation in degrees at which a vehicle icon with this heading is drawn.
float iconRotation(const Calibration& c, float heading);

struct MapPoint {
    double x;
    double y;
    bool operator==(const MapPoint&) const = default;
};

// The map position that worldToScreen takes to the point (before its rounding); not finite while a scale is 0.
MapPoint screenToWorld(const Calibration& c, double screenX, double screenY);

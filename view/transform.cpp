// The world-to-screen transform and the icon rotation, from the calibration the caller gives.
// Both axes are worked out in double precision; only the results are rounded to 32-bit floats.
#include "view/transform.h"

#include <cmath>

#include "view/frame_layout.h"

ScreenPoint worldToScreen(const Calibration& c, float x, float y)
{
    double mapX = c.invertX ? -x : x;
    double mapY = c.invertY ? -y : y;
    // The x axis adds half the map's width in map units after scaling, the y axis half its height before it.
    // The axes are not symmetric on purpose: the offsets in every Kelo.ini are tuned to exactly this arithmetic.
    // A map's full width and height span the map area's; its corner is added to the rounded results.
    float screenX = static_cast<float>(mapX * mapArea.width / c.scaleX + c.scaleX * 0.5 - c.offsetX);
    float screenY = static_cast<float>((mapY + c.scaleY * 0.5) * mapArea.height / c.scaleY - c.offsetY);
    screenX = static_cast<float>(static_cast<double>(screenX) + mapArea.left);
    screenY = static_cast<float>(static_cast<double>(screenY) + mapArea.top);
    return {screenX, screenY};
}

bool isFinite(ScreenPoint point)
{
    return std::isfinite(point.x) && std::isfinite(point.y);
}

float iconRotation(const Calibration& c, float heading)
{
    float angle = heading + c.rotationOffset;
    // One turn is added once only: a heading of -400 gives 400, and 360 or more stays as it is.
    if (angle < 0)
        angle += 360;
    return 360 - angle;
}

MapPoint screenToWorld(const Calibration& c, double screenX, double screenY)
{
    const double mapX = (screenX - mapArea.left - c.scaleX * 0.5 + c.offsetX) * c.scaleX / mapArea.width;
    const double mapY = (screenY - mapArea.top + c.offsetY) * c.scaleY / mapArea.height - c.scaleY * 0.5;
    return {c.invertX ? -mapX : mapX, c.invertY ? -mapY : mapY};
}

// The overview box: the map's square shrunk into it, so a point of the box and a point of the plane are one scaling
// apart. Drawn from the decoded picture itself, which costs what the box's pixels cost.
#include "view/overview.h"

#include <algorithm>

#include "view/frame_layout.h"
#include "view/map_picture.h"

namespace {

constexpr ARGB black = 0xFF000000;
constexpr ARGB borderGrey = 0xFF808080;
constexpr ARGB outlineWhite = 0xFFFFFFFF;

// The overview's share of the map area, across and down.
constexpr double shrinkX = static_cast<double>(overviewSide) / mapArea.width;
constexpr double shrinkY = static_cast<double>(overviewSide) / mapArea.height;

// Four lines along the rectangle's edges.
void outline(Surface& surface, const Pen& pen, float left, float top, float right, float bottom)
{
    surface.drawLine(pen, left, top, right, top);
    surface.drawLine(pen, right, top, right, bottom);
    surface.drawLine(pen, right, bottom, left, bottom);
    surface.drawLine(pen, left, bottom, left, top);
}

}  // namespace

bool overviewShown(const CameraView& camera)
{
    return camera.zoom > 1;
}

bool insideOverview(PlanePoint frame)
{
    return frame.x >= overviewBox.left && frame.x < overviewBox.right() && frame.y >= overviewBox.top
        && frame.y < overviewBox.bottom();
}

PlanePoint overviewToPlane(PlanePoint frame)
{
    return {mapArea.left + (frame.x - overviewBox.left) / shrinkX, mapArea.top + (frame.y - overviewBox.top) / shrinkY};
}

void drawOverview(Surface& surface, const World& world, const CameraView& camera)
{
    const Brush backdrop = Brush::solid(black);
    surface.fillRectI(backdrop, overviewBox.left - 1, overviewBox.top - 1, overviewBox.width + 2,
                      overviewBox.height + 2);
    if (world.mapImage)
        drawWholePicture(surface, *world.mapImage, overviewBox);
    outline(surface, Pen(borderGrey, 1), overviewBox.left - 1.0f, overviewBox.top - 1.0f,
            static_cast<float>(overviewBox.right()), static_cast<float>(overviewBox.bottom()));
    // The visible part, kept inside the box where the view reaches beyond the map.
    const PlaneRect visible = camera.visible();
    auto x = [](double plane) {
        return static_cast<float>(std::clamp(overviewBox.left + (plane - mapArea.left) * shrinkX,
                                             static_cast<double>(overviewBox.left),
                                             static_cast<double>(overviewBox.right() - 1)));
    };
    auto y = [](double plane) {
        return static_cast<float>(std::clamp(overviewBox.top + (plane - mapArea.top) * shrinkY,
                                             static_cast<double>(overviewBox.top),
                                             static_cast<double>(overviewBox.bottom() - 1)));
    };
    outline(surface, Pen(outlineWhite, 1), x(visible.left), y(visible.top), x(visible.right), y(visible.bottom));
}

// The camera's arithmetic: frame = middle + zoom * (plane - centre), and back. In double; only what is drawn is
// rounded to 32-bit floats. Clamping keeps the visible part of the plane over the map area's square but for a margin.
#include "view/camera_view.h"

#include <algorithm>

#include "view/frame_layout.h"

PlanePoint CameraView::mapMiddle()
{
    return {mapArea.left + mapArea.width / 2.0, mapArea.top + mapArea.height / 2.0};
}

bool CameraView::identity() const
{
    const PlanePoint middle = mapMiddle();
    return zoom == 1 && centre.x == middle.x && centre.y == middle.y;
}

ScreenPoint CameraView::toFrame(ScreenPoint plane) const
{
    if (identity())
        return plane;
    const PlanePoint frame = toFrame(PlanePoint{plane.x, plane.y});
    return {static_cast<float>(frame.x), static_cast<float>(frame.y)};
}

PlanePoint CameraView::toFrame(PlanePoint plane) const
{
    const PlanePoint middle = mapMiddle();
    return {middle.x + zoom * (plane.x - centre.x), middle.y + zoom * (plane.y - centre.y)};
}

PlanePoint CameraView::fromFrame(PlanePoint frame) const
{
    const PlanePoint middle = mapMiddle();
    return {centre.x + (frame.x - middle.x) / zoom, centre.y + (frame.y - middle.y) / zoom};
}

PlaneRect CameraView::visible() const
{
    const PlanePoint topLeft = fromFrame({static_cast<double>(mapArea.left), static_cast<double>(mapArea.top)});
    const PlanePoint bottomRight =
        fromFrame({static_cast<double>(mapArea.right()), static_cast<double>(mapArea.bottom())});
    return {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

double clampZoom(double zoom)
{
    return std::clamp(zoom, minZoom, maxZoom);
}

PlanePoint clampCentre(double zoom, PlanePoint centre)
{
    // Half the visible width less the margin allowed beyond the edge, in plane pixels.
    const double inX = (0.5 - beyondEdgeShare) * mapArea.width / zoom;
    const double inY = (0.5 - beyondEdgeShare) * mapArea.height / zoom;
    return {std::clamp(centre.x, mapArea.left + inX, mapArea.right() - inX),
            std::clamp(centre.y, mapArea.top + inY, mapArea.bottom() - inY)};
}

CameraView clampedView(double zoom, PlanePoint centre)
{
    CameraView view;
    view.zoom = clampZoom(zoom);
    view.centre = clampCentre(view.zoom, centre);
    return view;
}

CameraView zoomedAbout(const CameraView& view, double zoom, PlanePoint anchor)
{
    const PlanePoint held = view.fromFrame(anchor);
    const double next = clampZoom(zoom);
    const PlanePoint middle = CameraView::mapMiddle();
    return clampedView(next, {held.x - (anchor.x - middle.x) / next, held.y - (anchor.y - middle.y) / next});
}

// The camera's state turned into a view of the plane and back: the centre is kept as a map point, so that a unit
// followed or a --camera given before the map's calibration is read lands where it should once it is.
#include "view/camera.h"

#include <cmath>

CameraView cameraView(const Camera& camera, const Calibration& calibration)
{
    PlanePoint centre = CameraView::mapMiddle();
    if (camera.centre) {
        const ScreenPoint onPlane =
            worldToScreen(calibration, static_cast<float>(camera.centre->x), static_cast<float>(camera.centre->y));
        if (isFinite(onPlane))
            centre = {onPlane.x, onPlane.y};
    }
    return clampedView(camera.zoom, centre);
}

void setCameraView(Camera& camera, const Calibration& calibration, const CameraView& view)
{
    camera.zoom = view.zoom;
    const PlanePoint middle = CameraView::mapMiddle();
    const MapPoint centre = screenToWorld(calibration, view.centre.x, view.centre.y);
    const bool placed = std::isfinite(centre.x) && std::isfinite(centre.y);
    if (view.centre.x == middle.x && view.centre.y == middle.y)
        camera.centre.reset();
    else if (placed)
        camera.centre = centre;
}

MapPoint cameraCentre(const Camera& camera, const Calibration& calibration)
{
    const PlanePoint centre = cameraView(camera, calibration).centre;
    return screenToWorld(calibration, centre.x, centre.y);
}

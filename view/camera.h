// The camera of the map area, part of the view state: the zoom, the map point at the middle of the map area, the
// unit it follows and a press on the map that may become a drag. The arithmetic is view/camera_view.h's.
#pragma once

#include <cstdint>
#include <optional>

#include "view/camera_view.h"
#include "world/world_model.h"

// The unit followed: its record, and its kind and id, by which a seek finds it in the world that takes the place of
// this one.
struct FollowedUnit {
    RecordKind kind = RecordKind::soldier;
    std::int32_t id = 0;
    std::uint64_t serial = 0;
    bool operator==(const FollowedUnit&) const = default;
};

// A left press, not on the strip, until its release: a click unless it moves far enough on the map to be a drag.
struct MapPress {
    int x = 0;  // the frame pixel pressed, where a click acts
    int y = 0;
    PlanePoint at{};  // the frame point under the pointer's pixel, where a drag starts
    CameraView from;  // the view when pressed
    bool mayDrag = false;  // pressed on the map area
    bool dragging = false;
    bool operator==(const MapPress&) const = default;
};

struct Camera {
    double zoom = 1;
    std::optional<MapPoint> centre;  // the map point at the middle of the map area; none: the map's own middle
    std::optional<FollowedUnit> following;
    std::optional<MapPress> press;

    // Zoom 1 on the whole map, following nothing: the frames are those of a view without a camera.
    bool atRest() const { return zoom == 1 && !centre && !following; }
    bool operator==(const Camera&) const = default;
};

// The view the camera gives with this calibration, clamped to the map; centred on the map's middle while the centre
// cannot be placed (no calibration yet).
CameraView cameraView(const Camera& camera, const Calibration& calibration);
// The camera takes the view: its zoom, and as the centre the map point at the view's middle (none when that is the
// map's own middle, or when no map point can be placed there).
void setCameraView(Camera& camera, const Calibration& calibration, const CameraView& view);
// The map point at the middle of the map area as the camera shows it; not finite without a calibration.
MapPoint cameraCentre(const Camera& camera, const Calibration& calibration);

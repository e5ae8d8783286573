// What the pointer and the keys do to the camera: zoom about a point (the wheel) or about the middle (the keys),
// drag the map, centre on a point of the overview, follow a unit and keep following it from frame to frame and
// across a seek, and go back to rest. Pure: the camera, the calibration and the world come as arguments.
#pragma once

#include "view/camera.h"
#include "view/unit_marks.h"
#include "world/world_model.h"

// The zoom one notch of the wheel multiplies by: 2^(1/4).
constexpr int notchesPerDoubling = 4;

// Whether the frame point lies in the map area.
bool onMapArea(PlanePoint frame);
// Zooms in (notches > 0) or out by 2^(notches/4), keeping the map point under the frame point `anchor` where it is.
void zoomAt(Camera& camera, const Calibration& calibration, PlanePoint anchor, int notches);
// The press on the map has moved to `at`: from 4 frame pixels away on, it drags the map with the pointer, and the
// camera follows no unit any more.
void dragTo(Camera& camera, const Calibration& calibration, PlanePoint at);
// Centres the camera on the map point that the overview shows at the frame point.
void centreOnOverview(Camera& camera, const Calibration& calibration, PlanePoint frame);
// F: stops following, or follows the unit pinned most recently (any pinned one when that one is gone), or else the
// one hovered; nothing when there is none.
void toggleFollow(Camera& camera, const UnitMarks& marks, const World& world);
// Follows the unit pinned most recently, as choosing it in the side panel asks; nothing when the world has it not.
void followLastPinned(Camera& camera, const UnitMarks& marks, const World& world);
// Centres the camera on the unit it follows, where the unit now is; a unit gone ends the following and the camera
// stays where it was.
void keepFollowing(Camera& camera, const World& world);
// `to` takes the place of the world on screen (a seek): the camera follows the unit of the same kind and id there, or
// stops following.
void moveFollowing(Camera& camera, const World& to);
// Follows the soldier with that id, or else the vehicle; false when the world holds neither.
bool followId(Camera& camera, const World& world, std::int32_t id);

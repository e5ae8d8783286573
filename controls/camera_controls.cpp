// The camera's controls: each works out the new view in the plane (view/camera_view.h), clamped to the map, and
// keeps it as the camera's zoom and map centre. Zoom steps are counted in quarters of a doubling, so that a notch in
// and a notch out land on the zoom there was, and four notches from 1 on exactly 2.
#include "controls/camera_controls.h"

#include <cmath>

#include "view/frame_layout.h"
#include "view/overview.h"

namespace {

constexpr double dragThreshold = 4;  // frame pixels: a press that moves less is a click

// The zoom `notches` quarters of a doubling away; a zoom on the grid of quarters stays on it exactly.
double steppedZoom(double zoom, int notches)
{
    double quarters = notchesPerDoubling * std::log2(zoom);
    if (std::abs(quarters - std::round(quarters)) < 1e-6)
        quarters = std::round(quarters);
    return std::exp2((quarters + notches) / notchesPerDoubling);
}

void follow(Camera& camera, const Record& unit)
{
    camera.following = FollowedUnit{unit.kind, unit.id, unit.serial};
    camera.centre = MapPoint{unit.posX, unit.posY};
}

// The unit F follows: the one pinned last while it is still pinned, any pinned one, or a hovered one.
const Record* unitToFollow(const UnitMarks& marks, const World& world)
{
    if (marks.pinned.count(marks.lastPinned) != 0)
        if (const Record* last = unitBySerial(world, marks.lastPinned))
            return last;
    for (const auto* serials : {&marks.pinned, &marks.hovered})
        for (std::uint64_t serial : *serials)
            if (const Record* unit = unitBySerial(world, serial))
                return unit;
    return nullptr;
}

}  // namespace

bool onMapArea(PlanePoint frame)
{
    return frame.x >= mapArea.left && frame.x < mapArea.right() && frame.y >= mapArea.top && frame.y < mapArea.bottom();
}

void zoomAt(Camera& camera, const Calibration& calibration, PlanePoint anchor, int notches)
{
    const CameraView now = cameraView(camera, calibration);
    setCameraView(camera, calibration, zoomedAbout(now, steppedZoom(now.zoom, notches), anchor));
}

void dragTo(Camera& camera, const Calibration& calibration, PlanePoint at)
{
    if (!camera.press || !camera.press->mayDrag)
        return;
    MapPress& press = *camera.press;
    if (!press.dragging && std::hypot(at.x - press.at.x, at.y - press.at.y) < dragThreshold)
        return;
    press.dragging = true;
    camera.following.reset();
    const CameraView& from = press.from;
    setCameraView(camera, calibration,
                  clampedView(from.zoom, {from.centre.x - (at.x - press.at.x) / from.zoom,
                                          from.centre.y - (at.y - press.at.y) / from.zoom}));
}

void centreOnOverview(Camera& camera, const Calibration& calibration, PlanePoint frame)
{
    camera.following.reset();
    setCameraView(camera, calibration, clampedView(camera.zoom, overviewToPlane(frame)));
}

void toggleFollow(Camera& camera, const UnitMarks& marks, const World& world)
{
    if (camera.following) {
        camera.following.reset();
        return;
    }
    if (const Record* unit = unitToFollow(marks, world))
        follow(camera, *unit);
}

void followLastPinned(Camera& camera, const UnitMarks& marks, const World& world)
{
    if (const Record* unit = unitBySerial(world, marks.lastPinned))
        follow(camera, *unit);
}

void keepFollowing(Camera& camera, const World& world)
{
    if (!camera.following)
        return;
    if (const Record* unit = unitBySerial(world, camera.following->serial))
        camera.centre = MapPoint{unit->posX, unit->posY};
    else
        camera.following.reset();
}

void moveFollowing(Camera& camera, const World& to)
{
    if (!camera.following)
        return;
    if (const Record* unit = unitById(to, camera.following->kind, camera.following->id))
        follow(camera, *unit);
    else
        camera.following.reset();
}

bool followId(Camera& camera, const World& world, std::int32_t id)
{
    const Record* unit = unitById(world, RecordKind::soldier, id);
    if (unit == nullptr)
        unit = unitById(world, RecordKind::vehicle, id);
    if (unit == nullptr)
        return false;
    follow(camera, *unit);
    return true;
}

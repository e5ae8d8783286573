// Unit symbols: soldier dots, vehicle icons or squares, labels, passenger names, status bars, damage lines.
#pragma once

#include <optional>
#include <string>

#include "view/camera_view.h"
#include "view/frame_canvas.h"
#include "view/transform.h"
#include "view/unit_marks.h"
#include "world/world_model.h"

// How the units are seen: through the camera, and the one it follows marked (serial 0: none).
struct UnitSight {
    CameraView camera;
    std::uint64_t followed = 0;
};

// Where a frame draws the soldier; none for one aboard or one the calibration cannot place, which is not drawn and
// keeps its damage link for a later frame.
std::optional<ScreenPoint> drawnSoldierPoint(const SoldierRecord& soldier, const Calibration& calibration);
// The unit's status bar, 4 pixels thick from (x, y), as long as its share of the full 30 pixels; nothing while the
// share gives no number.
void drawStatusBar(Surface& surface, const Record& unit, float x, float y);
// Draws each soldier that is drawn with the damage line of its link; clearing the links drawn is the caller's.
// Through a camera that is not at rest, what lies beyond the map area is not drawn.
void drawSoldiers(Surface& surface, KeptText& texts, const World& world, const UnitMarks& marks, bool barsShown,
                  const UnitSight& sight);
// Vehicle icons, from Presets in the program folder, are drawn on a second, rotated surface on the same context.
void drawVehicles(Surface& surface, const FrameCanvas& canvas, const World& world, const UnitMarks& marks,
                  const std::string& programFolder, const UnitSight& sight);

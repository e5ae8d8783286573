// Unit symbols: soldier dots, vehicle icons or squares, labels, passenger names, status bars, damage lines.
#pragma once

#include <string>

#include "view/frame_canvas.h"
#include "view/unit_marks.h"
#include "world/world_model.h"

// Draws each soldier's one-frame damage line and clears its link.
void drawSoldiers(Surface& surface, KeptText& texts, World& world, const UnitMarks& marks, bool barsShown);
// Vehicle icons, from Presets in the program folder, are drawn on a second, rotated surface on the same context.
void drawVehicles(Surface& surface, const FrameCanvas& canvas, World& world, const UnitMarks& marks,
                  const std::string& programFolder);

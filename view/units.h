// Unit symbols: soldier dots, vehicle icons or squares, labels, passenger names, status bars, damage lines.
#pragma once

#include <string>

#include "view/gdiplus_wrappers.h"
#include "world/world_model.h"

// Draws each soldier's one-frame damage line and clears its link.
void drawSoldiers(Surface& surface, World& world, bool barsShown);
// Vehicle icons, from Presets in the program folder, are drawn on a second, rotated surface on the same context.
void drawVehicles(Surface& surface, GpDC dc, World& world, const std::string& programFolder);
// Every pixel equal to the key in all four bytes becomes 0x00000000.
void applyColourKey(Image& bitmap, ARGB key);

// The vehicle label: the class name, " - " and the direction with three decimals.
std::string vehicleLabelText(const std::string& className, float direction);

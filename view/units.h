// Unit symbols: soldier dots, vehicle icons or squares, labels, passenger names, status bars, damage lines.
#pragma once

#include <string>

#include "view/colour_key.h"
#include "view/gdiplus_wrappers.h"

void drawSoldiers(Surface& surface);
// Vehicle icons are drawn on a second, rotated surface opened on the same device context.
void drawVehicles(Surface& surface, GpDC dc);

// The vehicle label: the class name, " - " and the direction with three decimals.
std::string vehicleLabelText(const std::string& className, float direction);

// The colour key of vehicle icons: every pixel equal to the key in all four bytes becomes 0x00000000.
// Relies on the bitmap pixel lock of view/bitmap_pixels.h.
#pragma once

#include "view/gdiplus_wrappers.h"

// All pixels at once through a 32-bit ARGB lock; a bitmap that cannot be locked so is keyed pixel by pixel, column
// by column, each column ending at its first failing read and the scan at a failing read at the top of a column.
// Both give the same pixels. Palette indices are left as they are: no pixel of theirs can be set one by one.
void applyColourKey(Image& bitmap, ARGB key);
// The key pixel by pixel only, as applyColourKey does when the bitmap cannot be locked.
void keyPixelByPixel(Image& bitmap, ARGB key);

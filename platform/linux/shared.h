// What the two Linux backends (GTK and headless) share: the back buffer as a GDI+ bitmap and the program folder.
// The profile reader for Linux (platform/linux/profile_file.cpp) defines readProfileString of the seam directly.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "seam/platform.h"

// The 32-bit RGB bitmap, black at first, made on first use at 400 x 455 and kept for the program's life.
GpBitmap* backBufferBitmap();
// A device context on the back buffer; surfaces opened on it draw into the bitmap's pixels.
GpDC bitmapBackBufferDC();
// The whole back buffer: (0, 0) and its size.
GpRect backBufferRect();
// The back buffer's pixels, rows of its width top first, as the bitmap holds them (its 32-bit RGB, the byte above
// the colour undefined); valid until the next resize.
const std::uint32_t* backBufferRows();
// Makes the back buffer again, black, at the size of the window's client area (at least one pixel a side); the
// device context changes with it. Nothing happens at the size it has, or when the new bitmap cannot be made.
void resizeBitmapBackBuffer(int width, int height);
// The seam's backBufferPixels for the bitmap back buffer: its colours as they are, opaque.
bool bitmapBackBufferPixels(std::vector<std::uint32_t>& pixels);

// The folder of the running program file (/proc/self/exe cut at its last separator).
std::string runningProgramFolder();

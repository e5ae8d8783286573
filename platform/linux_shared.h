// What the two Linux backends (GTK and headless) share: the back buffer as a GDI+ bitmap and the program folder.
// The profile reader for Linux (platform/profile_file.cpp) defines readProfileString of the seam directly.
#pragma once

#include <string>

#include "platform/platform.h"

// The 400 x 455 32-bit RGB bitmap, black at first, made on first use and kept for the program's life.
GpBitmap* backBufferBitmap();
// A device context on the back buffer; surfaces opened on it draw into the bitmap's pixels.
GpDC bitmapBackBufferDC();

// The folder of the running program file (/proc/self/exe cut at its last separator).
std::string runningProgramFolder();

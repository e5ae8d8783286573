// The program's icon for the GTK viewer, decoded from the same icon file that Kelo.exe carries as resource 101.
// Relies on the ICO loader of gdk-pixbuf.
#pragma once

#include <gdk-pixbuf/gdk-pixbuf.h>

// A new reference to the 32 x 32 icon, or null when it cannot be decoded.
GdkPixbuf* loadProgramIcon();

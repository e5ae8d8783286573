// Test helpers for pictures: PNG files written pixel by pixel (map pictures, vehicle icons), a plain back buffer
// to start a frame test from, text sizes measured exactly as the view measures them, and a fixture for frame tests.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "seam/gdiplus_flat.h"
#include "tests/builders.h"
#include "tests/kelo_test.h"
#include "view/frame_canvas.h"
#include "view/frame_layout.h"
#include "world/records.h"

// Writes a width x height 32-bit ARGB PNG whose pixel (x, y) is colour(x, y); parent folders are made.
bool writePicture(const std::string& path, int width, int height, const std::function<ARGB(int x, int y)>& colour);
bool writePicture(const std::string& path, int width, int height, ARGB colour);

// The bytes of a file, to make broken copies of a picture.
std::string readBytes(const std::string& path);

// Paints the whole back buffer in one colour, so that a test never sees what an earlier test drew.
void fillBackBuffer(ARGB colour);
// The back buffer, pixel for pixel, with the current viewer's caches: where a drawing step of a frame draws.
FrameCanvas backBufferCanvas();

// The width and height of the text's box in the view's measuring box (view/frame_layout.h), measured on the back
// buffer.
GpRectF measureText(std::string_view text, std::string_view family, float points);

// Where an opaque colour lies in a region of the back buffer: the smallest rectangle holding every pixel of exactly
// that colour, and how many there are (0 when none).
struct ColourExtent {
    int left = 0;
    int top = 0;
    int right = -1;  // inclusive
    int bottom = -1;  // inclusive
    int count = 0;
};
ColourExtent findColour(ARGB colour, int x, int y, int width, int height);
ColourExtent findColour(ARGB colour, const FrameRegion& region);

// Pixels of a region that show a colour of full or no red, green and blue (such as text in a side colour drawn
// over black, whose edges are blended): at least 0x80 where the colour has 0xFF, at most 0x40 where it has 0.
int countTinted(ARGB colour, int x, int y, int width, int height);

// A frame test: a black back buffer and a square map of 400 units calibrated onto the map area; units are put
// straight into the world lists with the builders of tests/builders.h.
class ViewTest : public KeloTest {
protected:
    void SetUp() override;

    // The back buffer pixel that holds the screen point of a map position (which the transform puts on whole
    // pixels for the positions the tests use).
    static ARGB pixelAt(float x, float y, int dx = 0, int dy = 0);
};

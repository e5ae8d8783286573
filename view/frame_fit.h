// Where the frame (view/frame_layout.h) lies in a window's client area: scaled by the largest uniform factor that
// fits, centred, the rest black; and a window pixel taken back to the frame pixel under it. Pure arithmetic on sizes
// and points.
#pragma once

#include "view/frame_layout.h"

struct FrameFit {
    float scale = 1;  // window pixels per frame pixel
    int left = 0;  // where the frame's top-left corner lies in the window
    int top = 0;
    int width = frameWidth;  // the client area
    int height = frameHeight;
    int composedWidth = frameWidth;  // the frame's own width: frameWidth, or openFrameWidth while the panel is open

    // A frame drawn as it is, pixel for pixel, in a client area of its own size.
    bool identity() const { return scale == 1 && left == 0 && top == 0; }
    bool operator==(const FrameFit&) const = default;
};

// The fit of the frame in a client area of that size. A client area with no pixels keeps the frame unscaled at its
// origin: nothing of it shows, and the pointer, which cannot be in such a window, maps as the window's own pixels.
FrameFit fitFrame(int clientWidth, int clientHeight, int composedWidth = frameWidth);

struct FramePoint {
    int x;
    int y;
};

// The frame pixel under the window pixel (x, y): the one that covers the pixel's centre. A pixel of the black margin
// maps outside the frame, where nothing is hit.
FramePoint framePointAt(const FrameFit& fit, int x, int y);

struct FramePointF {
    double x;
    double y;
    bool operator==(const FramePointF&) const = default;
};

// The frame point under the centre of the window pixel (x, y), unrounded: where the camera anchors a zoom or a drag.
FramePointF exactFramePoint(const FrameFit& fit, int x, int y);

// The camera's arithmetic, after the world-to-screen transform: a zoom about a centre, both in the frame pixels that
// the transform gives at zoom 1 (the map area spans the map), and back from a frame point to that plane. Pure: the
// drawing, the pointer and the property test all go through these functions, so they agree on where a point is.
#pragma once

#include "view/frame_fit.h"
#include "view/transform.h"

constexpr double minZoom = 1;
constexpr double maxZoom = 64;
// At most this share of the map area's width may show beyond the map's edge, at any zoom.
constexpr double beyondEdgeShare = 0.25;

// A point of the plane of the frame at zoom 1, in unrounded frame pixels as the camera sees them before zooming.
using PlanePoint = FramePointF;

// A rectangle of that plane or of the frame.
struct PlaneRect {
    double left;
    double top;
    double right;
    double bottom;
};

struct CameraView {
    double zoom = 1;
    PlanePoint centre = mapMiddle();  // the point of the plane at the middle of the map area

    static PlanePoint mapMiddle();
    // At rest the camera changes nothing, to the bit: points pass through untouched.
    bool identity() const;
    // Where a point of the plane is drawn on the frame.
    ScreenPoint toFrame(ScreenPoint plane) const;
    PlanePoint toFrame(PlanePoint plane) const;
    // The point of the plane drawn at a frame point.
    PlanePoint fromFrame(PlanePoint frame) const;
    // The part of the plane that the map area shows.
    PlaneRect visible() const;
    bool operator==(const CameraView&) const = default;
};

// The zoom kept within its range.
double clampZoom(double zoom);
// The nearest centre at which the map area shows no more than beyondEdgeShare of its width beyond the map at this
// zoom.
PlanePoint clampCentre(double zoom, PlanePoint centre);
// The view with its zoom and centre clamped.
CameraView clampedView(double zoom, PlanePoint centre);
// The view at `zoom` that keeps the plane point under the frame point `anchor` where it is (clamped).
CameraView zoomedAbout(const CameraView& view, double zoom, PlanePoint anchor);

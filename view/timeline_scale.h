// The scale of the timeline strip's bar: log time to x and back, with each long wait shrunk to a short fixed gap.
// Pure geometry, shared by the drawing (view/timeline.cpp) and the pointer's hits; the strip's place and the bar's
// are in view/frame_layout.h.
#pragma once

#include <vector>

#include "world/log_marks.h"

// The widest gap that stands for a long wait; narrower when many waits have to share the bar.
constexpr float breakGap = 6;

struct TimelineKnot {
    double t;  // log seconds
    float x;
    bool operator==(const TimelineKnot&) const = default;
};

// Piecewise linear: log time maps linearly between neighbouring knots. Knots rise in t and never fall in x;
// the first is (0, left), the last (span, right). A long wait runs from one knot to the next across breakGap.
struct TimelineScale {
    std::vector<TimelineKnot> knots;
    bool operator==(const TimelineScale&) const = default;
};

// The scale of a bar from `left` to `right` showing log time 0 to `spanS`. The waits in `breaks` that start
// before spanS take a gap each (cut at spanS; overlapping or out-of-order waits count from where the one before
// ended); the rest of the width is shared evenly by the played time.
TimelineScale timelineScale(const std::vector<LogBreak>& breaks, double spanS, float left, float right);

// Times outside 0 to the span, and x outside the bar, are taken at the nearer end.
float xOfTime(const TimelineScale& scale, double t);
double timeAtX(const TimelineScale& scale, float x);

// Whether a row of the frame belongs to the strip.
bool insideTimeline(int y);

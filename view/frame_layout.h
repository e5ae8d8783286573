// The frame's geometry: where every part of the 400 x 455 frame lies, in frame pixels, named once.
// The frame is composed at this size and placed in the window by the fit (view/frame_fit.h).
#pragma once

// The frame composed into the back buffer.
constexpr int frameWidth = 400;
constexpr int frameHeight = 455;

// kelo-render's skipping of frames that would come out the same, and of the quiet time in which nothing can change.
// Watches the timers of the viewer it is given through the headless backend's timer sink; reads the back buffer.
#pragma once

#include <cstdint>
#include <vector>

#include "app/viewer.h"
#include "seam/platform.h"

// A log can make playback wait for hours of log time (a stamp twelve hours back, a line without a stamp, a log of
// one line). The repaint timer goes on as in the viewer, but once a frame composed with nothing changed since the
// frame before comes out the same as that frame, every later frame would too until the world changes: those are
// skipped by clearing composeReady, as a paint that arrives during a composition is, so every output stays the same.
class FrameSkipping {
public:
    explicit FrameSkipping(Viewer& viewer) : viewer_(viewer) {}

    // Told of every timer just before the core runs it.
    void timerFiring(TimerId id);
    // After each millisecond: a frame composed with nothing changed before it that equals the last such frame means
    // the frames have settled; the pixels are only read for those frames, which busy playback hardly ever composes.
    void afterMillisecond();
    // Something changed that the timers do not tell of (a key, a click, a seek): it shows in the next frame, even
    // where the frames had settled.
    void changed();
    // Nothing can change before the playback timer fires: the frames have settled and no unit glides (or playback is
    // paused), so the repaints and movement ticks in between would find nothing to do.
    bool quiet() const;

private:
    bool gliding() const;  // some unit moves on at the next movement tick

    Viewer& viewer_;
    bool changed_ = true;  // a playback step or a glide since the last composed frame was looked at
    bool repainted_ = false;  // a frame was composed in this millisecond
    std::vector<std::uint32_t> lastQuietFrame_;  // the pixels of the last frame composed with nothing changed before it
    std::vector<std::uint32_t> frame_;  // the frame just composed, read in one piece
};

// Frames that would come out the same: looked at after each millisecond in which one was composed, and skipped once
// they have settled.
#include "tools/frame_skipping.h"

#include <algorithm>
#include <utility>

#include "app/timers.h"
#include "platform/headless/headless.h"

namespace {

template <class Unit>
bool anyGliding(const PtrList<Unit>& list)
{
    return std::any_of(list.items.begin(), list.items.end(),
                       [](const Unit* unit) { return unit->glide.stepsLeft > 0; });
}

}  // namespace

void FrameSkipping::timerFiring(TimerId id)
{
    if (id == repaintTimer) {
        repainted_ = repainted_ || viewer_.composeReady;
        return;
    }
    if (id == playbackTimer || (!viewer_.playback.playbackPaused && gliding())) {
        changed_ = true;
        viewer_.composeReady = true;
    }
}

void FrameSkipping::afterMillisecond()
{
    if (!repainted_)
        return;
    repainted_ = false;
    if (changed_) {
        changed_ = false;
        lastQuietFrame_.clear();
        return;
    }
    // A back buffer that cannot be read is never taken for a settled frame.
    if (headless::framePixels(frame_) && frame_ == lastQuietFrame_)
        viewer_.composeReady = false;
    else
        std::swap(lastQuietFrame_, frame_);
}

void FrameSkipping::changed()
{
    changed_ = true;
    viewer_.composeReady = true;
}

bool FrameSkipping::quiet() const
{
    return !viewer_.composeReady && (viewer_.playback.playbackPaused || !gliding());
}

bool FrameSkipping::gliding() const
{
    return anyGliding(viewer_.world.soldierList) || anyGliding(viewer_.world.vehicleList);
}

// What the last composed frame was composed from, to tell whether a frame composed now would be the same one: the
// repaint tick and the backends' paints compose only when it would not. Relies on the world, the view state and the
// frame's context comparing as a user tells them apart (world/world_model.h, view/view_state.h, view/frame.h).
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "view/frame.h"

// What one frame was composed from.
struct FrameInputs {
    World world;
    std::uint64_t recordsMade = 0;  // a record made anew, equal to the one it replaced, has lost hover and pin
    ViewState view;
    FrameContext context;
    std::uint64_t decodesDone = 0;
};

// A frame is drawn over the last one, and what it leaves translucent (the edges of a map picture resampled to a
// larger window, a translucent picture) still blends with that: a frame composed again from the same inputs can
// differ from the last until the pixels settle. So after a change frames are composed again until one comes out as
// the one before it; from then on every frame would.
class ShownFrame {
public:
    // Whether a frame composed from these would differ from the last one: true while none has been composed, after
    // markChanged and until the frames have settled. `decodesDone` is the decoder's count (pictures handed over since
    // may show now).
    bool differs(const World& world, const ViewState& view, const FrameContext& context,
                 std::uint64_t decodesDone) const
    {
        return !settled_ || !sameInputs(world, view, context, decodesDone);
    }
    // Whether the last frame was composed from these.
    bool sameInputs(const World& world, const ViewState& view, const FrameContext& context,
                    std::uint64_t decodesDone) const;
    // Keeps what a frame was just composed from: the world as it was drawn (before its drawn damage links went), the
    // view state as the frame left it (with the strip's scale), and the decoder's count read before composing.
    void remember(const World& drawn, const ViewState& view, const FrameContext& context, std::uint64_t decodesDone);
    // A frame was composed again from the same inputs, giving these pixels (none: they could not be read, and the
    // frames are taken as settled rather than composed for ever).
    void composedAgain(std::vector<std::uint32_t> pixels);
    // Something shown changed where the inputs above cannot see it (a back buffer made anew, black).
    void markChanged()
    {
        last_.reset();
        settled_ = false;
    }

private:
    std::optional<FrameInputs> last_;
    bool settled_ = false;
    std::vector<std::uint32_t> pixels_;  // the last frame composed again, while the frames settle
};

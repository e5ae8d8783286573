// The last composed frame's inputs, compared cheapest first; the world, the dearest, last.
#include "view/shown_frame.h"

bool ShownFrame::differs(const World& world, const ViewState& view, const FrameContext& context,
                         std::uint64_t decodesDone) const
{
    return !last_ || last_->decodesDone != decodesDone || last_->recordsMade != world.recordsMade
        || !(last_->context == context) || !(last_->view == view) || !(last_->world == world);
}

void ShownFrame::remember(const World& drawn, const ViewState& view, const FrameContext& context,
                          std::uint64_t decodesDone)
{
    if (!last_)
        last_.emplace();
    last_->world = drawn;
    last_->recordsMade = drawn.recordsMade;
    last_->view = view;
    last_->context = context;
    last_->decodesDone = decodesDone;
}

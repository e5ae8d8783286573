// The last composed frame's inputs, compared cheapest first (the world, the dearest, last), and the pixels of the
// frames composed again from them until two come out the same.
#include "view/shown_frame.h"

bool ShownFrame::sameInputs(const World& world, const ViewState& view, const FrameContext& context,
                            std::uint64_t decodesDone) const
{
    return !(!last_ || last_->decodesDone != decodesDone || last_->recordsMade != world.recordsMade
             || !(last_->context == context) || !(last_->view == view) || !(last_->world == world));
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
    settled_ = false;
    pixels_.clear();
}

void ShownFrame::composedAgain(std::vector<std::uint32_t> pixels)
{
    settled_ = pixels.empty() || pixels == pixels_;
    pixels_ = settled_ ? std::vector<std::uint32_t>{} : std::move(pixels);
}

// kelo-render --frames: the numbered frames of a run (frame-000001.png on), handed to a writer on its own thread
// while the virtual clock goes on; each one's line goes to standard error once it is written, in order, before any
// message box that follows it. On a terminal the line is rewritten in place and shares it with the progress line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "tools/frame_writer.h"
#include "tools/progress_line.h"

class NumberedFrames {
public:
    // Frames of `width` x `height` pixels into `folder`; without a folder, none are written and none are told.
    NumberedFrames(const std::optional<std::string>& folder, int width, int height, ProgressLine& progress);

    // Hands the back buffer over as the next frame, noted as taken at `nowMs`; false when the back buffer cannot be
    // read, and that frame is then the one that failed.
    bool add(std::int64_t nowMs);
    // Tells the frames written so far (all of them, or those done by now), each with its line; false once a frame
    // could not be written.
    bool tell(bool all);
    // Ends the line of the last frame told, where no progress line was drawn after it.
    void endLine();
    // The path of the frame that could not be written, if one could not.
    const std::optional<std::string>& failed() const { return failed_; }

private:
    std::optional<std::string> folder_;
    int width_;
    int height_;
    ProgressLine& progress_;
    bool inPlace_;  // standard error is a terminal: each line replaces the one before
    std::optional<FrameWriter> writer_;
    std::int64_t added_ = 0;
    std::optional<std::string> failed_;
};

// The timeline strip below the map: the bar with its played part, the log's marks, the part still being scanned,
// long waits as short breaks, "elapsed / total", the time and the mark under the pointer and a seek under way.
// Everything it shows comes in a TimelineModel that the app fills from the navigation core; the bar's scale is
// view/timeline_scale.h.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "view/frame_canvas.h"
#include "view/frame_layout.h"
#include "view/view_state.h"
#include "world/log_marks.h"

// What the strip shows of the open log.
struct TimelineModel {
    std::shared_ptr<const LogIndexData> index = std::make_shared<const LogIndexData>();  // never null
    double nowS = 0;  // the log time of the line on screen
    std::optional<double> seekTarget;  // where a seek under way is going
    int elapsedRight = barRight;  // where "elapsed / total" ends: before the panel's toggle where that shows
    // Following the log as it is written: "LIVE" at the right end, how far playback is behind the newest line, and
    // the bar reaches its right end at the newest line once the scan waits there.
    bool live = false;
    bool operator==(const TimelineModel& other) const
    {
        return (index == other.index || *index == *other.index) && nowS == other.nowS && seekTarget == other.seekTarget
            && elapsedRight == other.elapsedRight && live == other.live;
    }
};

namespace timelineColour {
constexpr ARGB background = 0xFF000000;
constexpr ARGB scanned = 0xFF383838;  // scanned and not played yet
constexpr ARGB played = 0xFF007878;
constexpr ARGB seeking = 0xFF004A4A;  // between the line on screen and the seek's target
constexpr ARGB unscannedDark = 0xFF101010;  // the still unscanned part: diagonal stripes between these two
constexpr ARGB unscannedLight = 0xFF262626;
constexpr ARGB target = 0xFF00FFFF;  // the seek's target and its text
constexpr ARGB pointer = 0xFFFFFFFF;  // the tick above the bar under the pointer
constexpr ARGB text = 0xFFC8C8C8;
constexpr ARGB labelBox = 0xFF404040;  // behind the time under the pointer
constexpr ARGB labelText = 0xFFFFFFFF;
constexpr ARGB live = 0xFFFF5050;  // "LIVE"
}  // namespace timelineColour

// h:mm:ss, or m:ss under an hour, in whole seconds cut down; below 0 or not a number is "0:00".
std::string logTimeText(double seconds);
// Destroyed units in their side's colour, kills white, the win green, chat grey, resets blue.
ARGB markColour(const LogMark& mark);
// The mark's kind as the box under the pointer names it: "destroyed, side 1" ("destroyed" where the side is not
// known), "killed", "win", "chat", "reset".
std::string markText(const LogMark& mark);

// The log time at the bar's end: what is scanned, or further while playback or a seek is beyond that.
double timelineSpan(const TimelineModel& model);
// The bar's scale: the whole bar once the scan is complete, else all but the unscanned width at its right end.
TimelineScale timelineScaleOf(const TimelineModel& model);
// "elapsed / total", with a "+" after the total while the scan goes on.
std::string elapsedText(const TimelineModel& model);
// While following: how far playback is behind the newest line, as "-1:23"; empty within a second of it or while the
// scan has not reached the file's end.
std::string behindEdgeText(const TimelineModel& model);

// Draws the strip over whatever the frame holds there, and keeps the bar's scale in the view for the pointer.
void drawTimeline(const FrameCanvas& canvas, TimelineView& view, const TimelineModel& model);
// Blacks out the strip that an earlier frame drew, so that it is neither seen nor hit any more.
void clearTimeline(const FrameCanvas& canvas, TimelineView& view);

// Frame composition: the layers of one frame in order, the side colours and the label-box rule.
// Composes from a world, the view state and the playback speed; knows nothing of timers, files or windows.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "view/frame_canvas.h"
#include "view/panel.h"
#include "view/timeline.h"
#include "view/view_state.h"
#include "world/world_model.h"

// What a frame shows beyond the world and the view state.
struct FrameContext {
    std::int32_t msPerLogSecond = 1000;
    bool paused = false;
    std::string programFolder;  // where the vehicle icons are looked for
    std::optional<TimelineModel> timeline;  // the strip below the map; none: the frame has no strip
    FrameFit fit;  // where the frame lies in the back buffer, which is the size of the window's client area
    std::optional<PanelModel> panel;  // the side panel right of the map; none while it is closed
    bool operator==(const FrameContext&) const = default;
};

// Where a label's text goes, from its measured width and height.
using LabelPlacement = std::function<GpPointF(float width, float height)>;

// Composes the whole frame into the back buffer's device context, placed as the fit says: drawn at the fit's scale
// (not stretched afterwards), with the margins around it black. The timeline strip comes last, over anything that
// strays below the map. Of the world it only reads: every damage link of a soldier drawn is drawn as a line, and the
// caller, who owns the world, clears those links once the frame is composed (app/shell.cpp).
void renderFrame(GpDC dc, const World& world, ViewState& view, const FrameContext& context, DrawingCaches& caches);

ARGB sideColour(std::int32_t side);

// Whether a label stays in its place from frame to frame (its text is kept drawn, view/kept_text.h) or follows a unit
// that moves (drawn afresh: a kept text is only of use at the same fraction of a pixel).
enum class LabelPlace : std::uint8_t { stays, followsUnit };

// Measures the text, fills a box one pixel larger on every side, then draws the text at the placed corner.
void drawLabelBox(Surface& surface, KeptText& texts, std::string_view text, const Font& font,
                  const LabelPlacement& place, const Brush& box, const Brush& textBrush,
                  LabelPlace kind = LabelPlace::stays);

// A number with a fixed count of decimals and a point as separator, whatever locale the process runs in.
std::string fixedDecimals(float value, int decimals);

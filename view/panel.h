// The side panel right of the map: the tabs "Units" and "Events", the search line and the rows in view of the tab
// shown; and its toggle at the right end of the timeline strip. Drawn through the frame's surfaces and kept texts.
#pragma once

#include <cstdint>
#include <memory>

#include "view/frame_canvas.h"
#include "view/panel_view.h"
#include "view/unit_marks.h"
#include "world/log_marks.h"
#include "world/world_model.h"

// What the panel shows beyond the world and its own state.
struct PanelModel {
    std::shared_ptr<const LogIndexData> index = std::make_shared<const LogIndexData>();  // never null
    std::int64_t linesPlayed = 0;  // the lines of the log applied to the world on screen
    bool operator==(const PanelModel&) const = default;
};

// The frame's width with the panel as it stands: wider by the panel while it is open.
int composedWidth(const PanelView& panel);

// Draws the panel over the frame's columns right of the map, only the rows in view, and keeps in the view's state
// where each list stands and what each row in view is.
void drawPanel(const FrameCanvas& canvas, const World& world, PanelView& panel, const UnitMarks& marks,
               const PanelModel& model);
// The toggle in the strip's text row: an arrow toward where the panel goes.
void drawPanelToggle(const FrameCanvas& canvas, bool open);

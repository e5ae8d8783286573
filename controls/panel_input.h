// The side panel's part of the pointer, the keys and the wheel: its toggle, its tabs, its search line and its rows,
// hit through the frame pixels that the fit gives, as the other controls are. Only the view state changes here; a
// toggle asks the app to place the frame anew, as it is wider while the panel is open.
#pragma once

#include <cstdint>

#include "controls/keys.h"
#include "view/view_state.h"
#include "world/log_marks.h"
#include "world/world_model.h"

// Whether the frame pixel lies on the open panel, which takes the pointer there before the map and the strip.
bool onPanel(const ViewState& view, int x, int y);

enum class PanelInput : std::uint8_t {
    notTaken,  // the rest of the controls have it
    taken,
    toggled,  // the panel opened or closed: the frame has another width
    unitChosen,  // a unit's row was chosen: the unit is pinned, the one pinned last
};

// The left button went down at the frame pixel (x, y): the toggle in the strip opens or closes the panel; on the
// panel, a tab shows, the search line takes the keys, a unit's row pins it and an event's row asks for a seek 5 log
// seconds before the event (to the event itself in its log's first 5 seconds). A press anywhere but on the search
// line takes the keys back from it.
PanelInput pressPanel(ViewState& view, int x, int y);

// A key: while the search line has the keys it takes every key (typed characters are added, Backspace takes the last
// one off, Enter chooses the first row of the tab and gives the keys back, Escape empties the search and gives them
// back); otherwise Tab opens or closes the panel, and "/" opens it with the search line taking the keys.
PanelInput panelKey(ViewState& view, const KeyPress& press, const World& world, const LogIndexData& index,
                    std::int64_t linesPlayed);

// The wheel over the panel, `notches` turned away from the user (negative: toward): the tab shown moves three rows a
// notch toward its top; drawing keeps it within the list.
void scrollPanel(PanelView& panel, int notches);

// How far before an event a click on it seeks.
constexpr double eventLeadS = 5;
// Where choosing an event at log time t seeks to.
double eventSeekTarget(double t);

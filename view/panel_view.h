// The side panel's own state: whether it is open, which tab shows, the search and whether it has the keys, where each
// list stands, and what the rows in view of the last composed frame were, for the pointer.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "world/log_marks.h"

enum class PanelTab : std::uint8_t { units, events };

// Where a list stands: the row at the top of the view, kept by what it shows (a unit's serial, an event's number) so
// that the list keeps its place while rows come and go above it; the row's number is the place when that is gone.
struct ListPlace {
    std::optional<std::uint64_t> topKey;  // none: stand at topRow (a scroll moved there, or nothing is shown yet)
    std::size_t topRow = 0;
    // Until the wheel moves the events list, it keeps the current event in view as playback passes the events.
    bool scrolled = false;
    bool operator==(const ListPlace&) const = default;
};

// What a click on a row in view does: pin a unit, or seek to an event.
struct PanelRowTarget {
    std::optional<std::uint64_t> unit;  // the unit's serial
    std::optional<double> eventS;  // the event's log time
    bool operator==(const PanelRowTarget&) const = default;
};

// The events that the search lets through, kept while neither the index nor the search changes: a log of 100,000
// events is filtered once, not at every frame.
struct FilteredEvents {
    std::shared_ptr<const LogIndexData> index;
    std::string search;
    std::vector<std::uint32_t> marks;  // numbers of the index's marks, in order
    bool operator==(const FilteredEvents&) const = default;
};

struct PanelView {
    bool open = false;
    bool toggleShown = false;  // the strip shows the panel's toggle: the viewers, and kelo-render with --panel
    PanelTab tab = PanelTab::units;
    std::string search;  // UTF-8, as typed
    bool searching = false;  // the search line has the keys
    std::array<ListPlace, 2> places{};  // by tab
    std::vector<PanelRowTarget> rowsShown;  // the rows in view of the last frame, top first
    FilteredEvents filtered;
    bool operator==(const PanelView&) const = default;
};

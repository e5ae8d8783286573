// The panel's hits and keys: hit rectangles from view/frame_layout.h, rows from the last composed frame
// (PanelView::rowsShown) or, for Enter, from the rows the panel would list (view/panel_rows.h).
#include "controls/panel_input.h"

#include <algorithm>

#include "view/frame_layout.h"
#include "view/panel_rows.h"

namespace {

constexpr int rowsPerNotch = 3;

bool inside(const FrameRegion& region, int x, int y)
{
    return region.left <= x && x < region.right() && region.top <= y && y < region.bottom();
}

PanelInput choose(ViewState& view, const PanelRowTarget& target)
{
    if (target.eventS)
        view.timeline.seekRequest = eventSeekTarget(*target.eventS);
    if (!target.unit)
        return PanelInput::taken;
    view.units.pinned.insert(*target.unit);
    view.units.lastPinned = *target.unit;
    return PanelInput::unitChosen;
}

// Enter on the search: the first unit or event that the search lets through.
PanelInput chooseFirst(ViewState& view, const World& world, const LogIndexData& index, std::int64_t linesPlayed)
{
    const PanelView& panel = view.panel;
    if (panel.tab == PanelTab::units) {
        for (const PanelRow& row : unitRows(world, index, linesPlayed, panel.search))
            if (row.unit)
                return choose(view, {row.unit->serial, std::nullopt});
        return PanelInput::taken;
    }
    const std::vector<std::uint32_t> events = eventRows(index, panel.search);
    if (!events.empty())
        return choose(view, {std::nullopt, index.marks[events.front()].t});
    return PanelInput::taken;
}

// The search without its last character: a UTF-8 sequence's continuation bytes go with it.
void eraseLast(std::string& text)
{
    while (!text.empty()) {
        const auto byte = static_cast<unsigned char>(text.back());
        text.pop_back();
        if ((byte & 0xC0) != 0x80)
            return;
    }
}

void appendUtf8(std::string& text, char32_t c)
{
    if (c < 0x80) {
        text += static_cast<char>(c);
    } else if (c < 0x800) {
        text += static_cast<char>(0xC0 | (c >> 6));
        text += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        text += static_cast<char>(0xE0 | (c >> 12));
        text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (c >> 18));
        text += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (c & 0x3F));
    }
}

PanelInput toggle(PanelView& panel)
{
    panel.open = !panel.open;
    panel.searching = false;
    return PanelInput::toggled;
}

}  // namespace

bool onPanel(const ViewState& view, int x, int y)
{
    return view.panel.open && inside(sidePanel, x, y);
}

PanelInput pressPanel(ViewState& view, int x, int y)
{
    PanelView& panel = view.panel;
    const bool onSearch = onPanel(view, x, y) && inside(panelSearch, x, y);
    if (!onSearch)
        panel.searching = false;
    // The toggle is there while the strip is drawn.
    if (panel.toggleShown && view.timeline.scale && inside(panelToggle, x, y))
        return toggle(panel);
    if (!onPanel(view, x, y))
        return PanelInput::notTaken;
    if (onSearch) {
        panel.searching = true;
    } else if (inside(panelTabs, x, y)) {
        panel.tab = x < panelTabs.left + panelTabs.width / 2 ? PanelTab::units : PanelTab::events;
    } else if (inside(panelList, x, y)) {
        const auto row = static_cast<std::size_t>((y - panelList.top) / panelRowHeight);
        if (row < panel.rowsShown.size())
            return choose(view, panel.rowsShown[row]);
    }
    return PanelInput::taken;
}

PanelInput panelKey(ViewState& view, const KeyPress& press, const World& world, const LogIndexData& index,
                    std::int64_t linesPlayed)
{
    PanelView& panel = view.panel;
    if (!panel.searching) {
        if (press.control || press.repeat)
            return PanelInput::notTaken;
        if (press.key == Key::tab)
            return toggle(panel);
        if (press.key != Key::slash)
            return PanelInput::notTaken;
        const bool wasOpen = panel.open;
        panel.open = true;
        panel.searching = true;
        return wasOpen ? PanelInput::taken : PanelInput::toggled;
    }
    switch (press.key) {
    case Key::escape:
        panel.search.clear();
        panel.searching = false;
        break;
    case Key::enter:
        panel.searching = false;
        return chooseFirst(view, world, index, linesPlayed);
    case Key::backspace:
        eraseLast(panel.search);
        break;
    default:
        // Control characters and what Control or Alt makes of a key are no text.
        if (press.text >= 0x20 && press.text != 0x7F && press.text <= 0x10FFFF
            && !(press.text >= 0xD800 && press.text <= 0xDFFF) && !press.control)
            appendUtf8(panel.search, press.text);
        break;
    }
    return PanelInput::taken;
}

void scrollPanel(PanelView& panel, int notches)
{
    ListPlace& place = panel.places[static_cast<std::size_t>(panel.tab)];
    const auto moved = static_cast<std::int64_t>(place.topRow) - std::int64_t{notches} * rowsPerNotch;
    place.topRow = static_cast<std::size_t>(std::max<std::int64_t>(moved, 0));
    place.topKey.reset();
    place.scrolled = true;
}

double eventSeekTarget(double t)
{
    return t < eventLeadS ? t : t - eventLeadS;
}

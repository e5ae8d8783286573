// The side panel, top to bottom: the tabs, the search line, then the list, of which only the rows in view are built
// into drawing calls; a log of 100,000 events costs a frame the events in view and a binary search.
// Relies on the panel's rows (view/panel_rows.h), the side and mark colours and the status bars of the map's labels.
#include "view/panel.h"

#include <algorithm>

#include "view/frame.h"
#include "view/frame_layout.h"
#include "view/kept_text.h"
#include "view/panel_rows.h"
#include "view/timeline.h"
#include "view/units.h"

namespace {

constexpr ARGB background = 0xFF181818;
constexpr ARGB tabShown = 0xFF404040;
constexpr ARGB tabText = 0xFFFFFFFF;
constexpr ARGB tabTextAside = 0xFF909090;
constexpr ARGB searchBox = 0xFF000000;
constexpr ARGB searchBoxActive = 0xFF203040;
constexpr ARGB searchHint = 0xFF808080;
constexpr ARGB sideRow = 0xFF2C2C2C;
constexpr ARGB pinnedRow = 0xFF34343C;
constexpr ARGB currentRow = 0xFF1E4A4A;
constexpr ARGB destroyedText = 0xFF7C7C7C;
constexpr ARGB timeText = 0xFFB0B0B0;
constexpr float eventTextLeft = panelTextLeft + 40;  // after the event's time

std::size_t lastTop(std::size_t rows)
{
    return rows > static_cast<std::size_t>(panelRowsInView) ? rows - panelRowsInView : 0;
}

float rowTop(std::size_t inView)
{
    return static_cast<float>(panelList.top + static_cast<int>(inView) * panelRowHeight);
}

void drawTabs(Surface& surface, KeptText& texts, const Font& font, PanelTab shown)
{
    const int half = panelTabs.width / 2;
    int left = panelTabs.left;
    for (PanelTab tab : {PanelTab::units, PanelTab::events}) {
        const bool isShown = tab == shown;
        if (isShown)
            surface.fillRectI(Brush::solid(tabShown), left, panelTabs.top, half, panelTabs.height);
        texts.draw(surface, tab == PanelTab::units ? "Units" : "Events", font, static_cast<float>(left + 8),
                   static_cast<float>(panelTabs.top + 6), Brush::solid(isShown ? tabText : tabTextAside));
        left += half;
    }
}

void drawSearch(Surface& surface, KeptText& texts, const Font& font, const PanelView& panel)
{
    surface.fillRectI(Brush::solid(panel.searching ? searchBoxActive : searchBox), panelSearch.left, panelSearch.top,
                      panelSearch.width, panelSearch.height);
    const float x = static_cast<float>(panelSearch.left + 3);
    const float y = static_cast<float>(panelSearch.top + 2);
    if (panel.search.empty() && !panel.searching)
        texts.draw(surface, "/ to search", font, x, y, Brush::solid(searchHint));
    else
        surface.drawText(panel.searching ? panel.search + "|" : panel.search, font, x, y, Brush::solid(tabText));
}

// The row to show at the top: the kept row while it is listed, else the row number it had; never so low that the
// view is not full.
std::size_t unitsTop(ListPlace& place, const std::vector<PanelRow>& rows)
{
    std::size_t top = place.topRow;
    if (place.topKey) {
        auto kept =
            std::find_if(rows.begin(), rows.end(), [&](const PanelRow& row) { return row.key == *place.topKey; });
        if (kept != rows.end())
            top = static_cast<std::size_t>(kept - rows.begin());
    }
    top = std::min(top, lastTop(rows.size()));
    place.topRow = top;
    place.topKey = rows.empty() ? std::nullopt : std::optional<std::uint64_t>(rows[top].key);
    return top;
}

void drawUnits(Surface& surface, KeptText& texts, const Font& font, const World& world, PanelView& panel,
               const UnitMarks& marks, const PanelModel& model)
{
    const std::vector<PanelRow> rows = unitRows(world, *model.index, model.linesPlayed, panel.search);
    const std::size_t top = unitsTop(panel.places[static_cast<std::size_t>(PanelTab::units)], rows);
    for (std::size_t i = top; i < rows.size() && i < top + panelRowsInView; ++i) {
        const PanelRow& row = rows[i];
        const float y = rowTop(i - top);
        PanelRowTarget target;
        switch (row.kind) {
        case PanelRowKind::side:
            surface.fillRectI(Brush::solid(sideRow), sidePanel.left, static_cast<int>(y), sidePanel.width,
                              panelRowHeight);
            texts.draw(surface, sideText(row), font, panelTextLeft, y, Brush::solid(sideColour(row.side)));
            break;
        case PanelRowKind::unit:
        case PanelRowKind::passenger: {
            target.unit = row.unit->serial;
            if (marks.isPinned(*row.unit))
                surface.fillRectI(Brush::solid(pinnedRow), sidePanel.left, static_cast<int>(y), sidePanel.width,
                                  panelRowHeight);
            const float x = panelTextLeft + (row.kind == PanelRowKind::passenger ? panelIndent : 0);
            texts.draw(surface, unitName(*row.unit), font, x, y, Brush::solid(sideColour(row.side)));
            drawStatusBar(surface, *row.unit, panelBarLeft, y + panelRowHeight / 2.0f);
            break;
        }
        case PanelRowKind::destroyed: {
            texts.draw(surface, row.mark->name, font, panelTextLeft, y, Brush::solid(destroyedText));
            const std::string time = logTimeText(row.mark->t);
            const float width = texts.measure(surface, time, font, rectF(textMeasureBox)).Width;
            texts.draw(surface, time, font, panelTimeRight - width, y, Brush::solid(destroyedText));
            break;
        }
        }
        panel.rowsShown.push_back(target);
    }
}

// The events list keeps the place it was scrolled to, or else the current event in view.
std::size_t eventsTop(ListPlace& place, const std::vector<std::uint32_t>& rows, std::optional<std::uint32_t> current)
{
    std::size_t top = place.topRow;
    if (!place.scrolled) {
        // The current event, or the last row before it that the search lets through, at the bottom of the view.
        const auto upTo = current ? std::upper_bound(rows.begin(), rows.end(), *current) - rows.begin() : 0;
        top = lastTop(static_cast<std::size_t>(upTo));
    } else if (place.topKey) {
        top = static_cast<std::size_t>(std::lower_bound(rows.begin(), rows.end(), *place.topKey) - rows.begin());
    }
    top = std::min(top, lastTop(rows.size()));
    place.topRow = top;
    place.topKey = rows.empty() ? std::nullopt : std::optional<std::uint64_t>(rows[top]);
    return top;
}

void drawEvents(Surface& surface, KeptText& texts, const Font& font, PanelView& panel, const PanelModel& model)
{
    const LogIndexData& index = *model.index;
    FilteredEvents& filtered = panel.filtered;
    if (filtered.index != model.index || filtered.search != panel.search) {
        filtered.marks = eventRows(index, panel.search);
        filtered.index = model.index;
        filtered.search = panel.search;
    }
    const std::vector<std::uint32_t>& rows = filtered.marks;
    const std::optional<std::uint32_t> current = currentEvent(index, model.linesPlayed);
    const std::size_t top = eventsTop(panel.places[static_cast<std::size_t>(PanelTab::events)], rows, current);
    for (std::size_t i = top; i < rows.size() && i < top + panelRowsInView; ++i) {
        const LogMark& mark = index.marks[rows[i]];
        const float y = rowTop(i - top);
        if (current && rows[i] == *current)
            surface.fillRectI(Brush::solid(currentRow), sidePanel.left, static_cast<int>(y), sidePanel.width,
                              panelRowHeight);
        texts.draw(surface, logTimeText(mark.t), font, panelTextLeft, y, Brush::solid(timeText));
        texts.draw(surface, eventText(mark), font, eventTextLeft, y, Brush::solid(markColour(mark)));
        panel.rowsShown.push_back({std::nullopt, mark.t});
    }
}

}  // namespace

int composedWidth(const PanelView& panel)
{
    return panel.open ? openFrameWidth : frameWidth;
}

void drawPanel(const FrameCanvas& canvas, const World& world, PanelView& panel, const UnitMarks& marks,
               const PanelModel& model)
{
    Surface surface(canvas.dc, canvas.fit);
    KeptText& texts = canvas.caches.texts;
    const Font& font = texts.font("Arial", 8);
    surface.fillRectI(Brush::solid(background), sidePanel.left, sidePanel.top, sidePanel.width, sidePanel.height);
    drawTabs(surface, texts, font, panel.tab);
    drawSearch(surface, texts, font, panel);
    panel.rowsShown.clear();
    if (panel.tab == PanelTab::units)
        drawUnits(surface, texts, font, world, panel, marks, model);
    else
        drawEvents(surface, texts, font, panel, model);
}

void drawPanelToggle(const FrameCanvas& canvas, bool open)
{
    Surface surface(canvas.dc, canvas.fit);
    surface.fillRectI(Brush::solid(tabShown), panelToggle.left, panelToggle.top, panelToggle.width, panelToggle.height);
    // A triangle of lines: pointing right to open the panel, left to close it.
    const Pen pen(tabText, 1);
    const float middle = static_cast<float>(panelToggle.top) + panelToggle.height / 2.0f;
    const float near = static_cast<float>(panelToggle.left + 4);
    const float far = static_cast<float>(panelToggle.right() - 4);
    const float tip = open ? near : far;
    const float base = open ? far : near;
    for (float dy = 0; dy <= 3; ++dy)
        surface.drawLine(pen, base, middle - 3 + dy, tip, middle);
    for (float dy = 0; dy <= 3; ++dy)
        surface.drawLine(pen, base, middle + 3 - dy, tip, middle);
}

// The frame's geometry: where every part of the frame lies, in frame pixels, named once; a place that follows from
// another is written from it. The frame is composed at this size and placed in the window by the fit
// (view/frame_fit.h). What is laid out from measured texts (the buttons, the strip's text row) starts from here.
#pragma once

#include "seam/gdiplus_flat.h"

// A region of the frame: right and bottom are exclusive.
struct FrameRegion {
    int left;
    int top;
    int width;
    int height;
    constexpr int right() const { return left + width; }
    constexpr int bottom() const { return top + height; }
};

// The region as a layout rectangle for measuring text.
constexpr GpRectF rectF(const FrameRegion& region)
{
    return {static_cast<REAL>(region.left), static_cast<REAL>(region.top), static_cast<REAL>(region.width),
            static_cast<REAL>(region.height)};
}

// [SECTION] The regions, top to bottom

// The frame composed into the back buffer, while the side panel is closed; open, it is openFrameWidth wide.
constexpr int frameWidth = 400;
constexpr int frameHeight = 455;

constexpr int controlBarHeight = 25;
constexpr int timelineHeight = 30;

// The map area: the map picture, the units and the texts over them. The transform spreads a map's full width and
// height over the area's (view/transform.cpp).
constexpr FrameRegion mapArea{0, controlBarHeight, 400, 400};
// The control bar above the map and the timeline strip below it, across the map's columns.
constexpr FrameRegion controlBar{mapArea.left, 0, mapArea.width, controlBarHeight};
constexpr FrameRegion timelineStrip{mapArea.left, mapArea.bottom(), mapArea.width, timelineHeight};

static_assert(controlBar.bottom() == mapArea.top && timelineStrip.bottom() == frameHeight,
              "the control bar, the map area and the timeline strip fill the frame's height");
static_assert(mapArea.left == 0 && mapArea.right() == frameWidth, "the map area spans the frame's width");

// [SECTION] The control bar's buttons

// Laid out left to right from their labels' measured sizes (view/control_bar.cpp): the first label starts at
// buttonsLeft, every later one buttonGap after the one before it ends ("<<" one pixel further).
constexpr int buttonsLeft = controlBar.left + 3;
constexpr int buttonTop = controlBar.top + 4;  // the top of every hit rectangle
constexpr int buttonGap = 10;
// The labels are measured in this box: nothing wider than the bar counts.
constexpr FrameRegion buttonMeasureBox{0, 0, controlBar.width, 20};

// [SECTION] The timeline strip

// The strip's rows, as its drawing and the pointer's hits use them.
constexpr int timelineTop = timelineStrip.top;
constexpr int timelineBottom = timelineStrip.bottom();  // exclusive
// The bar runs across the strip at a small margin from both sides, the text row below it. The width at the bar's
// right end is kept for what is still unscanned.
constexpr int barLeft = timelineStrip.left + 4;
constexpr int barRight = timelineStrip.right() - 4;  // exclusive
constexpr int barTop = timelineTop + 3;
constexpr int barHeight = 10;
constexpr int timelineTextTop = barTop + barHeight + 2;
constexpr float unscannedWidth = 40;

// [SECTION] The texts over the map

// Texts are measured in a box of the map area's size: a longer one wraps as it would across the map.
constexpr FrameRegion textMeasureBox{0, 0, mapArea.width, mapArea.height};

// The margin that the texts keep from the map's left and right edges.
constexpr int textMargin = 10;
// The rows at the top of the map: the speed readout, the status message and the configured title on the first, the
// clock on the second. A text stands one text height below its row's top.
constexpr int firstTextRow = mapArea.top;
constexpr int secondTextRow = mapArea.top + 20;
// The status message starts right of where the speed readout usually ends.
constexpr int statusLeft = mapArea.left + 60;
// The map's name ends textMargin from the map's right edge and this far above its bottom.
constexpr int mapNameAboveBottom = 20;
// The camera's overview of the whole map, at the map's right above the map's name, while zoomed in.
constexpr int overviewSide = 80;
constexpr FrameRegion overviewBox{mapArea.right() - textMargin - overviewSide, mapArea.bottom() - 45 - overviewSide,
                                  overviewSide, overviewSide};
// The chat feed at the map's lower left, six lines a chatLineHeight apart: the oldest on top, the newest 35 rows
// above the map's bottom.
constexpr int chatLineHeight = 10;
constexpr int chatTop = mapArea.bottom() - 35 - 5 * chatLineHeight;

// [SECTION] The side panel

// While it is open the panel stands right of the map, the frame's full height, and the frame is that much wider; the
// map area, the control bar and the strip stay where they are.
constexpr FrameRegion sidePanel{mapArea.right(), 0, 200, frameHeight};
constexpr int openFrameWidth = sidePanel.right();
// Top to bottom: the two tabs side by side, the search line, then the list of rows.
constexpr FrameRegion panelTabs{sidePanel.left, 0, sidePanel.width, controlBarHeight};
constexpr FrameRegion panelSearch{sidePanel.left + 2, panelTabs.bottom() + 2, sidePanel.width - 4, 16};
constexpr FrameRegion panelList{sidePanel.left, panelSearch.bottom() + 3, sidePanel.width,
                                frameHeight - panelSearch.bottom() - 3};
constexpr int panelRowHeight = 14;
constexpr int panelRowsInView = panelList.height / panelRowHeight;
constexpr int panelTextLeft = sidePanel.left + 4;
constexpr int panelIndent = 12;  // a passenger's row, under its vehicle's
// The status bar of a unit's row and the log time of a destroyed unit's or an event's, at the row's right end.
constexpr int panelBarLeft = sidePanel.right() - 36;
constexpr int panelTimeRight = sidePanel.right() - 4;
// The panel's toggle at the right end of the strip's text row; "elapsed / total" ends before it.
constexpr FrameRegion panelToggle{timelineStrip.right() - 14, timelineTextTop + 1, 12, 12};

// Frame composition: control band, map picture or title screen, overlays, units, chat feed, the timeline strip and
// the side panel, in that order.
// Relies on the drawing wrappers and the drawing steps of the view; the caller has read the calibration.
// Without a map picture the map area is cleared to black first, so nothing of an earlier world stays on screen.
#include "view/frame.h"

#include <charconv>
#include <cmath>

#include "view/control_bar.h"
#include "view/frame_layout.h"
#include "view/overlays.h"
#include "view/overview.h"
#include "view/units.h"

namespace {

constexpr ARGB black = 0xFF000000;
constexpr ARGB labelBoxWhite = 0x4BFFFFFF;
constexpr ARGB titleShadow = 0xFF646400;
constexpr ARGB titleYellow = 0xFFFFFF00;

void drawMapNameLabel(Surface& surface, KeptText& texts, const std::string& mapName)
{
    const Font& font = texts.font("Arial", 8);
    // The whole name, extension included, ends textMargin from the right and mapNameAboveBottom above the bottom of
    // the map.
    drawLabelBox(
        surface, texts, mapName, font,
        [](float w, float h) {
            return GpPointF{mapArea.right() - w - textMargin, mapArea.bottom() - mapNameAboveBottom - h};
        },
        Brush::solid(labelBoxWhite), Brush::solid(black));
}

void drawTitleScreen(Surface& surface, KeptText& texts)
{
    constexpr std::string_view title = "Tarnwatch";
    const Font& font = texts.font("Arial", 50);
    GpRectF box = texts.measure(surface, title, font, rectF(mapArea));
    // Centred on the middle of a square of the map's size at the frame's top, then lifted by the control bar's
    // height: above the middle of the map.
    float x = mapArea.left + mapArea.width / 2 - box.Width / 2;
    float y = mapArea.height / 2 - box.Height / 2 - controlBar.height;
    texts.draw(surface, title, font, x - 5, y - 5, Brush::solid(titleShadow));
    texts.draw(surface, title, font, x, y, Brush::solid(titleYellow));
}

// Black around the placed frame, over whatever strayed beyond its edges; in the back buffer's own pixels.
void clearMargins(GpDC dc, const FrameFit& fit)
{
    if (fit.identity())
        return;
    const int right =
        static_cast<int>(std::ceil(static_cast<float>(fit.left) + static_cast<float>(fit.composedWidth) * fit.scale));
    const int bottom = static_cast<int>(std::ceil(static_cast<float>(fit.top) + frameHeight * fit.scale));
    Surface surface(dc);
    const Brush margin = Brush::solid(black);
    surface.fillRectI(margin, 0, 0, fit.width, fit.top);
    surface.fillRectI(margin, 0, bottom, fit.width, fit.height - bottom);
    surface.fillRectI(margin, 0, 0, fit.left, fit.height);
    surface.fillRectI(margin, right, 0, fit.width - right, fit.height);
}

void composeLayers(const FrameCanvas& canvas, const World& world, ViewState& view, const FrameContext& context)
{
    KeptText& texts = canvas.caches.texts;
    Surface surface(canvas.dc, canvas.fit);
    const UnitSight sight{cameraView(view.camera, world.calibration),
                          view.camera.following ? view.camera.following->serial : 0};
    // Through the camera, symbols and labels near the map's edges reach over the control bar, which is then drawn
    // over them; at rest the bar comes first, as it always has.
    const bool atRest = sight.camera.identity();
    if (atRest)
        drawControlBar(canvas, view);
    // A picture covers the whole map area; without one (none named, none read, one still being decoded), the units
    // and texts of earlier frames would show through.
    if (!world.mapName || !world.mapImage || !drawMapPicture(surface, *world.mapImage, sight.camera))
        surface.fillRectI(Brush::solid(black), mapArea.left, mapArea.top, mapArea.width, mapArea.height);
    if (world.mapName) {
        drawMapNameLabel(surface, texts, *world.mapName);
    } else {
        drawTitleScreen(surface, texts);
    }
    drawOverlays(surface, texts, world, context.msPerLogSecond, context.paused);
    drawSoldiers(surface, texts, world, view.units, view.barsShown != 0, sight);
    drawVehicles(surface, canvas, world, view.units, context.programFolder, sight);
    if (overviewShown(sight.camera))
        drawOverview(surface, world, sight.camera);
    drawChatFeed(canvas, world);
    if (!atRest) {
        drawControlBar(canvas, view);
        surface.fillRectI(Brush::solid(black), timelineStrip.left, timelineStrip.top, timelineStrip.width,
                          timelineStrip.height);
    }
    if (context.timeline) {
        drawTimeline(canvas, view.timeline, *context.timeline);
        if (view.panel.toggleShown)
            drawPanelToggle(canvas, context.panel.has_value());
    } else {
        clearTimeline(canvas, view.timeline);
    }
    // Last: it covers whatever strays right of the map.
    if (context.panel)
        drawPanel(canvas, world, view.panel, view.units, *context.panel);
}

}  // namespace

void renderFrame(GpDC dc, const World& world, ViewState& view, const FrameContext& context, DrawingCaches& caches)
{
    composeLayers(FrameCanvas{dc, context.fit, caches}, world, view, context);
    clearMargins(dc, context.fit);
}

ARGB sideColour(std::int32_t side)
{
    switch (side) {
    case 0:
        return 0xFFFF0000;
    case 1:
        return 0xFFFFFF00;
    default:
        return 0xFFFFFFFF;
    }
}

void drawLabelBox(Surface& surface, KeptText& texts, std::string_view text, const Font& font,
                  const LabelPlacement& place, const Brush& box, const Brush& textBrush, LabelPlace kind)
{
    GpRectF bounds = texts.measure(surface, text, font, rectF(textMeasureBox));
    GpPointF at = place(bounds.Width, bounds.Height);
    surface.fillRect(box, at.X - 1, at.Y - 1, bounds.Width + 2, bounds.Height + 2);
    if (kind == LabelPlace::stays)
        texts.draw(surface, text, font, at.X, at.Y, textBrush);
    else
        surface.drawText(text, font, at.X, at.Y, textBrush);
}

std::string fixedDecimals(float value, int decimals)
{
    // 39 digits before the point hold the largest float.
    char text[128];
    std::to_chars_result end =
        std::to_chars(text, text + sizeof text, static_cast<double>(value), std::chars_format::fixed, decimals);
    return end.ec == std::errc{} ? std::string(text, end.ptr) : std::string();
}

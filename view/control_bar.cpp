// The control bar, drawn as the first layer of every frame: the band, then each button measured, placed,
// drawn in its pressed and hovered look, and its hit rectangle stored for the pointer handlers.
// Relies on the drawing wrappers (view/gdiplus_wrappers.h) and the buttons' flags in the view state.
#include "view/control_bar.h"

#include <algorithm>

#include "view/frame_layout.h"

namespace {

constexpr ARGB bandColour = 0xFF000064;
constexpr ARGB faceColour = 0xFF0000C8;
constexpr ARGB hoveredFaceColour = 0xFF0000FF;
constexpr ARGB backdropColour = 0xFF000000;
constexpr ARGB labelColour = 0xFF000000;

constexpr GpRectF measureBox = rectF(buttonMeasureBox);

// The whole pixels of a measured width. Measuring happens inside a box as wide as the bar, so nothing wider is real;
// the bound keeps a nonsense measure (or NaN) from overflowing the conversion.
int wholePixels(float width)
{
    return width > 0 ? static_cast<int>(std::min(width, measureBox.Width)) : 0;
}

}  // namespace

std::string_view buttonLabel(ButtonIndex button)
{
    switch (button) {
    case buttonOpen:
        return "Open";
    case buttonSlower:
        return "<<";
    case buttonFaster:
        return ">>";
    case buttonPlay:
        return "Play";
    case buttonPause:
        return "Pause";
    case buttonBars:
        return "Bars";
    case buttonCount:
        break;
    }
    return {};
}

std::array<ButtonPlace, buttonCount> layoutButtons(const std::array<LabelSize, buttonCount>& sizes)
{
    std::array<ButtonPlace, buttonCount> places{};
    int left = buttonsLeft;
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        const LabelSize& size = sizes[i];
        places[i] = {left, {left - 1.0f, buttonTop, size.width + 2, size.height + 2}};
        // "<<" starts one pixel further from "Open" than every later button from the one before it.
        left += (i == 0 ? buttonGap + 1 : buttonGap) + wholePixels(size.width);
    }
    return places;
}

void drawControlBar(const FrameCanvas& canvas, ViewState& view)
{
    Surface surface(canvas.dc, canvas.fit);
    KeptText& texts = canvas.caches.texts;
    Brush band = Brush::solid(bandColour);
    surface.fillRectI(band, controlBar.left, controlBar.top, controlBar.width, controlBar.height);

    const Font& font = texts.font("Arial", 8);
    std::array<LabelSize, buttonCount> sizes{};
    for (std::size_t i = 0; i < screenOrder.size(); ++i) {
        GpRectF box = texts.measure(surface, buttonLabel(screenOrder[i]), font, measureBox);
        sizes[i] = {box.Width, box.Height};
    }
    std::array<ButtonPlace, buttonCount> places = layoutButtons(sizes);

    Brush backdrop = Brush::solid(backdropColour);
    Brush face = Brush::solid(faceColour);
    Brush label = Brush::solid(labelColour);
    for (std::size_t i = 0; i < screenOrder.size(); ++i) {
        ControlButton& button = view.controlButtons[screenOrder[i]];
        const auto [left, hit] = places[i];
        button.hit = hit;

        // Unpressed, the face stands out 2 pixels right and down over a black strip; pressed, it sits on the hit
        // rectangle itself.
        GpPointF origin{left + 2.0f, buttonTop + 3.0f};
        if (button.pressed)
            origin = {static_cast<float>(left), buttonTop + 1.0f};
        else
            surface.fillRect(backdrop, left - 2.0f, buttonTop - 1.0f, hit.Width, hit.Height);

        face.setColour(button.hovered ? hoveredFaceColour : faceColour);
        surface.fillRect(face, origin.X - 1, origin.Y - 1, hit.Width, hit.Height);
        texts.draw(surface, buttonLabel(screenOrder[i]), font, origin.X, origin.Y, label);
    }
}

// Fonts, text sizes and drawn texts kept from frame to frame: a font of one family and size draws and measures the same
// each time it is made, a text measured with it in the same box on a fresh surface has the same size, and a text drawn
// in one solid colour at the same fraction of a pixel covers the same pixels by the same amounts, so each is made
// once. A scaled surface (a view larger or smaller than the frame) measures and draws every time.
#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "view/gdiplus_wrappers.h"

class KeptText {
public:
    KeptText();
    ~KeptText();

    // The font of the family at the size in points (as Font makes it), made at the first call.
    const Font& font(std::string_view family, float points);

    // The text's box as surface.measure() gives it on a surface fresh from the device context; a font from font()
    // remembers the sizes it measured, any other font measures every time.
    GpRectF measure(Surface& surface, std::string_view text, const Font& font, GpRectF layout);

    // Draws the text as surface.drawText() does. With a font from font() and a solid brush, the text is drawn once
    // onto a clear bitmap at the same fraction of a pixel and laid 1:1 on the surface from then on: glyph coverage
    // times colour, laid over what is there, is the sum that drawing the text there computes.
    void draw(Surface& surface, std::string_view text, const Font& font, float x, float y, const Brush& brush);

    // Releases every kept font with what it keeps; called while GDI+ still runs.
    void clear();

private:
    struct KeptFont;
    KeptFont* keptFontOf(const Font& font);

    std::vector<std::unique_ptr<KeptFont>> fonts_;
};

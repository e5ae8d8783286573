// The kept fonts, each with the sizes of the texts it measured, by text and layout box, and the texts it drew, by text,
// colour and fraction of a pixel. A measure that fails is not kept, so the surface sees the failure each time, as
// without keeping. What one font keeps is bounded: a log naming ever new units cannot make it grow without end.
#include "view/kept_text.h"

#include <cmath>
#include <memory>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

namespace {

constexpr std::size_t sizeLimit = 4096;
constexpr std::uint64_t drawnPixelLimit = 1 << 20;  // 4 MB of drawn texts a font
constexpr int margin = 8;  // around the measured box: glyphs may reach a little beyond it
constexpr int widestDrawn = 2048;
constexpr float farthest = 1e6f;  // texts drawn farther out are drawn directly

// Windows' GDI+ blends the edges of a text drawn onto a clear bitmap otherwise than those of the same text drawn in
// place (fewer pixels come out in the text's full colour), so there every text is drawn in place at every frame.
// libgdiplus composites both the same way, pixel for pixel.
#ifdef _WIN32
constexpr bool drawnTextsKept = false;
#else
constexpr bool drawnTextsKept = true;
#endif

// A text drawn onto a clear bitmap, with the offset of the bitmap from the whole-pixel part of the text's position.
struct DrawnText {
    Image bitmap;
    int left;
    int top;
    int width;
    int height;
};

}  // namespace

struct KeptText::KeptFont {
    std::string family;
    float points;
    Font font;
    std::unordered_map<std::string, GpRectF> sizes;  // by layout box and text
    std::unordered_map<std::string, DrawnText> drawn;  // by colour, fraction of a pixel and text
    std::uint64_t drawnPixels = 0;

    KeptFont(std::string_view family, float points) : family(family), points(points), font(family, points) {}
};

namespace {

std::string sizeKey(std::string_view text, GpRectF layout)
{
    std::string key(reinterpret_cast<const char*>(&layout), sizeof layout);
    key += text;
    return key;
}

// The text, measured `box` without a box to wrap in, drawn onto a clear bitmap at the fraction (fx, fy) of a pixel;
// none when it cannot be (no size, too wide).
std::optional<DrawnText> drawOnce(GpRectF box, std::string_view text, const Font& font, float fx, float fy,
                                  const Brush& brush)
{
    if (!(box.Width > 0 && box.Height > 0 && box.Width < widestDrawn && box.Height < widestDrawn))
        return std::nullopt;
    DrawnText drawn{Image::blank(static_cast<int>(std::ceil(box.Width)) + 2 * margin,
                                 static_cast<int>(std::ceil(box.Height)) + 2 * margin),
                    -margin, -margin, 0, 0};
    drawn.width = static_cast<int>(std::ceil(box.Width)) + 2 * margin;
    drawn.height = static_cast<int>(std::ceil(box.Height)) + 2 * margin;
    Surface onBitmap(drawn.bitmap);
    onBitmap.drawText(text, font, margin + fx, margin + fy, brush);
    if (onBitmap.status() != gpOk || drawn.bitmap.status() != gpOk)
        return std::nullopt;
    return drawn;
}

}  // namespace

KeptText::KeptText() = default;
KeptText::~KeptText() = default;

KeptText::KeptFont* KeptText::keptFontOf(const Font& font)
{
    for (const auto& kept : fonts_)
        if (&kept->font == &font)
            return kept.get();
    return nullptr;
}

const Font& KeptText::font(std::string_view family, float points)
{
    for (const auto& kept : fonts_)
        if (kept->family == family && kept->points == points)
            return kept->font;
    fonts_.push_back(std::make_unique<KeptFont>(family, points));
    return fonts_.back()->font;
}

GpRectF KeptText::measure(Surface& surface, std::string_view text, const Font& font, GpRectF layout)
{
    // A scaled surface lays the glyphs out at its own size, whose measure need not be the unscaled one.
    KeptFont* kept = surface.scaled() ? nullptr : keptFontOf(font);
    if (kept == nullptr)
        return surface.measure(text, font, layout);
    std::string key = sizeKey(text, layout);
    if (auto found = kept->sizes.find(key); found != kept->sizes.end())
        return found->second;
    const GpStatus before = surface.status();
    const GpRectF box = surface.measure(text, font, layout);
    // Only a measure that did not fail (the surface's kept status is unchanged) is remembered.
    if (surface.status() == before && before == gpOk) {
        if (kept->sizes.size() >= sizeLimit)
            kept->sizes.clear();
        kept->sizes.emplace(std::move(key), box);
    }
    return box;
}

void KeptText::draw(Surface& surface, std::string_view text, const Font& font, float x, float y, const Brush& brush)
{
    // On a scaled surface a kept text would be stretched, not drawn at the size it shows: it is drawn afresh.
    KeptFont* kept = surface.scaled() ? nullptr : keptFontOf(font);
    const std::optional<ARGB> colour = brush.solidColour();
    if (!drawnTextsKept || kept == nullptr || !colour || brush.status() != gpOk
        || !(std::fabs(x) < farthest && std::fabs(y) < farthest)) {
        surface.drawText(text, font, x, y, brush);
        return;
    }
    const float wholeX = std::floor(x);
    const float wholeY = std::floor(y);
    const float fx = x - wholeX;
    const float fy = y - wholeY;
    std::string key(reinterpret_cast<const char*>(&*colour), sizeof *colour);
    key.append(reinterpret_cast<const char*>(&fx), sizeof fx);
    key.append(reinterpret_cast<const char*>(&fy), sizeof fy);
    key += text;
    auto found = kept->drawn.find(key);
    if (found == kept->drawn.end()) {
        // Measured without a box to wrap in, as the text is drawn.
        const GpRectF box = measure(surface, text, font, GpRectF{0, 0, 0, 0});
        std::optional<DrawnText> drawn = drawOnce(box, text, font, fx, fy, brush);
        if (!drawn) {
            surface.drawText(text, font, x, y, brush);
            return;
        }
        const auto pixels = static_cast<std::uint64_t>(drawn->width) * static_cast<std::uint64_t>(drawn->height);
        if (kept->drawnPixels + pixels > drawnPixelLimit) {
            kept->drawn.clear();
            kept->drawnPixels = 0;
        }
        kept->drawnPixels += pixels;
        found = kept->drawn.emplace(std::move(key), std::move(*drawn)).first;
    }
    const DrawnText& drawn = found->second;
    surface.drawImage(drawn.bitmap, static_cast<int>(wholeX) + drawn.left, static_cast<int>(wholeY) + drawn.top,
                      drawn.width, drawn.height);
}

void KeptText::clear()
{
    fonts_.clear();
}

// The four text overlays at the top of the map area and the six-line chat feed at its lower left.
// Relies on the label-box rule and the side colours of the frame; reads the world values it is given.
#include "view/overlays.h"

#include <cstdio>

#include "view/frame.h"
#include "view/frame_layout.h"
#include "world/log_time.h"

std::string clockText(std::int32_t minutes, std::int32_t seconds)
{
    // The count's whole value in seconds, so one sign stands before it; 64 bits hold any pair of 32-bit numbers.
    const std::int64_t total = std::int64_t{minutes} * 60 + seconds;
    const std::int64_t size = total < 0 ? -total : total;
    char text[32];
    std::snprintf(text, sizeof text, "%s%lld:%02lld", total < 0 ? "-" : "", static_cast<long long>(size / 60),
                  static_cast<long long>(size % 60));
    return text;
}

std::optional<std::string> speedReadoutText(std::int32_t msPerLogSecond, bool paused)
{
    if (msPerLogSecond == 1000 && !paused)
        return std::nullopt;
    // Past 8x the held milliseconds are cut short; the exact length of a log second gives the speed played.
    float factor = 1e6f / static_cast<float>(logSecondUs(msPerLogSecond));
    return fixedDecimals(factor, 2) + "X" + (paused ? " Paused" : "");
}

void drawOverlays(Surface& surface, KeptText& texts, const World& world, std::int32_t msPerLogSecond, bool paused)
{
    const Font& font = texts.font("Arial", 8);
    Brush box = Brush::solid(0x4BFFFFFF);
    Brush text = Brush::solid(0xFF000000);
    if (world.statusMessage)
        drawLabelBox(
            surface, texts, *world.statusMessage, font,
            [](float, float h) {
                return GpPointF{statusLeft, firstTextRow + h};
            },
            box, text);
    if (world.configTitle)
        drawLabelBox(
            surface, texts, *world.configTitle, font,
            [](float w, float h) {
                return GpPointF{mapArea.right() - textMargin - w, firstTextRow + h};
            },
            box, text);
    // Minutes of 0 mean no clock, whatever the seconds hold.
    if (world.clockMinutes != 0)
        drawLabelBox(
            surface, texts, clockText(world.clockMinutes, world.clockSeconds), font,
            [](float w, float h) {
                return GpPointF{mapArea.right() - textMargin - w, secondTextRow + h};
            },
            box, text);
    // Drawn last of the four: a wide readout covers the start of the status message on the same row.
    if (std::optional<std::string> speed = speedReadoutText(msPerLogSecond, paused))
        drawLabelBox(
            surface, texts, *speed, font,
            [](float, float h) {
                return GpPointF{mapArea.left + textMargin, firstTextRow + h};
            },
            box, text);
}

void drawChatFeed(const FrameCanvas& canvas, const World& world)
{
    Surface surface(canvas.dc, canvas.fit);
    KeptText& texts = canvas.caches.texts;
    const Font& font = texts.font("Lucida Sans Unicode", 6);
    // Slot 1 holds the oldest line at the feed's top, each later slot the next row; an empty slot leaves its row empty.
    for (int slot = 6; slot >= 1; --slot) {
        const std::optional<ChatLine>& line = world.chatLines[slot - 1];
        if (!line)
            continue;
        float y = static_cast<float>(chatTop + chatLineHeight * (slot - 1));
        texts.draw(surface, line->text, font, mapArea.left + textMargin, y, Brush::solid(sideColour(line->side)));
    }
}

// The text overlays (status message, title, clock, speed readout) and the chat feed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "view/frame_canvas.h"
#include "world/world_model.h"

void drawOverlays(Surface& surface, KeptText& texts, const World& world, std::int32_t msPerLogSecond, bool paused);
// Opens its own surface on the device context; newest slot first, no boxes.
void drawChatFeed(const FrameCanvas& canvas, const World& world);

// "minutes:seconds" with two-digit seconds and one sign for the whole: "19:09", "-1:40", "-0:15". The overlay shows
// no clock while the minutes are 0.
std::string clockText(std::int32_t minutes, std::int32_t seconds);
// The speed factor with two decimals, "X" and " Paused" when paused; none at the normal speed, running.
std::optional<std::string> speedReadoutText(std::int32_t msPerLogSecond, bool paused);

// The speed steps and the order in which a release looks at the pressed buttons: Pause before Play, unlike
// on screen, and the first pressed button acts alone.
#include "controls/playback_controls.h"

#include <algorithm>
#include <array>

#include "world/log_time.h"

namespace {

constexpr std::int32_t fastestMsPerLogSecond = 125;
constexpr std::int32_t slowestMsPerLogSecond = 4000;
constexpr std::int64_t fastestKeyUs = 15'625;
constexpr std::int64_t slowestKeyUs = 8'000'000;

constexpr std::array<ButtonIndex, buttonCount> releaseOrder{buttonOpen,  buttonSlower, buttonFaster,
                                                            buttonPause, buttonPlay,   buttonBars};

}  // namespace

std::int32_t slowerSpeed(std::int32_t msPerLogSecond)
{
    if (msPerLogSecond > slowestMsPerLogSecond)
        return msPerLogSecond;
    return static_cast<std::int32_t>(
        std::clamp<std::int64_t>(std::int64_t{msPerLogSecond} * 2, fastestMsPerLogSecond, slowestMsPerLogSecond));
}

std::int32_t fasterSpeed(std::int32_t msPerLogSecond)
{
    if (msPerLogSecond < fastestMsPerLogSecond)
        return msPerLogSecond;
    return std::clamp(msPerLogSecond / 2, fastestMsPerLogSecond, slowestMsPerLogSecond);
}

// Stepped in microseconds, where every speed is exact, so that going past 8x and back lands on the same speeds.
std::int32_t slowerKeySpeed(std::int32_t msPerLogSecond)
{
    return static_cast<std::int32_t>(std::min(logSecondUs(msPerLogSecond) * 2, slowestKeyUs) / 1000);
}

std::int32_t fasterKeySpeed(std::int32_t msPerLogSecond)
{
    return static_cast<std::int32_t>(std::max(logSecondUs(msPerLogSecond) / 2, fastestKeyUs) / 1000);
}

std::optional<ButtonIndex> actingButton(const ViewState& view)
{
    for (ButtonIndex button : releaseOrder)
        if (view.controlButtons[button].pressed)
            return button;
    return std::nullopt;
}

// The frame's fit in the client area: the factor min(width / composedWidth, height / frameHeight), the frame centred on
// whole pixels so that an integer factor keeps every frame pixel on a block of whole window pixels.
#include "view/frame_fit.h"

#include <algorithm>
#include <cmath>

FrameFit fitFrame(int clientWidth, int clientHeight, int composedWidth)
{
    FrameFit fit;
    fit.composedWidth = composedWidth;
    fit.width = std::max(clientWidth, 0);
    fit.height = std::max(clientHeight, 0);
    if (fit.width == 0 || fit.height == 0)
        return fit;
    fit.scale = std::min(static_cast<float>(fit.width) / static_cast<float>(composedWidth),
                         static_cast<float>(fit.height) / frameHeight);
    fit.left = static_cast<int>(
        std::floor((static_cast<float>(fit.width) - static_cast<float>(composedWidth) * fit.scale) / 2));
    fit.top = static_cast<int>(std::floor((static_cast<float>(fit.height) - frameHeight * fit.scale) / 2));
    return fit;
}

FramePoint framePointAt(const FrameFit& fit, int x, int y)
{
    // In double: a window coordinate of up to 32 bits divided by a small factor stays exact enough to floor.
    auto back = [&fit](int window, int offset) {
        const double frame = std::floor((window + 0.5 - offset) / static_cast<double>(fit.scale));
        return static_cast<int>(std::clamp(frame, -1e9, 1e9));
    };
    return {back(x, fit.left), back(y, fit.top)};
}

FramePointF exactFramePoint(const FrameFit& fit, int x, int y)
{
    return {(x + 0.5 - fit.left) / static_cast<double>(fit.scale),
            (y + 0.5 - fit.top) / static_cast<double>(fit.scale)};
}

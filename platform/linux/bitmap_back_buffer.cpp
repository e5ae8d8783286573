// Builds the back buffer as a 32-bit RGB GDI+ bitmap that starts black, and keeps a device context on it; made again,
// black, at each new size of the window's client area. Surfaces opened with GdipCreateFromHDC on that context draw
// into the bitmap's pixels.
#include "platform/linux/shared.h"
#include "view/frame_layout.h"

#include <algorithm>

namespace {

struct BackBuffer {
    GpBitmap* bitmap = nullptr;
    GpGraphics* graphics = nullptr;
    GpDC dc = nullptr;
    int width = 0;
    int height = 0;
};

BackBuffer made(int width, int height)
{
    BackBuffer buffer;
    buffer.width = width;
    buffer.height = height;
    GdipCreateBitmapFromScan0(width, height, 0, gpPixelFormat32bppRGB, nullptr, &buffer.bitmap);
    GdipGetImageGraphicsContext(reinterpret_cast<GpImage*>(buffer.bitmap), &buffer.graphics);
    GdipGetDC(buffer.graphics, &buffer.dc);
    return buffer;
}

BackBuffer& backBuffer()
{
    static BackBuffer buffer = made(frameWidth, frameHeight);
    return buffer;
}

}  // namespace

GpBitmap* backBufferBitmap()
{
    return backBuffer().bitmap;
}

GpDC bitmapBackBufferDC()
{
    return backBuffer().dc;
}

GpRect backBufferRect()
{
    const BackBuffer& buffer = backBuffer();
    return {0, 0, buffer.width, buffer.height};
}

bool bitmapBackBufferPixels(std::vector<std::uint32_t>& pixels)
{
    pixels.clear();
    const GpRect whole = backBufferRect();
    GpBitmapData data{};
    if (GdipBitmapLockBits(backBufferBitmap(), &whole, gpImageLockModeRead, gpPixelFormat32bppRGB, &data) != gpOk)
        return false;
    const auto* rows = static_cast<const std::uint32_t*>(data.Scan0);
    pixels.resize(static_cast<std::size_t>(whole.Width) * static_cast<std::size_t>(whole.Height));
    for (int y = 0; y < whole.Height; ++y)
        std::copy_n(rows + static_cast<std::ptrdiff_t>(y) * (data.Stride / 4), whole.Width,
                    pixels.begin() + static_cast<std::ptrdiff_t>(y) * whole.Width);
    GdipBitmapUnlockBits(backBufferBitmap(), &data);
    return true;
}

void resizeBitmapBackBuffer(int width, int height)
{
    // A window with no pixels keeps a buffer of one: there is always a bitmap to draw into.
    width = std::max(width, 1);
    height = std::max(height, 1);
    BackBuffer& buffer = backBuffer();
    if (buffer.width == width && buffer.height == height)
        return;
    BackBuffer fresh = made(width, height);
    if (fresh.dc == nullptr) {
        if (fresh.graphics != nullptr)
            GdipDeleteGraphics(fresh.graphics);
        if (fresh.bitmap != nullptr)
            GdipDisposeImage(reinterpret_cast<GpImage*>(fresh.bitmap));
        return;
    }
    GdipReleaseDC(buffer.graphics, buffer.dc);
    GdipDeleteGraphics(buffer.graphics);
    GdipDisposeImage(reinterpret_cast<GpImage*>(buffer.bitmap));
    buffer = fresh;
}

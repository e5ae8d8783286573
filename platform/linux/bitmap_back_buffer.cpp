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

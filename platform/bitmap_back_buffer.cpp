// Builds the back buffer as a 32-bit RGB GDI+ bitmap that starts black, and keeps a device context on it.
// Surfaces opened with GdipCreateFromHDC on that context draw into the bitmap's pixels.
#include "platform/linux_shared.h"

namespace {

struct BackBuffer {
    GpBitmap* bitmap = nullptr;
    GpGraphics* graphics = nullptr;
    GpDC dc = nullptr;
};

BackBuffer& backBuffer()
{
    static BackBuffer buffer = [] {
        BackBuffer made;
        GdipCreateBitmapFromScan0(frameWidth, frameHeight, 0, gpPixelFormat32bppRGB, nullptr, &made.bitmap);
        GdipGetImageGraphicsContext(reinterpret_cast<GpImage*>(made.bitmap), &made.graphics);
        GdipGetDC(made.graphics, &made.dc);
        return made;
    }();
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

// Builds the back buffer as a 32-bit RGB GDI+ bitmap over pixels of its own that start black, and keeps a device
// context on it; made again, black, at each new size of the window's client area. Surfaces opened with
// GdipCreateFromHDC on that context draw into those pixels, which the window copies from without locking the bitmap.
#include "platform/linux/shared.h"
#include "view/frame_layout.h"

#include <algorithm>
#include <memory>

namespace {

struct BackBuffer {
    std::shared_ptr<std::uint32_t[]> pixels;  // rows of `width` pixels, top first, which the bitmap draws into
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
    buffer.pixels =
        std::make_shared<std::uint32_t[]>(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    GdipCreateBitmapFromScan0(width, height, width * 4, gpPixelFormat32bppRGB,
                              reinterpret_cast<std::uint8_t*>(buffer.pixels.get()), &buffer.bitmap);
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

const std::uint32_t* backBufferRows()
{
    return backBuffer().pixels.get();
}

bool bitmapBackBufferPixels(std::vector<std::uint32_t>& pixels)
{
    const BackBuffer& buffer = backBuffer();
    pixels.resize(static_cast<std::size_t>(buffer.width) * static_cast<std::size_t>(buffer.height));
    // Opaque, as the bitmap gives its pixels: the byte above the colour is left undefined in its memory.
    std::transform(buffer.pixels.get(), buffer.pixels.get() + pixels.size(), pixels.begin(),
                   [](std::uint32_t pixel) { return pixel | 0xFF000000U; });
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

// Pictures for the tests: PNG files made through the GDI+ bitmap and PNG encoder, and reads of the back buffer.
// Relies on GDI+ having been started by the test program's entry.
#include "tests/pictures.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/headless/headless.h"
#include "view/gdiplus_wrappers.h"
#include "view/transform.h"
#include "world/world_model.h"

bool writePicture(const std::string& path, int width, int height, const std::function<ARGB(int x, int y)>& colour)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    GpBitmap* bitmap = nullptr;
    if (GdipCreateBitmapFromScan0(width, height, 0, gpPixelFormat32bppARGB, nullptr, &bitmap) != gpOk)
        return false;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            GdipBitmapSetPixel(bitmap, x, y, colour(x, y));
    auto* image = reinterpret_cast<GpImage*>(bitmap);
    bool saved = GdipSaveImageToFile(image, widen(path).c_str(), &gpPngEncoder, nullptr) == gpOk;
    GdipDisposeImage(image);
    return saved;
}

bool writePicture(const std::string& path, int width, int height, ARGB colour)
{
    return writePicture(path, width, height, [colour](int, int) { return colour; });
}

std::string readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void fillBackBuffer(ARGB colour)
{
    Surface surface(backBufferDC());
    surface.fillRectI(Brush::solid(colour), 0, 0, frameWidth, frameHeight);
}

FrameCanvas backBufferCanvas()
{
    return FrameCanvas{backBufferDC(), FrameFit{}, app::viewer().caches};
}

GpRectF measureText(std::string_view text, std::string_view family, float points)
{
    Surface surface(backBufferDC());
    Font font(family, points);
    return surface.measure(text, font, rectF(textMeasureBox));
}

ColourExtent findColour(ARGB colour, int x, int y, int width, int height)
{
    ColourExtent extent;
    for (int row = y; row < y + height; ++row) {
        for (int column = x; column < x + width; ++column) {
            if (headless::pixel(column, row) != colour)
                continue;
            if (extent.count == 0) {
                extent.left = extent.right = column;
                extent.top = extent.bottom = row;
            }
            extent.left = std::min(extent.left, column);
            extent.right = std::max(extent.right, column);
            extent.top = std::min(extent.top, row);
            extent.bottom = std::max(extent.bottom, row);
            ++extent.count;
        }
    }
    return extent;
}

ColourExtent findColour(ARGB colour, const FrameRegion& region)
{
    return findColour(colour, region.left, region.top, region.width, region.height);
}

int countTinted(ARGB colour, int x, int y, int width, int height)
{
    int count = 0;
    for (int row = y; row < y + height; ++row) {
        for (int column = x; column < x + width; ++column) {
            ARGB pixel = headless::pixel(column, row);
            bool tinted = true;
            for (int shift : {16, 8, 0}) {
                unsigned channel = (pixel >> shift) & 0xFF;
                tinted = tinted && (((colour >> shift) & 0xFF) != 0 ? channel >= 0x80 : channel <= 0x40);
            }
            count += tinted;
        }
    }
    return count;
}

void ViewTest::SetUp()
{
    KeloTest::SetUp();
    fillBackBuffer(0xFF000000);
    app::viewer().world.calibration.scaleX = 400;
    app::viewer().world.calibration.scaleY = 400;
}

ARGB ViewTest::pixelAt(float x, float y, int dx, int dy)
{
    ScreenPoint point = worldToScreen(app::viewer().world.calibration, x, y);
    return headless::pixel(static_cast<int>(point.x) + dx, static_cast<int>(point.y) + dy);
}

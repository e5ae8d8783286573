// The colour key, in bulk where the bitmap's pixels can be locked as 32-bit ARGB, else pixel by pixel.
// Relies on view/bitmap_pixels.h and the Image wrapper's pixel reads and writes.
#include "view/colour_key.h"

#include "view/bitmap_pixels.h"

namespace {

constexpr ARGB clear = 0x00000000;

bool keyInBulk(Image& bitmap, ARGB key)
{
    PixelLock pixels(bitmap);
    if (!pixels.locked())
        return false;
    for (int y = 0; y < pixels.height(); ++y) {
        ARGB* row = pixels.row(y);
        for (int x = 0; x < pixels.width(); ++x) {
            if (row[x] == key)
                row[x] = clear;
        }
    }
    return true;
}

}  // namespace

void keyPixelByPixel(Image& bitmap, ARGB key)
{
    for (int x = 0;; ++x) {
        for (int y = 0;; ++y) {
            ARGB colour = 0;
            if (!bitmap.pixel(x, y, colour)) {
                if (y == 0)
                    return;
                break;
            }
            if (colour == key)
                bitmap.setPixel(x, y, clear);
        }
    }
}

void applyColourKey(Image& bitmap, ARGB key)
{
    // GDI+ and libgdiplus refuse to set a pixel of palette indices, so the key would read every pixel for nothing:
    // seconds for a picture of many megapixels.
    int format = 0;
    if (bitmap.get() == nullptr || GdipGetImagePixelFormat(bitmap.get(), &format) != gpOk
        || (format & gpPixelFormatIndexed) != 0)
        return;
    if (!keyInBulk(bitmap, key))
        keyPixelByPixel(bitmap, key);
}

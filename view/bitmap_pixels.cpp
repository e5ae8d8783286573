// Bitmap pixel access: sizes and the scoped 32-bit lock over the rows of a bitmap.
// Relies on the lock-bits record of seam/gdiplus_flat.h, which leaves libgdiplus the room it writes into.
#include "view/bitmap_pixels.h"

#include <cstddef>

namespace {

constexpr unsigned lockReadWrite = gpImageLockModeRead | gpImageLockModeWrite;

}  // namespace

std::uint64_t pixelCount(const Image& image)
{
    const GpRect bounds = pictureBounds(image);
    return std::uint64_t(bounds.Width) * std::uint64_t(bounds.Height);
}

GpRect pictureBounds(const Image& image)
{
    unsigned width = 0;
    unsigned height = 0;
    if (image.get() == nullptr || GdipGetImageWidth(image.get(), &width) != gpOk
        || GdipGetImageHeight(image.get(), &height) != gpOk)
        return GpRect{0, 0, 0, 0};
    return GpRect{0, 0, static_cast<int>(width), static_cast<int>(height)};
}

PixelLock::PixelLock(Image& bitmap) : PixelLock(bitmap, 0, -1, PixelForm::argb, true)
{
}

PixelLock::PixelLock(Image& bitmap, int top, int rows, PixelForm form, bool writing)
{
    int format = 0;
    if (!bitmap.isRasterBitmap() || GdipGetImagePixelFormat(bitmap.get(), &format) != gpOk
        || (writing && (format & gpPixelFormatIndexed) != 0))
        return;
    const GpRect bounds = pictureBounds(bitmap);
    // Rows of -1: all of them.
    if (rows < 0)
        rows = bounds.Height;
    if (top < 0 || rows <= 0 || top >= bounds.Height || rows > bounds.Height - top)
        return;
    bitmap_ = reinterpret_cast<GpBitmap*>(bitmap.get());
    GpRect area{0, top, bounds.Width, rows};
    const int lockFormat = form == PixelForm::argb ? gpPixelFormat32bppARGB : gpPixelFormat32bppPARGB;
    const unsigned mode = writing ? lockReadWrite : gpImageLockModeRead;
    locked_ = GdipBitmapLockBits(bitmap_, &area, mode, lockFormat, &data_) == gpOk;
}

PixelLock::~PixelLock()
{
    if (locked_)
        GdipBitmapUnlockBits(bitmap_, &data_);
}

ARGB* PixelLock::row(int y) const
{
    auto* first = static_cast<std::uint8_t*>(data_.Scan0);
    return reinterpret_cast<ARGB*>(first + static_cast<std::ptrdiff_t>(y) * data_.Stride);
}

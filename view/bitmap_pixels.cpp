// Bitmap pixel access: sizes and the scoped 32-bit ARGB lock over the whole bitmap.
// Relies on the lock-bits record of platform/gdiplus_flat.h, which leaves libgdiplus the room it writes into.
#include "view/bitmap_pixels.h"

#include <cstddef>

namespace {

constexpr unsigned lockReadWrite = gpImageLockModeRead | gpImageLockModeWrite;

}  // namespace

std::uint64_t pixelCount(const Image& image)
{
    unsigned width = 0;
    unsigned height = 0;
    if (image.get() == nullptr || GdipGetImageWidth(image.get(), &width) != gpOk
        || GdipGetImageHeight(image.get(), &height) != gpOk)
        return 0;
    return std::uint64_t{width} * height;
}

PixelLock::PixelLock(Image& bitmap)
{
    int format = 0;
    if (!bitmap.isRasterBitmap() || GdipGetImagePixelFormat(bitmap.get(), &format) != gpOk
        || (format & gpPixelFormatIndexed) != 0)
        return;
    unsigned width = 0;
    unsigned height = 0;
    if (GdipGetImageWidth(bitmap.get(), &width) != gpOk || GdipGetImageHeight(bitmap.get(), &height) != gpOk)
        return;
    bitmap_ = reinterpret_cast<GpBitmap*>(bitmap.get());
    GpRect all{0, 0, static_cast<int>(width), static_cast<int>(height)};
    locked_ = GdipBitmapLockBits(bitmap_, &all, lockReadWrite, gpPixelFormat32bppARGB, &data_) == gpOk;
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

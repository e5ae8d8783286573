// Pixel access to a bitmap beyond the Image wrapper: its size, and a scoped lock of its rows as 32-bit colours for
// reading or writing, written back when the lock ends. Relies on the GDI+ flat API's lock bits.
#pragma once

#include <cstdint>

#include "view/gdiplus_wrappers.h"

// Width times height; 0 without an image.
std::uint64_t pixelCount(const Image& image);
// Its width and height at (0, 0); all 0 without an image.
GpRect pictureBounds(const Image& image);

class PixelLock {
public:
    // Locks every pixel as 32-bit ARGB for reading and writing, or nothing: no image, no raster bitmap, or one of
    // palette indices (GDI+ cannot be trusted to write 32-bit colours back into a palette as they were written).
    explicit PixelLock(Image& bitmap);
    // Locks the rows from `top` on, `rows` of them, in the form given, for reading or for writing (which a bitmap of
    // palette indices refuses as above); nothing when the rows are not all in the bitmap.
    PixelLock(Image& bitmap, int top, int rows, PixelForm form, bool writing);
    ~PixelLock();
    PixelLock(const PixelLock&) = delete;
    PixelLock& operator=(const PixelLock&) = delete;

    bool locked() const { return locked_; }
    int width() const { return static_cast<int>(data_.Width); }
    int height() const { return static_cast<int>(data_.Height); }
    ARGB* row(int y) const;

private:
    GpBitmap* bitmap_ = nullptr;
    GpBitmapData data_{};
    bool locked_ = false;
};

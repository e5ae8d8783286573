// libFuzzer target: a picture file of arbitrary bytes through the header reader, the size guard, both loaders and
// the colour key. The header read from a part of the bytes that it did not run past is the header of them all;
// the guard refuses what the header says is too large; a decoded bitmap is within the bounds, keeps no pixel of the
// key once keyed and no palette once dropped. The file is written anew for every input.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/scratch_folder.h"
#include "platform/headless/headless.h"
#include "view/bitmap_pixels.h"
#include "view/colour_key.h"
#include "view/picture_guard.h"
#include "view/picture_header.h"

namespace {

bool sameHeader(const PictureHeader& a, const PictureHeader& b)
{
    return a.format == b.format && a.sized == b.sized && a.truncated == b.truncated && a.width == b.width
        && a.height == b.height && a.pixels == b.pixels && a.colours == b.colours && a.firstImage == b.firstImage;
}

// The pixels of a bitmap small enough to read back whole; none for a larger one.
std::vector<ARGB> smallPixels(Image& bitmap)
{
    std::vector<ARGB> pixels;
    if (pixelCount(bitmap) > 4096)
        return pixels;
    ARGB colour = 0;
    for (int y = 0; bitmap.pixel(0, y, colour); ++y)
        for (int x = 0; bitmap.pixel(x, y, colour); ++x)
            pixels.push_back(colour);
    return pixels;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool started = headless::startup() || (std::abort(), false);
    static const ScratchFolder folder("kelo-fuzz-picture");
    (void)started;
    const std::span<const std::uint8_t> bytes(data, size);
    const PictureHeader header = readPictureHeader(bytes);
    const PictureVerdict verdict = judgePicture(header);
    // A part long enough for every signature that the reader did not run past says all there is to say.
    const std::size_t part = 16 + (size > 16 ? data[size / 2] * (size - 16) / 255 : 0);
    if (part < size) {
        const PictureHeader partHeader = readPictureHeader(bytes.first(part));
        if (!partHeader.truncated && !sameHeader(partHeader, header))
            std::abort();
    }

    const std::string path = folder.write("picture", std::string_view(reinterpret_cast<const char*>(data), size));
    const bool mayDecode = pictureMayBeDecoded(path);
    if (mayDecode != (verdict == PictureVerdict::decode))
        std::abort();

    Image bitmap = Image::loadBitmap(path);
    if (bitmap.get() != nullptr && !mayDecode)
        std::abort();
    if (bitmap.isRasterBitmap()) {
        if (pixelCount(bitmap) > picturePixelLimit)
            std::abort();
        // The key of vehicle icons, and one taken from the input, so that keyed pixels are found in any picture.
        const ARGB key =
            size >= 4 ? ARGB{data[0]} << 24 | ARGB{data[1]} << 16 | ARGB{data[2]} << 8 | data[3] : 0xFFFFFFFF;
        // Palette indices are left as their format allows (GDI+ writes no colour into a palette).
        int format = 0;
        if (GdipGetImagePixelFormat(bitmap.get(), &format) != gpOk)
            std::abort();
        applyColourKey(bitmap, key);
        const std::vector<ARGB> keyed = smallPixels(bitmap);
        if ((format & gpPixelFormatIndexed) == 0 && key != 0
            && std::find(keyed.begin(), keyed.end(), key) != keyed.end())
            std::abort();
        // Palette indices become colours, every pixel still there (those a GIF's file leaves to chance painted clear),
        // or, when that cannot be done for a picture with such pixels, no picture.
        bitmap.dropPalette(0);
        if (bitmap.get() != nullptr
            && (GdipGetImagePixelFormat(bitmap.get(), &format) != gpOk || smallPixels(bitmap).size() != keyed.size()
                || ((format & gpPixelFormatIndexed) != 0 && pixelCount(bitmap) > 0)))
            std::abort();
    }
    Image picture = Image::load(path);
    if (picture.get() != nullptr && !mayDecode)
        std::abort();
    return 0;
}

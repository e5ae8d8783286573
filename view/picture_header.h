// The size a picture file declares, read from its first bytes before any decoder sees them (PNG, GIF, BMP,
// JPEG, TIFF: the raster formats whose decoders size their pixels from the header), and the bounds Kelo draws.
// Pure: works on the bytes it is given and never reads past them.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

// The largest picture decoded: at most this many pixels a side and in all (64 megapixels, 256 MiB at 32 bits).
// A picture of several frames (GIF) or pages (TIFF) counts every one of them in the total.
constexpr std::uint64_t pictureSideLimit = 16384;
constexpr std::uint64_t picturePixelLimit = 64ull * 1024 * 1024;

// Recognised by the same signatures the decoders are chosen by. Icons (ICO), metafiles (WMF, EMF) and anything
// else stay unrecognised: the icon decoder sizes its picture from one-byte fields (at most 255 x 255) and a
// metafile has no pixels to allocate, so neither can declare too much.
enum class PictureFormat { unrecognised, png, gif, bmp, jpeg, tiff };

// A rectangle of a picture, in pixels from its top-left corner.
struct PictureArea {
    std::uint64_t left = 0;
    std::uint64_t top = 0;
    std::uint64_t width = 0;
    std::uint64_t height = 0;

    bool operator==(const PictureArea&) const = default;
};

struct PictureHeader {
    PictureFormat format = PictureFormat::unrecognised;
    bool sized = false;  // a size was read
    bool truncated = false;  // the bytes ended before the reading did: more of the file may say more
    std::uint64_t width = 0;  // the widest frame or page, or a GIF's logical screen if wider
    std::uint64_t height = 0;
    std::uint64_t pixels = 0;  // every frame or page together
    std::uint64_t colours = 0;  // the entries of the colour table a BMP declares
    // A GIF's first image on its screen: the decoders draw it onto a canvas of the screen's size and leave the rest
    // of the canvas as it was in memory. None for other formats, or before the first image's descriptor.
    std::optional<PictureArea> firstImage = std::nullopt;
};

// The most colour-table entries a BMP may declare: as many as 8-bit indices reach. The decoder allocates the table
// as declared, whatever the bit depth, so a file of a few bytes could otherwise ask for gigabytes.
constexpr std::uint64_t bmpColourLimit = 256;

PictureHeader readPictureHeader(std::span<const std::uint8_t> bytes);

enum class PictureVerdict {
    decode,  // within the bounds, or nothing here to judge: the decoder decides as it always did
    unreadable,  // a recognised picture whose header gives no size, or one of no pixels: no decoder could show it
    tooLarge,  // declares more than the bounds
};

// A header read to the end of its file. A TIFF whose size cannot be read is left to its decoder, which reads
// the format more leniently than this reader; every other recognised format without a size is unreadable, and so
// is a BMP declaring more colours than bmpColourLimit.
PictureVerdict judgePicture(const PictureHeader& header);

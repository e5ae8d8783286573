// Header readers of the raster formats the decoders size from their headers: each follows the structure the
// decoder walks (PNG's IHDR, GIF's blocks, BMP's info header, JPEG's markers up to the frame, TIFF's directories).
// Every read is checked against the end of the bytes; offsets are compared, never added past it.
#include "view/picture_header.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <limits>
#include <optional>
#include <set>

namespace {

using Bytes = std::span<const std::uint8_t>;

bool has(Bytes bytes, std::size_t at, std::size_t count)
{
    return at <= bytes.size() && bytes.size() - at >= count;
}

template <std::size_t N>
bool startsWith(Bytes bytes, const std::array<std::uint8_t, N>& signature)
{
    return has(bytes, 0, N) && std::equal(signature.begin(), signature.end(), bytes.begin());
}

std::uint32_t read16(Bytes bytes, std::size_t at, bool bigEndian)
{
    std::uint32_t first = bytes[at];
    std::uint32_t second = bytes[at + 1];
    return bigEndian ? first << 8 | second : second << 8 | first;
}

std::uint32_t read32(Bytes bytes, std::size_t at, bool bigEndian)
{
    std::uint32_t high = read16(bytes, at + (bigEndian ? 0 : 2), bigEndian);
    std::uint32_t low = read16(bytes, at + (bigEndian ? 2 : 0), bigEndian);
    return high << 16 | low;
}

std::uint64_t saturatingAdd(std::uint64_t a, std::uint64_t b)
{
    return a > std::numeric_limits<std::uint64_t>::max() - b ? std::numeric_limits<std::uint64_t>::max() : a + b;
}

// One frame or page of the picture: it widens the picture's bounding size and adds its area to the pixels.
void addFrame(PictureHeader& header, std::uint64_t width, std::uint64_t height, std::uint64_t area)
{
    header.sized = true;
    header.width = std::max(header.width, width);
    header.height = std::max(header.height, height);
    header.pixels = saturatingAdd(header.pixels, area);
}

void addFrame(PictureHeader& header, std::uint64_t width, std::uint64_t height)
{
    addFrame(header, width, height, width * height);
}

PictureHeader truncated(PictureHeader header)
{
    header.truncated = true;
    return header;
}

// [SECTION] PNG: the first chunk must be IHDR, of 13 bytes, holding the width and height.

PictureHeader readPng(Bytes bytes)
{
    PictureHeader header{PictureFormat::png};
    if (!has(bytes, 0, 24))
        return truncated(header);
    constexpr std::array<std::uint8_t, 4> ihdr{'I', 'H', 'D', 'R'};
    if (read32(bytes, 8, true) != 13 || !startsWith(bytes.subspan(12), ihdr))
        return header;
    addFrame(header, read32(bytes, 16, true), read32(bytes, 20, true));
    return header;
}

// [SECTION] GIF: the logical screen, then blocks up to the trailer; each image is decoded into a raster of its
// own size and shown on a canvas of the screen's size, so each counts as the larger of the two.

// Moves past a chain of data sub-blocks and its empty closing block; false when the bytes end first.
bool skipSubBlocks(Bytes bytes, std::size_t& at)
{
    for (;;) {
        if (at >= bytes.size())
            return false;
        std::size_t length = bytes[at];
        at += 1 + length;
        if (length == 0)
            return true;
    }
}

std::size_t colourTableSize(std::uint8_t packed)
{
    return (packed & 0x80) != 0 ? std::size_t{3} << ((packed & 0x07) + 1) : 0;
}

PictureHeader readGif(Bytes bytes)
{
    PictureHeader header{PictureFormat::gif};
    if (!has(bytes, 0, 13))
        return truncated(header);
    std::uint64_t screenWidth = read16(bytes, 6, false);
    std::uint64_t screenHeight = read16(bytes, 8, false);
    std::size_t at = 13 + colourTableSize(bytes[10]);
    bool framed = false;
    for (;;) {
        if (at >= bytes.size()) {
            header.truncated = true;
            break;
        }
        std::uint8_t block = bytes[at];
        if (block == 0x21) {  // an extension: its label, then sub-blocks
            at += 2;
            if (!skipSubBlocks(bytes, at)) {
                header.truncated = true;
                break;
            }
        } else if (block == 0x2C) {  // an image: its descriptor, colour table, code size and data sub-blocks
            if (!has(bytes, at, 10)) {
                header.truncated = true;
                break;
            }
            std::uint64_t width = read16(bytes, at + 5, false);
            std::uint64_t height = read16(bytes, at + 7, false);
            if (!framed)
                header.firstImage =
                    PictureArea{read16(bytes, at + 1, false), read16(bytes, at + 3, false), width, height};
            addFrame(header, std::max(width, screenWidth), std::max(height, screenHeight),
                     std::max(width * height, screenWidth * screenHeight));
            framed = true;
            at += 10 + colourTableSize(bytes[at + 9]) + 1;
            if (!skipSubBlocks(bytes, at)) {
                header.truncated = true;
                break;
            }
        } else {
            break;  // the trailer, or a block the decoder stops at
        }
    }
    if (!framed)
        addFrame(header, screenWidth, screenHeight);
    return header;
}

// [SECTION] BMP: the file header, then an info header whose size tells 16-bit (OS/2) from 32-bit fields.
// A negative height only means the rows run top down; a negative width is no size at all. The longer headers
// also declare the number of colours in the table that follows them.

PictureHeader readBmp(Bytes bytes)
{
    PictureHeader header{PictureFormat::bmp};
    if (!has(bytes, 0, 18))
        return truncated(header);
    std::uint32_t infoSize = read32(bytes, 14, false);
    if (infoSize == 12) {
        if (!has(bytes, 0, 22))
            return truncated(header);
        addFrame(header, read16(bytes, 18, false), read16(bytes, 20, false));
    } else if (infoSize > 12) {
        if (!has(bytes, 0, 26))
            return truncated(header);
        auto width = static_cast<std::int32_t>(read32(bytes, 18, false));
        auto height = static_cast<std::int32_t>(read32(bytes, 22, false));
        if (width >= 0) {
            std::int64_t rows = height;
            addFrame(header, static_cast<std::uint64_t>(width), static_cast<std::uint64_t>(rows < 0 ? -rows : rows));
        }
        // The count of colours, read by the decoder from every info header longer than the OS/2 one.
        if (!has(bytes, 0, 50))
            return truncated(header);
        header.colours = read32(bytes, 46, false);
    }
    return header;
}

// [SECTION] JPEG: markers after the start of image up to the first frame header (SOF0 to SOF15 but DHT, JPG and
// DAC), found as the decoder finds them: bytes other than 0xFF are skipped, as are fill bytes 0xFF, and a 0xFF
// followed by 0 is no marker. A scan, an end of image or a second start of image before any frame has no size.

PictureHeader readJpeg(Bytes bytes)
{
    PictureHeader header{PictureFormat::jpeg};
    std::size_t at = 2;
    for (;;) {
        while (at < bytes.size() && bytes[at] != 0xFF)
            ++at;
        while (at < bytes.size() && bytes[at] == 0xFF)
            ++at;
        if (at >= bytes.size())
            return truncated(header);
        std::uint8_t marker = bytes[at++];
        bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            // length (2), precision (1), height (2), width (2)
            if (!has(bytes, at, 7))
                return truncated(header);
            addFrame(header, read16(bytes, at + 5, true), read16(bytes, at + 3, true));
            return header;
        }
        if (marker == 0xD8 || marker == 0xD9 || marker == 0xDA)
            return header;
        if (marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            continue;  // no marker, or a marker without a segment
        if (!has(bytes, at, 2))
            return truncated(header);
        std::size_t length = read16(bytes, at, true);
        if (length < 2)
            return header;
        at += length;
    }
}

// [SECTION] TIFF: the chain of image directories from the offset in the header; each directory is a page, sized
// by its ImageWidth (256) and ImageLength (257) entries, SHORT or LONG. The chain ends at offset 0 or where it
// comes back to a directory already read. A page without a readable size ends the reading.

std::optional<std::uint64_t> directoryValue(Bytes bytes, std::size_t entry, bool bigEndian)
{
    std::uint32_t type = read16(bytes, entry + 2, bigEndian);
    if (read32(bytes, entry + 4, bigEndian) == 0)
        return std::nullopt;
    if (type == 3)  // SHORT, at the start of the value field in either byte order
        return read16(bytes, entry + 8, bigEndian);
    if (type == 4)  // LONG
        return read32(bytes, entry + 8, bigEndian);
    return std::nullopt;
}

PictureHeader readTiff(Bytes bytes, bool bigEndian)
{
    PictureHeader header{PictureFormat::tiff};
    if (!has(bytes, 0, 8))
        return truncated(header);
    std::set<std::uint32_t> seen;
    for (std::uint32_t offset = read32(bytes, 4, bigEndian); offset != 0 && seen.insert(offset).second;) {
        if (!has(bytes, offset, 2))
            return truncated(header);
        std::size_t entries = read16(bytes, offset, bigEndian);
        if (!has(bytes, offset + std::size_t{2}, entries * 12 + 4))
            return truncated(header);
        std::optional<std::uint64_t> width;
        std::optional<std::uint64_t> height;
        for (std::size_t i = 0; i < entries; ++i) {
            std::size_t entry = offset + 2 + i * 12;
            std::uint32_t tag = read16(bytes, entry, bigEndian);
            if (tag == 256)
                width = directoryValue(bytes, entry, bigEndian);
            else if (tag == 257)
                height = directoryValue(bytes, entry, bigEndian);
        }
        if (!width || !height)
            return header;
        addFrame(header, *width, *height);
        offset = read32(bytes, offset + 2 + entries * 12, bigEndian);
    }
    return header;
}

}  // namespace

PictureHeader readPictureHeader(std::span<const std::uint8_t> bytes)
{
    constexpr std::array<std::uint8_t, 8> png{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    constexpr std::array<std::uint8_t, 6> gif87{'G', 'I', 'F', '8', '7', 'a'};
    constexpr std::array<std::uint8_t, 6> gif89{'G', 'I', 'F', '8', '9', 'a'};
    constexpr std::array<std::uint8_t, 2> bmp{'B', 'M'};
    constexpr std::array<std::uint8_t, 2> jpeg{0xFF, 0xD8};
    constexpr std::array<std::uint8_t, 4> tiffLittle{'I', 'I', 42, 0};
    constexpr std::array<std::uint8_t, 4> tiffBig{'M', 'M', 0, 42};
    if (startsWith(bytes, png))
        return readPng(bytes);
    if (startsWith(bytes, gif87) || startsWith(bytes, gif89))
        return readGif(bytes);
    if (startsWith(bytes, bmp))
        return readBmp(bytes);
    if (startsWith(bytes, jpeg))
        return readJpeg(bytes);
    if (startsWith(bytes, tiffLittle) || startsWith(bytes, tiffBig))
        return readTiff(bytes, startsWith(bytes, tiffBig));
    return PictureHeader{};
}

PictureVerdict judgePicture(const PictureHeader& header)
{
    if (header.format == PictureFormat::unrecognised)
        return PictureVerdict::decode;
    if (header.colours > bmpColourLimit)
        return PictureVerdict::unreadable;
    if (!header.sized)
        return header.format == PictureFormat::tiff ? PictureVerdict::decode : PictureVerdict::unreadable;
    if (header.width == 0 || header.height == 0)
        return PictureVerdict::unreadable;
    if (header.width > pictureSideLimit || header.height > pictureSideLimit || header.pixels > picturePixelLimit)
        return PictureVerdict::tooLarge;
    return PictureVerdict::decode;
}

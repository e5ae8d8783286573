// Pictures read once per version of their file: the header readers of the size guard (on bytes made here), the
// guard in front of the map picture and the vehicle icons, the icon cache over frames, and the colour key in bulk
// against the per-pixel way.
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "app/shell.h"
#include "tests/pictures.h"
#include "view/bitmap_pixels.h"
#include "view/colour_key.h"
#include "view/picture_cache.h"
#include "view/picture_header.h"
#include "view/transform.h"
#include "view/units.h"
#include "world/interpreter.h"
#include "world/log_format.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr ARGB black = 0xFF000000;
constexpr ARGB red = 0xFFFF0000;
constexpr ARGB green = 0xFF00FF00;
constexpr ARGB blue = 0xFF0000FF;
constexpr ARGB white = 0xFFFFFFFF;

// [SECTION] Picture headers made byte by byte

void put(Bytes& bytes, std::initializer_list<std::uint8_t> values)
{
    bytes.insert(bytes.end(), values);
}

void put16(Bytes& bytes, std::uint32_t value, bool bigEndian = false)
{
    auto high = static_cast<std::uint8_t>(value >> 8);
    auto low = static_cast<std::uint8_t>(value);
    if (bigEndian)
        put(bytes, {high, low});
    else
        put(bytes, {low, high});
}

void put32(Bytes& bytes, std::uint32_t value, bool bigEndian = false)
{
    put16(bytes, bigEndian ? value >> 16 : value & 0xFFFF, bigEndian);
    put16(bytes, bigEndian ? value & 0xFFFF : value >> 16, bigEndian);
}

// The signature and the IHDR chunk of a PNG; nothing follows unless `rest` is given.
Bytes png(std::uint32_t width, std::uint32_t height, std::uint32_t chunkLength = 13, const Bytes& rest = {})
{
    Bytes bytes{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    put32(bytes, chunkLength, true);
    put(bytes, {'I', 'H', 'D', 'R'});
    put32(bytes, width, true);
    put32(bytes, height, true);
    put(bytes, {8, 6, 0, 0, 0, 0x12, 0x34, 0x56, 0x78});  // depth, colour type, methods, CRC
    bytes.insert(bytes.end(), rest.begin(), rest.end());
    return bytes;
}

struct Size {
    std::uint16_t width;
    std::uint16_t height;
};

// A GIF with a global colour table of two entries, a graphic control extension and one block of data per frame.
Bytes gif(Size screen, const std::vector<Size>& frames)
{
    Bytes bytes{'G', 'I', 'F', '8', '9', 'a'};
    put16(bytes, screen.width);
    put16(bytes, screen.height);
    put(bytes, {0x80, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF});
    put(bytes, {0x21, 0xF9, 4, 0, 0, 0, 0, 0});
    for (Size frame : frames) {
        put(bytes, {0x2C, 0, 0, 0, 0});
        put16(bytes, frame.width);
        put16(bytes, frame.height);
        put(bytes, {0x80, 1, 2, 3, 4, 5, 6});  // a local table of two entries
        put(bytes, {2, 3, 0x4C, 0x01, 0x00, 0});  // code size, one sub-block of three bytes, the end
    }
    put(bytes, {0x3B});
    return bytes;
}

// The file header and an info header of `infoSize` bytes (12: OS/2, 16-bit sizes).
Bytes bmpHeader(std::int32_t width, std::int32_t height, std::uint32_t infoSize = 40, std::uint16_t bits = 24,
                std::uint32_t paletteSize = 0, std::uint32_t dataSize = 0)
{
    Bytes bytes{'B', 'M'};
    std::uint32_t offset = 14 + infoSize + paletteSize * 4;
    put32(bytes, offset + dataSize);
    put32(bytes, 0);
    put32(bytes, offset);
    put32(bytes, infoSize);
    if (infoSize == 12) {
        put16(bytes, static_cast<std::uint32_t>(width));
        put16(bytes, static_cast<std::uint32_t>(height));
        put16(bytes, 1);
        put16(bytes, bits);
        return bytes;
    }
    put32(bytes, static_cast<std::uint32_t>(width));
    put32(bytes, static_cast<std::uint32_t>(height));
    put16(bytes, 1);
    put16(bytes, bits);
    for (std::uint32_t value : {0u, dataSize, 2835u, 2835u, paletteSize, 0u})
        put32(bytes, value);
    bytes.resize(14 + infoSize);
    return bytes;
}

// Start of image, an APP0 segment, stray bytes and fill, a stuffed 0xFF 0x00, a restart marker, a table, then
// the frame header of `frameMarker`.
Bytes jpeg(std::uint16_t width, std::uint16_t height, std::uint8_t frameMarker = 0xC0)
{
    Bytes bytes{0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0};
    put(bytes, {0x12, 0x34, 0xFF, 0x00, 0x56, 0xFF, 0xFF, 0xD0, 0xFF, 0xDB, 0, 4, 0, 0});
    put(bytes, {0xFF, 0xFF, frameMarker, 0, 17, 8});
    put16(bytes, height, true);
    put16(bytes, width, true);
    put(bytes, {3, 1, 0x22, 0, 2, 0x11, 1, 3, 0x11, 1});
    return bytes;
}

// A TIFF whose directories each hold a width (SHORT) and a height (LONG), chained in order; `loopBack` points the
// last directory back at the first instead of ending the chain.
Bytes tiff(const std::vector<std::pair<std::uint32_t, std::uint32_t>>& pages, bool bigEndian, bool loopBack = false)
{
    Bytes bytes = bigEndian ? Bytes{'M', 'M', 0, 42} : Bytes{'I', 'I', 42, 0};
    put32(bytes, 8, bigEndian);
    for (std::size_t i = 0; i < pages.size(); ++i) {
        put16(bytes, 3, bigEndian);
        put16(bytes, 256, bigEndian);
        put16(bytes, 3, bigEndian);
        put32(bytes, 1, bigEndian);
        put16(bytes, pages[i].first, bigEndian);
        put16(bytes, 0, bigEndian);
        put16(bytes, 257, bigEndian);
        put16(bytes, 4, bigEndian);
        put32(bytes, 1, bigEndian);
        put32(bytes, pages[i].second, bigEndian);
        put16(bytes, 259, bigEndian);  // compression: not a size
        put16(bytes, 3, bigEndian);
        put32(bytes, 1, bigEndian);
        put32(bytes, 1, bigEndian);
        bool last = i + 1 == pages.size();
        put32(bytes, last ? (loopBack ? 8 : 0) : static_cast<std::uint32_t>(bytes.size() + 4), bigEndian);
    }
    return bytes;
}

std::string text(const Bytes& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

// Stamps the file with the time, which the file system must keep to the nanosecond.
void setTime(const std::string& path, std::filesystem::file_time_type time)
{
    std::filesystem::last_write_time(path, time);
    ASSERT_EQ(std::filesystem::last_write_time(path), time) << "the file system must keep nanoseconds";
}

void expectSize(const Bytes& bytes, PictureFormat format, std::uint64_t width, std::uint64_t height,
                std::uint64_t pixels)
{
    PictureHeader header = readPictureHeader(bytes);
    EXPECT_EQ(header.format, format);
    EXPECT_TRUE(header.sized);
    EXPECT_FALSE(header.truncated);
    EXPECT_EQ(header.width, width);
    EXPECT_EQ(header.height, height);
    EXPECT_EQ(header.pixels, pixels);
}

PictureVerdict verdictOf(const Bytes& bytes)
{
    return judgePicture(readPictureHeader(bytes));
}

// Every prefix of the bytes, each in a buffer of exactly its own length (so that a read past it is caught by the
// address sanitizer), either says the bytes ended, or is unrecognised, or reads exactly what the whole does.
void expectPrefixesAgree(const Bytes& bytes)
{
    PictureHeader whole = readPictureHeader(bytes);
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        Bytes prefix(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length));
        PictureHeader header = readPictureHeader(prefix);
        if (header.truncated || header.format == PictureFormat::unrecognised)
            continue;
        EXPECT_EQ(header.sized, whole.sized) << length;
        EXPECT_EQ(header.width, whole.width) << length;
        EXPECT_EQ(header.height, whole.height) << length;
        EXPECT_EQ(header.pixels, whole.pixels) << length;
    }
}

TEST(PictureHeader, PngSizeComesFromTheFirstChunk)
{
    expectSize(png(640, 480), PictureFormat::png, 640, 480, 640 * 480);
    EXPECT_EQ(verdictOf(png(640, 480)), PictureVerdict::decode);
    // Only the declaration counts: a header over the bounds is refused though nothing follows it.
    expectSize(png(30000, 30000), PictureFormat::png, 30000, 30000, 900000000);
    EXPECT_EQ(verdictOf(png(30000, 30000)), PictureVerdict::tooLarge);
    // The signature and then garbage, or a first chunk of the wrong length: recognised, no size.
    Bytes garbage = png(1, 1);
    std::fill(garbage.begin() + 8, garbage.end(), 0x5A);
    for (const Bytes& broken : {garbage, png(1, 1, 14)}) {
        PictureHeader header = readPictureHeader(broken);
        EXPECT_EQ(header.format, PictureFormat::png);
        EXPECT_FALSE(header.sized);
        EXPECT_FALSE(header.truncated);
        EXPECT_EQ(judgePicture(header), PictureVerdict::unreadable);
    }
    // Cut inside IHDR: the bytes ended; at the end of a file that is unreadable too.
    Bytes cut = png(640, 480);
    cut.resize(20);
    EXPECT_TRUE(readPictureHeader(cut).truncated);
    EXPECT_EQ(verdictOf(cut), PictureVerdict::unreadable);
    // Seven bytes of the signature are no PNG at all.
    cut.resize(7);
    EXPECT_EQ(readPictureHeader(cut).format, PictureFormat::unrecognised);
    EXPECT_EQ(verdictOf(cut), PictureVerdict::decode);
}

TEST(PictureHeader, BoundsApplyToEachSideAndToTheTotal)
{
    EXPECT_EQ(verdictOf(png(16384, 4096)), PictureVerdict::decode);
    EXPECT_EQ(verdictOf(png(16385, 1)), PictureVerdict::tooLarge);
    EXPECT_EQ(verdictOf(png(1, 16385)), PictureVerdict::tooLarge);
    EXPECT_EQ(verdictOf(png(8192, 8192)), PictureVerdict::decode);  // exactly 64 megapixels
    EXPECT_EQ(verdictOf(png(8193, 8192)), PictureVerdict::tooLarge);
    EXPECT_EQ(verdictOf(png(0xFFFFFFFF, 0xFFFFFFFF)), PictureVerdict::tooLarge);
    // No pixels: 0 x 0, or one side 0.
    for (const Bytes& empty : {png(0, 0), png(0, 5), gif({7, 0}, {}), bmpHeader(0, 0)})
        EXPECT_EQ(verdictOf(empty), PictureVerdict::unreadable);
}

TEST(PictureHeader, GifCountsEveryFrameAtLeastAtTheScreenSize)
{
    expectSize(gif({300, 200}, {}), PictureFormat::gif, 300, 200, 60000);
    expectSize(gif({300, 200}, {{300, 200}}), PictureFormat::gif, 300, 200, 60000);
    // A small frame still fills a canvas of the screen's size; a frame larger than the screen widens the picture.
    expectSize(gif({10, 10}, {{5, 5}, {40, 2}, {10, 10}}), PictureFormat::gif, 40, 10, 100 + 100 + 100);
    expectSize(gif({10, 10}, {{40, 20}}), PictureFormat::gif, 40, 20, 800);
    // A tiny screen does not hide a huge frame, nor do many frames of a size allowed one by one.
    EXPECT_EQ(verdictOf(gif({1, 1}, {{65535, 65535}})), PictureVerdict::tooLarge);
    EXPECT_EQ(verdictOf(gif({8192, 8192}, {{1, 1}, {1, 1}})), PictureVerdict::tooLarge);
    EXPECT_EQ(verdictOf(gif({8192, 8192}, {{1, 1}})), PictureVerdict::decode);

    // Cut in a frame's data: the frames read so far are what a decoder could allocate.
    Bytes cut = gif({10, 10}, {{20, 20}, {30, 30}});
    cut.resize(cut.size() - 4);
    PictureHeader header = readPictureHeader(cut);
    EXPECT_TRUE(header.truncated);
    EXPECT_EQ(header.width, 30u);
    EXPECT_EQ(header.pixels, 400u + 900u);
    // Cut inside the logical screen: no size.
    cut.resize(10);
    EXPECT_TRUE(readPictureHeader(cut).truncated);
    EXPECT_EQ(verdictOf(cut), PictureVerdict::unreadable);
    // A block the decoder does not know ends the frames.
    Bytes stray = gif({10, 10}, {{20, 20}});
    stray.back() = 0x99;
    put(stray, {0x2C, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0});
    EXPECT_EQ(readPictureHeader(stray).pixels, 400u);
}

TEST(PictureHeader, BmpReadsBothHeaderKinds)
{
    expectSize(bmpHeader(800, 600), PictureFormat::bmp, 800, 600, 480000);
    expectSize(bmpHeader(800, -600), PictureFormat::bmp, 800, 600, 480000);  // rows top down
    expectSize(bmpHeader(800, 600, 12), PictureFormat::bmp, 800, 600, 480000);
    expectSize(bmpHeader(800, 600, 124), PictureFormat::bmp, 800, 600, 480000);
    EXPECT_EQ(verdictOf(bmpHeader(20000, 2)), PictureVerdict::tooLarge);
    EXPECT_EQ(verdictOf(bmpHeader(2, -2147483647 - 1)), PictureVerdict::tooLarge);
    // A negative width, or an info header too short to hold a size, gives no size.
    EXPECT_EQ(verdictOf(bmpHeader(-800, 600)), PictureVerdict::unreadable);
    Bytes shortInfo = bmpHeader(800, 600);
    shortInfo[14] = 11;
    EXPECT_EQ(verdictOf(shortInfo), PictureVerdict::unreadable);
    Bytes cut = bmpHeader(800, 600);
    cut.resize(25);
    EXPECT_TRUE(readPictureHeader(cut).truncated);
    EXPECT_EQ(verdictOf(cut), PictureVerdict::unreadable);
}

TEST(PictureHeader, JpegSizeComesFromTheFirstFrameHeader)
{
    expectSize(jpeg(1024, 768), PictureFormat::jpeg, 1024, 768, 1024 * 768);
    expectSize(jpeg(1024, 768, 0xC2), PictureFormat::jpeg, 1024, 768, 1024 * 768);  // progressive
    EXPECT_EQ(verdictOf(jpeg(65535, 300)), PictureVerdict::tooLarge);
    // Huffman tables (0xC4) are no frame: the reading goes on past them to the end of the bytes.
    EXPECT_TRUE(readPictureHeader(jpeg(1024, 768, 0xC4)).truncated);
    // A scan or an end of image before any frame, or a segment shorter than its own length field: no size.
    for (std::uint8_t marker : {0xDA, 0xD9}) {
        Bytes early{0xFF, 0xD8, 0xFF, marker};
        Bytes rest = jpeg(10, 10);
        early.insert(early.end(), rest.begin() + 2, rest.end());
        EXPECT_EQ(verdictOf(early), PictureVerdict::unreadable) << int{marker};
    }
    EXPECT_EQ(verdictOf(Bytes{0xFF, 0xD8, 0xFF, 0xE1, 0, 1, 0xFF, 0xC0, 0, 17, 8, 0, 10, 0, 10}),
              PictureVerdict::unreadable);
    // Segments are skipped by their length, whatever they hold: a frame marker inside one is not read.
    Bytes hidden{0xFF, 0xD8, 0xFF, 0xE1, 0, 11, 0xFF, 0xC0, 0, 17, 8, 0xFF, 0xFF, 0xFF, 0xFF};
    Bytes frame = jpeg(64, 32);
    hidden.insert(hidden.end(), frame.begin() + 2, frame.end());
    expectSize(hidden, PictureFormat::jpeg, 64, 32, 64 * 32);
    // Cut inside the frame header, before its width: the bytes ended.
    Bytes cut = jpeg(64, 32);
    cut.resize(cut.size() - 14);
    EXPECT_TRUE(readPictureHeader(cut).truncated);
    EXPECT_EQ(verdictOf(cut), PictureVerdict::unreadable);
}

TEST(PictureHeader, TiffCountsEveryPageInEitherByteOrder)
{
    for (bool bigEndian : {false, true}) {
        expectSize(tiff({{640, 480}}, bigEndian), PictureFormat::tiff, 640, 480, 640 * 480);
        expectSize(tiff({{640, 480}, {100, 900}}, bigEndian), PictureFormat::tiff, 640, 900, 640 * 480 + 100 * 900);
        // A chain that comes back to its start is read once.
        expectSize(tiff({{640, 480}, {100, 900}}, bigEndian, true), PictureFormat::tiff, 640, 900,
                   640 * 480 + 100 * 900);
        EXPECT_EQ(verdictOf(tiff({{60000, 2}}, bigEndian)), PictureVerdict::tooLarge);
        EXPECT_EQ(verdictOf(tiff(std::vector<std::pair<std::uint32_t, std::uint32_t>>(5, {4000, 4000}), bigEndian)),
                  PictureVerdict::tooLarge);
    }
    // A directory this reader cannot size, or one out of the file, is left to the decoder.
    Bytes noSize = tiff({{640, 480}}, false);
    noSize[10] = 0x99;  // the width entry's tag
    EXPECT_FALSE(readPictureHeader(noSize).sized);
    EXPECT_EQ(verdictOf(noSize), PictureVerdict::decode);
    Bytes away = tiff({{640, 480}}, false);
    away[4] = 0xF0;
    EXPECT_TRUE(readPictureHeader(away).truncated);
    EXPECT_EQ(verdictOf(away), PictureVerdict::decode);
}

TEST(PictureHeader, OtherFormatsAreLeftToTheirDecoders)
{
    const Bytes others[] = {
        {0, 0, 1, 0, 1, 0, 0, 0, 0, 0},  // an icon: the decoder's sizes are single bytes
        {0xD7, 0xCD, 0xC6, 0x9A, 0, 0},  // a placeable metafile
        {'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c', 't', 'u', 'r', 'e'},
        {},
    };
    for (const Bytes& bytes : others) {
        EXPECT_EQ(readPictureHeader(bytes).format, PictureFormat::unrecognised);
        EXPECT_EQ(verdictOf(bytes), PictureVerdict::decode);
    }
}

TEST(PictureHeader, NoPrefixIsReadPastItsEnd)
{
    // Each sample with the length of its signature.
    const std::pair<Bytes, std::size_t> samples[] = {{png(640, 480), 8},
                                                     {gif({10, 10}, {{5, 5}, {40, 2}}), 6},
                                                     {bmpHeader(800, 600), 2},
                                                     {bmpHeader(800, 600, 12), 2},
                                                     {jpeg(1024, 768), 2},
                                                     {tiff({{640, 480}, {100, 900}}, false), 4},
                                                     {tiff({{640, 480}, {100, 900}}, true), 4}};
    for (const auto& [sample, signature] : samples)
        expectPrefixesAgree(sample);

    // Random bytes behind each signature: every reading stays inside its buffer and keeps the format.
    std::mt19937 random(20261207);
    for (const auto& [sample, signature] : samples) {
        for (int round = 0; round < 200; ++round) {
            Bytes bytes(sample.begin(), sample.begin() + static_cast<std::ptrdiff_t>(signature));
            std::size_t length = random() % 96;
            for (std::size_t i = 0; i < length; ++i)
                bytes.push_back(static_cast<std::uint8_t>(random() % 4 == 0 ? random() % 4 : random()));
            EXPECT_EQ(readPictureHeader(bytes).format, readPictureHeader(sample).format);
            expectPrefixesAgree(bytes);
        }
    }
}

// [SECTION] The size guard in front of the decoders

std::string warningFor(const std::string& path, const char* size, const char* pixels)
{
    return "Kelo: " + path + ": picture of " + size + " pixels (" + pixels
         + " in all) is over the limit of 16384 a side and 67108864 in all; not shown\n";
}

class PictureGuardTest : public KeloTest {};

TEST_F(PictureGuardTest, MapDeclaringTooMuchIsRefusedWithOneWarningPerVersion)
{
    std::string path = writeFile("Maps/Huge.png", text(png(30000, 30000)));
    auto time = std::filesystem::last_write_time(path);
    testing::internal::CaptureStderr();
    applyLine("1;Huge.map");
    EXPECT_FALSE(viewer.world.mapImage);
    applyLine("1;Huge.map");  // the same file again: refused without a second word
    EXPECT_FALSE(viewer.world.mapImage);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), warningFor(path, "30000 x 30000", "900000000"));

    // A new version of the file is named again; one within the bounds loads.
    writeFile("Maps/Huge.png", text(png(20000, 3)));
    setTime(path, time + std::chrono::nanoseconds(1));
    testing::internal::CaptureStderr();
    applyLine("1;Huge.map");
    EXPECT_FALSE(viewer.world.mapImage);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), warningFor(path, "20000 x 3", "60000"));
    ASSERT_TRUE(writePicture(path, 4, 4, green));
    applyLine("1;Huge.map");
    EXPECT_TRUE(viewer.world.mapImage);
}

TEST_F(PictureGuardTest, GuardRefusesPicturesTheDecoderCouldRead)
{
    // Real pictures: one pixel over the side bound is refused by the guard, not failed by the decoder.
    std::string wide = folder.string() + "/Maps/wide.png";
    std::string widest = folder.string() + "/Maps/widest.png";
    ASSERT_TRUE(writePicture(wide, 16384, 1, green));
    ASSERT_TRUE(writePicture(widest, 16385, 1, green));
    testing::internal::CaptureStderr();
    Image allowed = Image::load(wide);
    Image refused = Image::loadBitmap(widest);
    Image refusedAgain = Image::load(widest);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), warningFor(widest, "16385 x 1", "16385"));
    EXPECT_NE(allowed.get(), nullptr);
    EXPECT_EQ(pixelCount(allowed), 16384u);
    EXPECT_EQ(refused.get(), nullptr);
    EXPECT_NE(refused.status(), gpOk);
    EXPECT_EQ(refusedAgain.get(), nullptr);
}

TEST_F(PictureGuardTest, OnlyRegularFilesAreRead)
{
    // A reader of a pipe without a writer would wait for ever; a folder is no picture either.
    std::filesystem::create_directories(folder / "Maps" / "Folder.png");
    std::string pipe = (folder / "Maps" / "Pipe.png").string();
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    Image loaded = Image::load(pipe);
    EXPECT_EQ(loaded.get(), nullptr);
    EXPECT_NE(loaded.status(), gpOk);
    EXPECT_EQ(Image::loadBitmap(pipe).get(), nullptr);
    EXPECT_EQ(Image::load((folder / "Maps" / "Folder.png").string()).get(), nullptr);
}

// [SECTION] The icon cache over frames

class PictureCacheTest : public ViewTest {
protected:
    void SetUp() override
    {
        ViewTest::SetUp();
        viewer.world.mapName = "units.map";  // no map picture
        icon = folder.string() + "/Presets/Tank.png";
        addVehicle(-100, -100, 0, "Tank");  // P = (100, 125); the icon covers (95, 120) to (104, 129)
    }

    ARGB frameAtVehicle()
    {
        fillBackBuffer(black);
        composeFrame();
        return headless::pixel(100, 125);
    }

    std::string icon;
};

TEST_F(PictureCacheTest, RewrittenIconShowsAtTheNextFrameWithinTheSameSecondAndSize)
{
    // Two versions of the same size, stamped 100 ns apart within one second.
    auto second = std::chrono::floor<std::chrono::seconds>(std::filesystem::file_time_type::clock::now());
    ASSERT_TRUE(writePicture(icon, 10, 10, green));
    std::uintmax_t size = std::filesystem::file_size(icon);
    setTime(icon, second + std::chrono::nanoseconds(100));
    EXPECT_EQ(frameAtVehicle(), green);
    EXPECT_EQ(frameAtVehicle(), green);

    ASSERT_TRUE(writePicture(icon, 10, 10, blue));
    ASSERT_EQ(std::filesystem::file_size(icon), size);
    setTime(icon, second + std::chrono::nanoseconds(200));
    EXPECT_EQ(frameAtVehicle(), blue);
}

TEST_F(PictureCacheTest, RemovedIconShowsTheSquareAndAnAddedOneShows)
{
    EXPECT_EQ(frameAtVehicle(), red);  // no file yet: the side's square
    ASSERT_TRUE(writePicture(icon, 10, 10, green));
    EXPECT_EQ(frameAtVehicle(), green);
    std::filesystem::remove(icon);
    EXPECT_EQ(frameAtVehicle(), red);
    EXPECT_EQ(frameAtVehicle(), red);
    ASSERT_TRUE(writePicture(icon, 10, 10, blue));
    EXPECT_EQ(frameAtVehicle(), blue);
}

TEST_F(PictureCacheTest, IconDeclaringTooMuchIsTheSquareWithOneWarning)
{
    writeFile("Presets/Tank.png", text(png(30000, 30000)));
    testing::internal::CaptureStderr();
    EXPECT_EQ(frameAtVehicle(), red);
    EXPECT_EQ(frameAtVehicle(), red);
    EXPECT_EQ(frameAtVehicle(), red);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), warningFor(icon, "30000 x 30000", "900000000"));
}

TEST_F(PictureCacheTest, IconIsDecodedOncePerVersion)
{
    PictureCache cache(viewer.caches.decoder);
    ASSERT_TRUE(writePicture(icon, 10, 10, white));
    setTime(icon, std::filesystem::file_time_type::clock::now());
    std::shared_ptr<const Image> first = cache.keyedBitmap(icon, white, 10);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(cache.keyedBitmap(icon, white, 10), first);
    // Keyed once, when decoded: white became clear.
    ARGB colour = 1;
    EXPECT_TRUE(const_cast<Image&>(*first).pixel(3, 3, colour));
    EXPECT_EQ(colour, 0x00000000u);

    setTime(icon, std::filesystem::last_write_time(icon) + std::chrono::nanoseconds(1));
    std::shared_ptr<const Image> second = cache.keyedBitmap(icon, white, 10);
    EXPECT_NE(second, first);
    EXPECT_EQ(cache.keyedBitmap(icon, white, 10), second);
    EXPECT_EQ(cache.entryCount(), 1u);

    // No file is kept as no picture, once.
    std::string missing = folder.string() + "/Presets/Missing.png";
    EXPECT_EQ(cache.keyedBitmap(missing, white, 10), nullptr);
    EXPECT_EQ(cache.entryCount(), 2u);
}

TEST_F(PictureCacheTest, CacheDropsTheLeastRecentlyUsedBeyondItsBounds)
{
    auto path = [this](const std::string& name) { return folder.string() + "/Presets/" + name + ".png"; };
    for (const char* name : {"A", "B", "C", "D"})
        ASSERT_TRUE(writePicture(path(name), 10, 10, green));
    ASSERT_TRUE(writePicture(path("Big"), 20, 20, green));

    PictureCache few(viewer.caches.decoder, 3, 1000000);
    std::shared_ptr<const Image> a = few.keyedBitmap(path("A"), white, 10);
    std::shared_ptr<const Image> b = few.keyedBitmap(path("B"), white, 10);
    few.keyedBitmap(path("C"), white, 10);
    EXPECT_EQ(few.keyedBitmap(path("A"), white, 10), a);  // A is now the most recently used, B the least
    few.keyedBitmap(path("D"), white, 10);
    EXPECT_EQ(few.entryCount(), 3u);
    EXPECT_EQ(few.keyedBitmap(path("A"), white, 10), a);
    EXPECT_NE(few.keyedBitmap(path("B"), white, 10), b);  // decoded again

    PictureCache small(viewer.caches.decoder, 10, 150);
    a = small.keyedBitmap(path("A"), white, 10);
    small.keyedBitmap(path("B"), white, 10);  // 200 pixels: A goes
    EXPECT_EQ(small.entryCount(), 1u);
    std::shared_ptr<const Image> big = small.keyedBitmap(path("Big"), white, 10);  // alone over the bound, it stays
    ASSERT_NE(big, nullptr);
    EXPECT_EQ(small.entryCount(), 1u);
    EXPECT_EQ(small.keyedBitmap(path("Big"), white, 10), big);
}

TEST_F(PictureCacheTest, IconsOfManyClassesOverTheBoundAreDecodedOncePerVersion)
{
    // Nine classes whose icon files decode to 20 megapixels together, more than the cache keeps: each is kept small,
    // so later frames draw what the first one decoded. Rewritten with another picture under the same version (size,
    // time, permissions), a file that were decoded again would show the new one.
    constexpr int classes = 9;
    const std::string greenPath = (folder / "green.png").string();
    const std::string bluePath = (folder / "blue.png").string();
    ASSERT_TRUE(writePicture(greenPath, 1500, 1500, green));
    ASSERT_TRUE(writePicture(bluePath, 1500, 1500, blue));
    // Bytes after the end of a PNG are not read: both are made as long as the longer.
    std::string greenBytes = readBytes(greenPath);
    std::string blueBytes = readBytes(bluePath);
    greenBytes.resize(std::max(greenBytes.size(), blueBytes.size()), '\0');
    blueBytes.resize(greenBytes.size(), '\0');
    const auto time = std::chrono::floor<std::chrono::seconds>(std::filesystem::file_time_type::clock::now());
    std::vector<std::string> paths;
    for (int c = 1; c <= classes; ++c) {
        addVehicle(-100 + 20.0f * c, -50, 0, "C" + std::to_string(c));
        paths.push_back(writeFile("Presets/C" + std::to_string(c) + ".png", greenBytes));
        setTime(paths.back(), time);
    }
    auto iconColours = [&] {
        fillBackBuffer(black);
        composeFrame();
        std::vector<ARGB> colours;
        for (int c = 1; c <= classes; ++c)
            colours.push_back(pixelAt(-100 + 20.0f * c, -50));
        return colours;
    };
    EXPECT_EQ(iconColours(), std::vector<ARGB>(classes, green));
    for (const std::string& path : paths) {
        writeFile(std::filesystem::relative(path, folder).string(), blueBytes);
        setTime(path, time);
    }
    EXPECT_EQ(iconColours(), std::vector<ARGB>(classes, green));
    EXPECT_EQ(iconColours(), std::vector<ARGB>(classes, green));
    // Each kept at most at the decoded side and at the size it is drawn at.
    const std::uint64_t decoded = PictureCache::decodedSide * PictureCache::decodedSide;
    const std::uint64_t drawn = 10 * PictureCache::detailPerPixel * 10 * PictureCache::detailPerPixel;
    EXPECT_LE(viewer.caches.icons.pixelCount(), classes * (decoded + drawn));
}

TEST_F(PictureCacheTest, IconIsKeptAtEachSizeItIsDrawnAt)
{
    // A file of 1,000 x 600: decoded once, kept at the decoded side, and at four times each drawn side.
    PictureCache cache(viewer.caches.decoder);
    ASSERT_TRUE(writePicture(icon, 1000, 600, green));
    const auto time = std::chrono::floor<std::chrono::seconds>(std::filesystem::file_time_type::clock::now());
    setTime(icon, time);
    std::shared_ptr<const Image> ten = cache.keyedBitmap(icon, white, 10);
    ASSERT_NE(ten, nullptr);
    EXPECT_EQ(pictureBounds(*ten).Width, 40);
    EXPECT_EQ(pictureBounds(*ten).Height, 40);
    // A window drawn larger asks for another size, made from what was decoded: the file is not read again.
    ASSERT_TRUE(writePicture(icon, 1000, 600, blue));
    setTime(icon, time);
    std::shared_ptr<const Image> twentyFive = cache.keyedBitmap(icon, white, 25);
    ASSERT_NE(twentyFive, nullptr);
    EXPECT_EQ(pictureBounds(*twentyFive).Width, 100);
    EXPECT_EQ(pictureBounds(*twentyFive).Height, 100);
    ARGB colour = 0;
    EXPECT_TRUE(const_cast<Image&>(*twentyFive).pixel(50, 50, colour));
    EXPECT_EQ(colour, green);
    EXPECT_EQ(cache.keyedBitmap(icon, white, 10), ten);
    // Past the decoded side, the decoded picture itself, square as the icon is drawn.
    std::shared_ptr<const Image> large = cache.keyedBitmap(icon, white, 80);
    ASSERT_NE(large, nullptr);
    EXPECT_EQ(pictureBounds(*large).Width, PictureCache::decodedSide);
    EXPECT_EQ(pictureBounds(*large).Height, PictureCache::decodedSide);
    EXPECT_EQ(cache.pixelCount(), 256u * 256 + 40 * 40 + 100 * 100);
    EXPECT_EQ(cache.entryCount(), 1u);
}

// The back buffer after drawing the one vehicle of the world from the icon cache, and after drawing it from the
// decoded picture as drawing an icon always did: moved to its screen point, turned, scaled into 10 x 10 pixels.
std::pair<std::vector<std::uint32_t>, std::vector<std::uint32_t>> keptAndDecoded(const std::string& folder,
                                                                                 const Image& decoded)
{
    std::pair<std::vector<std::uint32_t>, std::vector<std::uint32_t>> frames;
    fillBackBuffer(black);
    {
        Surface surface(backBufferDC());
        drawVehicles(surface, backBufferCanvas(), app::viewer().world, app::viewer().view.units, folder, UnitSight{});
    }
    headless::framePixels(frames.first);
    fillBackBuffer(black);
    walk(app::viewer().world.vehicleList, [&](VehicleRecord& vehicle) {
        const ScreenPoint p = worldToScreen(app::viewer().world.calibration, vehicle.posX, vehicle.posY);
        Surface rotated(backBufferDC());
        Matrix turn;
        turn.prependTranslation(p.x, p.y);
        turn.prependRotation(iconRotation(app::viewer().world.calibration, vehicle.direction));
        turn.prependTranslation(-p.x, -p.y);
        rotated.setTransform(turn);
        rotated.drawImage(decoded, p.x - 5, p.y - 5, 10.0f, 10.0f);
    });
    headless::framePixels(frames.second);
    return frames;
}

TEST_F(PictureCacheTest, IconsAreDrawnFromWhatIsKeptAsFromTheDecodedPicture)
{
    // Icons of several sizes at fractions of a pixel and in every direction, each in squares of white (keyed clear)
    // and of colours that change along both axes.
    std::mt19937 random(20261208);
    std::uniform_real_distribution<float> fraction(0, 1);
    std::uniform_real_distribution<float> direction(-180, 360);
    VehicleRecord* tank = nullptr;
    walk(viewer.world.vehicleList, [&](VehicleRecord& vehicle) { tank = &vehicle; });
    ASSERT_NE(tank, nullptr);
    for (int side : {10, 32, 40, 41, 64, 300, 2048}) {
        viewer.caches.icons.clear();
        ASSERT_TRUE(writePicture(icon, side, side, [side](int x, int y) -> ARGB {
            const int cx = x * 8 / side;
            const int cy = y * 8 / side;
            return (cx + cy) % 3 == 0 ? white
                                      : 0xFF000000 | static_cast<ARGB>(x * 255 / side) << 16
                                            | static_cast<ARGB>(y * 255 / side) << 8 | 0x40;
        }));
        Image decoded = Image::loadBitmap(icon);
        applyColourKey(decoded, white);
        decoded.dropPalette(0);
        long long differing = 0;
        long long total = 0;
        long long difference = 0;
        for (int pose = 0; pose < 24; ++pose) {
            tank->posX = -100 + fraction(random);
            tank->posY = -100 + fraction(random);
            tank->direction = direction(random);
            const auto [kept, fromDecoded] = keptAndDecoded(folder.string(), decoded);
            ASSERT_EQ(kept.size(), fromDecoded.size());
            for (std::size_t i = 0; i < kept.size(); ++i) {
                if (kept[i] == fromDecoded[i] && kept[i] == black)
                    continue;
                ++total;
                differing += kept[i] != fromDecoded[i];
                for (int shift = 0; shift < 32; shift += 8)
                    difference += std::abs(static_cast<int>((kept[i] >> shift) & 0xFF)
                                           - static_cast<int>((fromDecoded[i] >> shift) & 0xFF));
            }
        }
        // No larger than four times the 10 pixels it is drawn at: drawn from the decoded picture itself. Larger: from
        // its average over each pixel of a copy four times the drawn size, where the decoded picture, drawn, gives
        // a box of at most 16 of its pixels under each drawn pixel; close to it, not the same.
        ASSERT_GT(total, 0) << side;
        if (side <= 10 * PictureCache::detailPerPixel)
            EXPECT_EQ(differing, 0) << side;
        else
            EXPECT_LT(static_cast<double>(difference) / static_cast<double>(4 * total), 10) << side;
    }
}

// [SECTION] The colour key in bulk

std::vector<ARGB> pixelsOf(Image& bitmap)
{
    std::vector<ARGB> pixels;
    for (int x = 0;; ++x) {
        for (int y = 0;; ++y) {
            ARGB colour = 0;
            if (!bitmap.pixel(x, y, colour)) {
                if (y == 0)
                    return pixels;
                break;
            }
            pixels.push_back(colour);
        }
    }
}

// A bottom-up BMP: 24-bit colours, or 8-bit indices into the palette when one is given.
std::string bmpFile(int width, int height, const std::vector<ARGB>& palette, const std::function<ARGB(int, int)>& pixel)
{
    int bits = palette.empty() ? 24 : 8;
    int rowBytes = (width * bits / 8 + 3) / 4 * 4;
    Bytes bytes = bmpHeader(width, height, 40, static_cast<std::uint16_t>(bits),
                            static_cast<std::uint32_t>(palette.size()), static_cast<std::uint32_t>(rowBytes * height));
    for (ARGB colour : palette)
        put32(bytes, colour & 0x00FFFFFF);
    for (int y = height - 1; y >= 0; --y) {
        std::size_t start = bytes.size();
        for (int x = 0; x < width; ++x) {
            ARGB colour = pixel(x, y);
            if (bits == 8)
                put(bytes, {static_cast<std::uint8_t>(colour)});
            else
                put(bytes, {static_cast<std::uint8_t>(colour), static_cast<std::uint8_t>(colour >> 8),
                            static_cast<std::uint8_t>(colour >> 16)});
        }
        bytes.resize(start + static_cast<std::size_t>(rowBytes));
    }
    return std::string(bytes.begin(), bytes.end());
}

class PictureColourKeyTest : public KeloTest {
protected:
    // Keys two bitmaps of the file, one each way; true when the bulk way locked the pixels.
    bool expectBothWaysEqual(const std::string& path, bool keyedAway)
    {
        Image bulk = Image::loadBitmap(path);
        Image single = Image::loadBitmap(path);
        EXPECT_TRUE(bulk.isRasterBitmap()) << path;
        bool locked = PixelLock(bulk).locked();
        std::vector<ARGB> before = pixelsOf(bulk);
        applyColourKey(bulk, white);
        keyPixelByPixel(single, white);
        std::vector<ARGB> after = pixelsOf(bulk);
        EXPECT_EQ(after, pixelsOf(single)) << path;
        EXPECT_EQ(after.size(), before.size()) << path;
        EXPECT_EQ(after != before, keyedAway) << path;
        return locked;
    }
};

TEST_F(PictureColourKeyTest, BulkEqualsThePerPixelWayOnMixedPixels)
{
    // White, almost white in each byte, white at lower alphas, transparent white, clear, colours half see-through.
    const ARGB mixed[] = {white,      0xFFFFFFFE, 0xFFFEFFFF, 0xFEFFFFFF, 0x80FFFFFF, 0x00FFFFFF, 0x00000000,
                          0xFF102030, 0x80FF0000, 0x7F7F7F7F, 0xFFFEFEFE, white,      0x01FFFFFF};
    std::string path = folder.string() + "/Presets/Mixed.png";
    ASSERT_TRUE(writePicture(path, 13, 7, [&](int x, int y) { return mixed[(x + 3 * y) % 13]; }));
    EXPECT_TRUE(expectBothWaysEqual(path, true));

    // Opaque colours without alpha: white becomes what the picture's format keeps of a clear pixel.
    std::string rgb = writeFile("Presets/Rgb.bmp", bmpFile(6, 5, {}, [](int x, int y) {
                                    return (x + y) % 3 == 0 ? white : (x % 2 == 0 ? 0xFFFEFFFF : 0xFF204060);
                                }));
    EXPECT_TRUE(expectBothWaysEqual(rgb, true));

    // Palette indices are not locked as 32-bit colours: both ways leave them as the format allows.
    std::string indexed = writeFile("Presets/Indexed.bmp", bmpFile(6, 5, {white, 0xFF204060, 0xFFFEFEFE},
                                                                   [](int x, int y) -> ARGB { return (x + y) % 3; }));
    EXPECT_FALSE(expectBothWaysEqual(indexed, false));
}

TEST_F(PictureColourKeyTest, NoPictureIsLeftAlone)
{
    Image missing = Image::loadBitmap(folder.string() + "/Presets/Missing.png");
    EXPECT_FALSE(PixelLock(missing).locked());
    applyColourKey(missing, white);
    EXPECT_EQ(missing.get(), nullptr);
}

}  // namespace

// Hostile files beside the program, on the headless backend: Kelo.ini empty, huge, repeated, with endless values or
// numbers that are not finite, rewritten hundreds of times while a log plays; map pictures and icons that are cut,
// forged, empty or no pictures at all; and names from the log that would reach a picture outside Maps or Presets.
#include <array>
#include <cmath>
#include <filesystem>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "app/calibration.h"
#include "app/playback.h"
#include "app/screen_hooks.h"
#include "app/shell.h"
#include "tests/pictures.h"
#include "tests/world_invariants.h"
#include "view/map_picture.h"
#include "view/picture_cache.h"
#include "world/interpreter.h"

namespace {

constexpr ARGB fill = 0xFF123456;
constexpr ARGB mapGreen = 0xFF00C000;
constexpr ARGB escapedMagenta = 0xFFFF00FF;
constexpr ARGB sideRed = 0xFFFF0000;

const std::string sevenKeys = "InvertY=0\nInvertX=0\nScaleX=400\nScaleY=400\nOffsetX=0\nOffsetY=0\nRotationOffset=0\n";

void apply(const std::string& event)
{
    const std::string line = "[1:00:00] " + event;
    std::optional<SplitLine> split = splitLine(line);
    ASSERT_TRUE(split);
    applyEvent(app::viewer().world, split->fields, app::viewer().playback.msPerLogSecond, screenHooks);
}

// A JPEG whose Huffman table is cut off: the decoder gives up on it, and libjpeg says so on standard error.
const std::string
    brokenJpeg("\xff\xd8\xff\xe0\x00\x10\x4a\x46\x49\x46\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00\xff\xdb\x00\x43"
               "\x00\x03\x02\x02\x02\x02\x02\x03\x02\x02\x02\x03\x03\x03\x03\x04\x06\x04\x04\x04\x04\x04\x08\x06"
               "\x06\x05\x06\x09\x08\x0a\x0a\x09\x08\x09\x09\x0a\x0c\x0f\x0c\x0a\x0b\x0e\x0b\x09\x09\x0d\x11\x0d"
               "\x0e\x0f\x10\x10\x11\x10\x0a\x0c\x12\x13\x12\x10\x13\x0f\x10\x10\x10\xff\xc0\x00\x0b\x08\x00\x08"
               "\x00\x08\x01\x01\x11\x00\xff\xc4\x00\x14\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00",
               120);

// A TIFF found by fuzzing: libgdiplus decodes it without an error into an image of no frame, whose size it then reads
// through a null pointer.
const std::string
    tiffWithoutFrame("\x49\x49\x2a\x00\x2c\x00\x00\x00\x03\x00\x00\x00\x16\x01\x03\x00\x01\x00\x00\x00\x02\x00\x00\x00"
                     "\xed\xfe\xfc\x00\x07\x00\x00\x00\x24\x00\x00\x05\x1c\x01\x03\x00\x01\x69\x6e\x74\x0f\x00\x00\x01"
                     "\x03\x00\x01\x00\x00\x00\x03\x00\x00\x00\x01\x01\x03\x00\x01\x00\x00\x00\x02\x03\x01\x03\x00\x01"
                     "\x00\x00\x00\x01\x00\x00\x00\x06\x01\x03\x00\x01\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x11\x01"
                     "\x04\x00\x01\x00\x00\x00\x08\x00\x00\x00\x12\x01\x03\x01\x00\x00\x00\x01\x00\x00\x00\x15\x01\x03"
                     "\x00\x01\x00\x00\x00\x03\x00\x00\x00\x16\x01\x03\x00\x01\x00\x00\x00\x02\x00\x00\x00\x17\x01\x04"
                     "\x00\x01\x00\x00\x00\x24\x00\x00\xd5\xd5\xd5\xd5\xd5\xd5\xd5\xd5\xff\xff\xff\xff\xff\xff\xff\xff"
                     "\xff\xff\xff\xff\xff\xff\xcd\xcc\x4c\x00\x00\x00\x00\x01\xcd\xcc\x4c\x00\x40\x00\x2a\x00\x00\x00"
                     "\x80\x00\xcd\xcc\x4c\x00\x00\x00\x00\x02\x8f\xc2\xf5\x00\x00\x00\x00\x10\x32\x1a\xa0\x00\x00\x00"
                     "\x00\x02\x2b\x87\x0a\x00\x00\x00\x20\x00",
                     226);

std::string be32(std::uint32_t value)
{
    return {static_cast<char>(value >> 24), static_cast<char>(value >> 16), static_cast<char>(value >> 8),
            static_cast<char>(value)};
}

// A PNG signature and header chunk declaring the size, followed by `rest`.
std::string pngHeader(std::uint32_t width, std::uint32_t height, const std::string& rest)
{
    return std::string("\x89PNG\r\n\x1a\n", 8) + be32(13) + "IHDR" + be32(width) + be32(height)
         + std::string("\x08\x06\x00\x00\x00", 5) + be32(0) + rest;
}

std::string le32(std::uint32_t value)
{
    return {static_cast<char>(value), static_cast<char>(value >> 8), static_cast<char>(value >> 16),
            static_cast<char>(value >> 24)};
}

// A bottom-up BMP of 8-bit indices into the palette (24-bit colours without one), whose header declares `declared`
// colours (the palette's size unless given).
std::string bmpFile(int width, int height, const std::vector<ARGB>& palette,
                    const std::function<std::uint32_t(int x, int y)>& pixel,
                    std::optional<std::uint32_t> declared = std::nullopt)
{
    const int bits = palette.empty() ? 24 : 8;
    const int rowBytes = (width * bits / 8 + 3) / 4 * 4;
    const auto offset = static_cast<std::uint32_t>(14 + 40 + 4 * palette.size());
    const auto dataSize = static_cast<std::uint32_t>(rowBytes * height);
    std::string bytes = "BM" + le32(offset + dataSize) + le32(0) + le32(offset) + le32(40)
                      + le32(static_cast<std::uint32_t>(width)) + le32(static_cast<std::uint32_t>(height))
                      + std::string{1, 0, static_cast<char>(bits), 0} + le32(0) + le32(dataSize) + le32(2835)
                      + le32(2835) + le32(declared.value_or(static_cast<std::uint32_t>(palette.size()))) + le32(0);
    for (ARGB colour : palette)
        bytes += le32(colour & 0x00FFFFFF);
    for (int y = height - 1; y >= 0; --y) {
        std::string row;
        for (int x = 0; x < width; ++x)
            row += le32(pixel(x, y)).substr(0, static_cast<std::size_t>(bits / 8));
        row.resize(static_cast<std::size_t>(rowBytes), '\0');
        bytes += row;
    }
    return bytes;
}

// A GIF whose screen of `screen` x `screen` pixels holds one image of the rectangle `image`, its pixels indices into a
// global table of four colours. The codes are of 3 bits, a clear code before every two pixels, so that the table of
// strings never grows past what 3 bits hold.
std::string gifFile(int screen, GpRect image, const std::array<ARGB, 4>& palette,
                    const std::function<std::uint8_t(int x, int y)>& index)
{
    auto le16 = [](int value) { return le32(static_cast<std::uint32_t>(value)).substr(0, 2); };
    std::string bytes = "GIF89a" + le16(screen) + le16(screen) + std::string{'\x81', 0, 0};
    for (ARGB colour : palette)
        bytes +=
            std::string{static_cast<char>(colour >> 16), static_cast<char>(colour >> 8), static_cast<char>(colour)};
    bytes += "\x2C" + le16(image.X) + le16(image.Y) + le16(image.Width) + le16(image.Height) + std::string(1, '\0');
    std::vector<int> codes;
    for (int i = 0; i < image.Width * image.Height; ++i) {
        if (i % 2 == 0)
            codes.push_back(4);
        codes.push_back(index(i % image.Width, i / image.Width));
    }
    codes.push_back(5);
    std::string data((codes.size() * 3 + 7) / 8, '\0');
    for (std::size_t i = 0; i < codes.size() * 3; ++i)
        data[i / 8] = static_cast<char>(data[i / 8] | ((codes[i / 3] >> (i % 3)) & 1) << (i % 8));
    bytes += '\x02';
    for (std::size_t at = 0; at < data.size(); at += 255) {
        const std::string block = data.substr(at, 255);
        bytes += static_cast<char>(block.size()) + block;
    }
    return bytes + std::string(1, '\0') + ";";
}

struct HostilePicture {
    const char* what;
    std::string bytes;
};

// Every way a picture file can be wrong that does not depend on its decoder's mood.
std::vector<HostilePicture> hostilePictures(const std::string& goodPng)
{
    return {
        {"a PNG cut short", goodPng.substr(0, 60)},
        {"a PNG header on garbage", pngHeader(40, 40, std::string(500, '\xA5'))},
        {"a PNG of 0 x 0", pngHeader(0, 0, "")},
        {"a header declaring 30,000 x 30,000", pngHeader(30000, 30000, goodPng.substr(33))},
        {"a BMP declaring 4 billion colours",
         bmpFile(
             4, 4, std::vector<ARGB>(256, mapGreen), [](int, int) { return 1u; }, 0xFFFFFFFF)},
        {"a broken JPEG", brokenJpeg},
        {"a TIFF that decodes to no frame", tiffWithoutFrame},
        {"a text file", "this is no picture\n"},
        {"an empty file", ""},
    };
}

class HostileFilesTest : public ViewTest {
protected:
    // A frame over a back buffer filled with `fill`, so that whatever the frame leaves undrawn shows it.
    void composeOverFill()
    {
        fillBackBuffer(fill);
        composeFrame();
    }

    std::string goodPng()
    {
        const std::string path = (folder / "good.png").string();
        EXPECT_TRUE(writePicture(path, 16, 16, mapGreen));
        return readBytes(path);
    }
};

}  // namespace

// [SECTION] Kelo.ini

TEST_F(HostileFilesTest, EmptyOrKeylessSettingsSayErrorLoadingAndDrawNoUnit)
{
    addSoldier(0, 0, 0);
    composeOverFill();
    ASSERT_GT(findColour(sideRed, mapArea).count, 0);
    for (const std::string& settings :
         {std::string(), std::string("\n\n;\n[Harbour.map]\n"), std::string("[Harbour.map]\nScaleX\nInvertY\n=1\n")}) {
        viewer.reset();
        writeFile("Kelo.ini", settings);
        apply("1;Harbour.map");
        EXPECT_EQ(viewer.world.statusMessage, "Error loading Kelo.ini");
        EXPECT_EQ(viewer.world.calibration, Calibration{});
        addSoldier(0, 0, 0);
        composeOverFill();
        // Scales of 0 place no unit anywhere.
        EXPECT_EQ(findColour(sideRed, mapArea).count, 0);
    }
}

TEST_F(HostileFilesTest, TenMegabytesOfSettingsBeforeTheMapsSection)
{
    std::string settings = "; a settings file of ten megabytes\r\n";
    settings.reserve(10 * 1024 * 1024 + 4096);
    for (int i = 0; settings.size() < 10 * 1024 * 1024; ++i)
        settings += "[Map" + std::to_string(i) + ".map]\r\n" + sevenKeys + "; " + std::string(400, '#') + "\r\n";
    settings += "[Harbour.map]\r\nInvertY=1\r\nInvertX=0\r\nScaleX=800\r\nScaleY=400\r\nOffsetX=200\r\nOffsetY=7\r\n"
                "RotationOffset=-90\r\n";
    writeFile("Kelo.ini", settings);
    apply("1;Harbour.map");
    EXPECT_FALSE(viewer.world.statusMessage);
    EXPECT_EQ(viewer.world.calibration, (Calibration{true, false, 800, 400, 200, 7, -90}));
    addSoldier(0, 0, 0);
    composeOverFill();
    EXPECT_GT(findColour(sideRed, mapArea).count, 0);
}

TEST_F(HostileFilesTest, RepeatedSectionsAndKeysTakeTheFirstOfEach)
{
    std::string settings;
    for (int i = 0; i < 10000; ++i)
        settings += "[Harbour.map]\nScaleX=" + std::to_string(100 + i) + "\nScaleX=1\n" + sevenKeys;
    writeFile("Kelo.ini", settings);
    apply("1;Harbour.map");
    EXPECT_FALSE(viewer.world.statusMessage);
    EXPECT_EQ(viewer.world.calibration.scaleX, 100);
    EXPECT_EQ(viewer.world.calibration.scaleY, 400);

    // A key that only a later section of the name holds is missing: only the first section is read.
    writeFile("Kelo.ini", "[Harbour.map]\nInvertY=1\n[Harbour.map]\n" + sevenKeys);
    viewer.world.statusMessage.reset();
    apply("1;Harbour.map");
    EXPECT_EQ(viewer.world.statusMessage, "Error loading Kelo.ini");
}

TEST_F(HostileFilesTest, ValuesOfTenThousandCharactersAreCutAndNumbersNeedNotBeFinite)
{
    struct Case {
        std::string scaleX;
        float expected;
    };
    const std::vector<Case> cases = {
        {std::string(10000, '1'), std::numeric_limits<float>::infinity()},  // 255 digits: beyond the float range
        {"0." + std::string(9998, '0') + "1", 0.0f},  // the 1 is cut off
        {"nan", std::numeric_limits<float>::quiet_NaN()},
        {"-inf", -std::numeric_limits<float>::infinity()},
        {"1e39", std::numeric_limits<float>::infinity()},
        {"0x1p-149", 1.401298464e-45f},
        {"\"" + std::string(9998, ' ') + "\"", 0.0f},
    };
    for (const Case& c : cases) {
        viewer.reset();
        writeFile("Kelo.ini",
                  "[Harbour.map]\nInvertY=" + std::string(10000, 't') + "\nInvertX=TRUE\nScaleX=" + c.scaleX
                      + "\nScaleY=nan\nOffsetX=-1e39\nOffsetY=inf\nRotationOffset=" + std::string(10000, '9') + "\n");
        apply("1;Harbour.map");
        const Calibration& calibration = viewer.world.calibration;
        EXPECT_FALSE(viewer.world.statusMessage) << c.scaleX.substr(0, 20);
        EXPECT_FALSE(calibration.invertY);
        EXPECT_TRUE(calibration.invertX);
        if (std::isnan(c.expected))
            EXPECT_TRUE(std::isnan(calibration.scaleX));
        else
            EXPECT_EQ(calibration.scaleX, c.expected) << c.scaleX.substr(0, 20);
        EXPECT_TRUE(std::isnan(calibration.scaleY));
        EXPECT_EQ(calibration.rotationOffset, std::numeric_limits<float>::infinity());
        // No screen point is finite: nothing is drawn and nothing can be hit.
        pin(addSoldier(0, 0, 0));
        pin(addVehicle(10, 10, 0, "Truck"));
        composeOverFill();
        EXPECT_EQ(findColour(sideRed, mapArea).count, 0) << c.scaleX.substr(0, 20);
        EXPECT_EQ(brokenReference(viewer.world), "");
    }
}

TEST_F(HostileFilesTest, SettingsRewrittenHundredsOfTimesWhileALogPlaysShowAtTheNextFrame)
{
    std::string log = "[1:0:0] 1;Harbour.map\n[1:0:0] CREATED;SOLDIER;1;Rifleman;0;0;0;0;1;1;0;A\n";
    for (int i = 0; i < 400; ++i)
        log += "[1:0:" + std::to_string(i % 60) + "] POS;SOLDIER;1;Rifleman;0;0;0;0;1;1\n";
    writeFile("Kelo.ini", "[Harbour.map]\n" + sevenKeys);
    openReplayLog(writeFile("replay.log", log));
    headless::advance(5);
    ASSERT_EQ(viewer.world.soldierList.size(), 1);
    const std::vector<std::string> versions = {
        "",
        "[Harbour.map]\nScaleX=",
        "\xEF\xBB\xBF[harbour.MAP]\r\n" + sevenKeys,
        std::string(1, '\0'),
    };
    for (int i = 0; i < 300; ++i) {
        // Files of one size written within one second: a new version each time all the same.
        const float scale = static_cast<float>(100 + i % 900);
        const bool whole = i % 3 != 2;
        writeFile("Kelo.ini", whole ? "[Harbour.map]\nInvertY=0\nInvertX=0\nScaleX=" + std::to_string(100 + i % 900)
                                          + "\nScaleY=400\nOffsetX=0\nOffsetY=0\nRotationOffset=0\n"
                                    : versions[static_cast<std::size_t>(i) % versions.size()]);
        const Calibration before = viewer.world.calibration;
        headless::advance(100);
        composeFrame();
        if (whole)
            EXPECT_EQ(viewer.world.calibration.scaleX, scale) << "rewrite " << i;
        else if (i % versions.size() == 2)
            EXPECT_EQ(viewer.world.calibration.scaleX, 400) << "rewrite " << i;
        else
            EXPECT_EQ(viewer.world.calibration, before) << "rewrite " << i << ": a failed read keeps the values";
        EXPECT_EQ(brokenReference(viewer.world), "");
    }
    EXPECT_TRUE(headless::timerArmed(playbackTimer));
}

// [SECTION] Map pictures and icons

TEST_F(HostileFilesTest, HostileMapPicturesShowNoPicture)
{
    writeFile("Kelo.ini", "[Good.map]\n" + sevenKeys + "[Bad.map]\n" + sevenKeys);
    writeFile("Maps/Good.png", goodPng());
    apply("1;Good.map");
    composeOverFill();
    ASSERT_EQ(headless::pixel(100, 100), mapGreen);

    std::filesystem::create_directories(folder / "Maps" / "Bad.png");
    testing::internal::CaptureStderr();
    apply("1;Bad.map");
    composeOverFill();
    // No picture: the map area is black.
    EXPECT_EQ(headless::pixel(100, 100), 0xFF000000u) << "a folder";
    for (const HostilePicture& picture : hostilePictures(goodPng())) {
        std::filesystem::remove_all(folder / "Maps" / "Bad.png");
        writeFile("Maps/Bad.png", picture.bytes);
        apply("1;Good.map");
        apply("1;Bad.map");
        EXPECT_FALSE(viewer.world.mapImage) << picture.what;
        composeOverFill();
        EXPECT_EQ(headless::pixel(100, 100), 0xFF000000u) << picture.what;
        EXPECT_EQ(brokenReference(viewer.world), "");
    }
    const std::string warnings = testing::internal::GetCapturedStderr();
    EXPECT_NE(warnings.find("30000 x 30000"), std::string::npos) << warnings;
}

TEST_F(HostileFilesTest, HostileIconsShowTheSquare)
{
    writeFile("Presets/Good.png", goodPng());
    // (A vehicle at the origin has never been placed and is not drawn.)
    VehicleRecord& vehicle = addVehicle(10, 10, 0, "Good");
    composeOverFill();
    ASSERT_EQ(pixelAt(10, 10), mapGreen);

    testing::internal::CaptureStderr();
    vehicle.className = "Bad";
    for (const HostilePicture& picture : hostilePictures(goodPng())) {
        writeFile("Presets/Bad.png", picture.bytes);
        composeOverFill();
        EXPECT_EQ(pixelAt(10, 10, 3, 3), sideRed) << picture.what;
    }
    testing::internal::GetCapturedStderr();
}

TEST_F(HostileFilesTest, AMapThatGaveNoPictureIsNotDecodedAgainUntilItChanges)
{
    writeFile("Kelo.ini", "[Broken.map]\n" + sevenKeys);
    writeFile("Maps/Broken.png", brokenJpeg);
    testing::internal::CaptureStderr();
    apply("1;Broken.map");
    const std::string first = testing::internal::GetCapturedStderr();
    ASSERT_NE(first.find("jpeg error"), std::string::npos) << "the decoder no longer says why it gives up";

    testing::internal::CaptureStderr();
    for (int i = 0; i < 20; ++i)
        apply("1;Broken.map");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_FALSE(viewer.world.mapImage);

    // Another version of the file is tried.
    writeFile("Maps/Broken.png", brokenJpeg + "\n");
    testing::internal::CaptureStderr();
    apply("1;Broken.map");
    EXPECT_NE(testing::internal::GetCapturedStderr().find("jpeg error"), std::string::npos);
}

TEST_F(HostileFilesTest, PicturesOfPaletteIndicesAreDrawnFromTheirColoursConvertedOnce)
{
    // Three colours in squares of 5 pixels, as indices into a palette and as 24-bit colours.
    const std::vector<ARGB> palette = {0xFFFFFFFF, 0xFF204060, 0xFFC08000};
    auto index = [](int x, int y) { return static_cast<std::uint32_t>((x / 5 + y / 5) % 3); };
    writeFile("Kelo.ini", "[Indexed.map]\n" + sevenKeys + "[Colours.map]\n" + sevenKeys);
    writeFile("Maps/Indexed.png", bmpFile(40, 40, palette, index));
    writeFile("Maps/Colours.png", bmpFile(40, 40, {}, [&](int x, int y) { return palette[index(x, y)]; }));

    apply("1;Indexed.map");
    ASSERT_TRUE(viewer.world.mapImage);
    int format = 0;
    ASSERT_EQ(GdipGetImagePixelFormat(viewer.world.mapImage->decoded()->image.get(), &format), gpOk);
    EXPECT_EQ(format & gpPixelFormatIndexed, 0) << std::hex << format;
    composeOverFill();
    // (The map's name, at the bottom of the map area, differs.)
    std::vector<ARGB> indexed;
    for (int y = mapArea.top; y < 380; ++y)
        for (int x = mapArea.left; x < mapArea.right(); ++x)
            indexed.push_back(headless::pixel(x, y));
    apply("1;Colours.map");
    composeOverFill();
    int differing = 0;
    auto before = indexed.begin();
    for (int y = mapArea.top; y < 380; ++y)
        for (int x = mapArea.left; x < mapArea.right(); ++x)
            differing += headless::pixel(x, y) != *before++;
    EXPECT_EQ(differing, 0);

    // An icon of indices is keyed as its indices allow (white stays), then held as colours.
    const std::string icon = writeFile("Presets/Indexed.png", bmpFile(10, 10, palette, index));
    std::shared_ptr<const Image> keyed = viewer.caches.icons.keyedBitmap(icon, 0xFFFFFFFF, 10);
    ASSERT_TRUE(keyed);
    ASSERT_EQ(GdipGetImagePixelFormat(keyed->get(), &format), gpOk);
    EXPECT_EQ(format & gpPixelFormatIndexed, 0) << std::hex << format;
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 10; ++x) {
            ARGB colour = 0;
            EXPECT_TRUE(const_cast<Image&>(*keyed).pixel(x, y, colour));
            EXPECT_EQ(colour, palette[index(x, y)]) << x << ", " << y;
        }
    }
}

TEST_F(HostileFilesTest, IndicesBeyondAShortPaletteAreOpaqueBlack)
{
    // Two colours in the palette, four indices in the picture: the last two have no colour of their own.
    const std::vector<ARGB> palette = {0xFF204060, 0xFFC08000};
    const std::vector<ARGB> expected = {palette[0], palette[1], 0xFF000000, 0xFF000000};
    const std::string picture = bmpFile(4, 1, palette, [](int x, int) { return static_cast<std::uint32_t>(x); });
    writeFile("Kelo.ini", "[Short.map]\n" + sevenKeys);
    writeFile("Maps/Short.png", picture);
    const std::string icon = writeFile("Presets/Short.png", picture);

    apply("1;Short.map");
    ASSERT_TRUE(viewer.world.mapImage);
    auto& map = const_cast<Image&>(viewer.world.mapImage->decoded()->image);
    std::shared_ptr<const Image> keyed = viewer.caches.icons.keyedBitmap(icon, 0xFFFFFFFF, 10);
    ASSERT_TRUE(keyed);
    for (int x = 0; x < 4; ++x) {
        ARGB colour = 0;
        EXPECT_TRUE(map.pixel(x, 0, colour));
        EXPECT_EQ(colour, expected[static_cast<std::size_t>(x)]) << "map, index " << x;
        EXPECT_TRUE(const_cast<Image&>(*keyed).pixel(x, 0, colour));
        EXPECT_EQ(colour, expected[static_cast<std::size_t>(x)]) << "icon, index " << x;
    }
}

TEST_F(HostileFilesTest, AGifCanvasBeyondItsFirstImageIsBlackUnderAMapAndClearInAnIcon)
{
    // A screen of 8 x 8 holding an image of 4 x 4 at (2, 3) in the table's second colour; the decoder leaves the rest
    // of the canvas as it found the memory, which would show the first colour (magenta) or any other.
    const std::array<ARGB, 4> palette = {escapedMagenta, mapGreen, 0xFF204060, 0xFFC08000};
    const std::string picture = gifFile(8, GpRect{2, 3, 4, 4}, palette, [](int, int) { return std::uint8_t{1}; });
    writeFile("Kelo.ini", "[Canvas.map]\n" + sevenKeys);
    writeFile("Maps/Canvas.png", picture);
    const std::string icon = writeFile("Presets/Canvas.png", picture);
    apply("1;Canvas.map");
    ASSERT_TRUE(viewer.world.mapImage);
    ASSERT_NE(viewer.world.mapImage->decoded(), nullptr);
    auto& map = const_cast<Image&>(viewer.world.mapImage->decoded()->image);
    std::shared_ptr<const Image> keyed = viewer.caches.icons.keyedBitmap(icon, 0xFFFFFFFF, 10);
    ASSERT_TRUE(keyed);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            const bool inside = x >= 2 && x < 6 && y >= 3 && y < 7;
            ARGB colour = 0;
            EXPECT_TRUE(map.pixel(x, y, colour));
            EXPECT_EQ(colour, inside ? mapGreen : 0xFF000000) << "map, " << x << ", " << y;
            EXPECT_TRUE(const_cast<Image&>(*keyed).pixel(x, y, colour));
            EXPECT_EQ(colour, inside ? mapGreen : 0x00000000) << "icon, " << x << ", " << y;
        }
    }
}

// [SECTION] Names that lead outside Maps and Presets

TEST_F(HostileFilesTest, NamesLeadingOutOfTheirFoldersDrawNothingFromThere)
{
    // A picture wherever such a name would lead, in the program folder, in Maps and Presets themselves, and at an
    // absolute path.
    const std::filesystem::path outside = folder / "outside";
    for (const std::filesystem::path& path :
         {folder / "Evil.png", folder / "Maps" / "C:Evil.png", folder / "Maps" / "..\\Evil.png",
          folder / "Maps" / "sub" / "Evil.png", folder / "Presets" / "C:Evil.png", folder / "Presets" / "..\\Evil.png",
          outside / "Evil.png"})
        ASSERT_TRUE(writePicture(path.string(), 16, 16, escapedMagenta));

    const std::vector<std::string> names = {
        "../Evil", "..\\Evil", "C:Evil", "sub/Evil", "Maps/../Evil", (outside / "Evil").string(), "..",
    };
    std::string settings;
    for (const std::string& name : names)
        settings += "[" + name + ".map]\n" + sevenKeys;
    writeFile("Kelo.ini", settings);
    for (const std::string& name : names) {
        apply("1;" + name + ".map");
        EXPECT_FALSE(viewer.world.mapImage) << name;
        composeOverFill();
        EXPECT_EQ(findColour(escapedMagenta, mapArea).count, 0) << name;
    }

    viewer.reset();
    viewer.world.calibration.scaleX = 400;
    viewer.world.calibration.scaleY = 400;
    for (std::size_t i = 0; i < names.size(); ++i)
        addVehicle(static_cast<float>(-150 + 40 * static_cast<int>(i)), 0, 0, names[i]);
    composeOverFill();
    EXPECT_EQ(findColour(escapedMagenta, mapArea).count, 0);
    for (std::size_t i = 0; i < names.size(); ++i)
        EXPECT_EQ(pixelAt(static_cast<float>(-150 + 40 * static_cast<int>(i)), 0, 3, 3), sideRed) << names[i];
}

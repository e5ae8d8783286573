// Tests of the frames handed out by the headless backend: the bulk read of the back buffer against the pixel by
// pixel one, and the PNG files of saveFrame against those of libgdiplus' own encoder, decoded and compared.
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "app/playback.h"
#include "app/shell.h"
#include "app/viewer.h"
#include "platform/headless/headless.h"
#include "platform/linux/shared.h"
#include "tests/pictures.h"
#include "view/gdiplus_wrappers.h"

namespace {

using FrameOutputTest = KeloTest;

std::string demoFile(const std::string& name)
{
    return (std::filesystem::path(__FILE__).parent_path().parent_path() / "examples" / "demo" / name).string();
}

// The demo's files in the test's program folder, and the demo played to the moment given.
void playDemo(const std::filesystem::path& folder, std::int64_t ms)
{
    std::filesystem::copy(demoFile("Kelo.ini"), folder / "Kelo.ini");
    std::filesystem::copy(demoFile("Maps"), folder / "Maps", std::filesystem::copy_options::recursive);
    std::filesystem::copy(demoFile("Presets"), folder / "Presets", std::filesystem::copy_options::recursive);
    openReplayLog(demoFile("demo.log"));
    headless::advance(ms);
    composeFrame();
}

// A PNG file decoded by GDI+ into 32-bit ARGB values, row by row; empty when it cannot be read as 400 x 455.
std::vector<ARGB> decoded(const std::string& path)
{
    std::vector<ARGB> pixels;
    GpBitmap* bitmap = nullptr;
    if (GdipCreateBitmapFromFile(widen(path).c_str(), &bitmap) != gpOk)
        return pixels;
    const GpRect whole{0, 0, frameWidth, frameHeight};
    GpBitmapData data{};
    unsigned width = 0;
    unsigned height = 0;
    GdipGetImageWidth(reinterpret_cast<GpImage*>(bitmap), &width);
    GdipGetImageHeight(reinterpret_cast<GpImage*>(bitmap), &height);
    if (width == frameWidth && height == frameHeight
        && GdipBitmapLockBits(bitmap, &whole, gpImageLockModeRead, gpPixelFormat32bppARGB, &data) == gpOk) {
        for (int y = 0; y < frameHeight; ++y) {
            const auto* row = reinterpret_cast<const ARGB*>(static_cast<const char*>(data.Scan0) + y * data.Stride);
            pixels.insert(pixels.end(), row, row + frameWidth);
        }
        GdipBitmapUnlockBits(bitmap, &data);
    }
    GdipDisposeImage(reinterpret_cast<GpImage*>(bitmap));
    return pixels;
}

// Writes the back buffer both ways and expects the same pixels from both files, and from the back buffer.
void expectSameFiles(const std::filesystem::path& folder, const std::string& name)
{
    const std::string ours = (folder / (name + ".png")).string();
    const std::string theirs = (folder / (name + "-gdiplus.png")).string();
    ASSERT_TRUE(headless::saveFrame(ours));
    ASSERT_EQ(GdipSaveImageToFile(reinterpret_cast<GpImage*>(backBufferBitmap()), widen(theirs).c_str(), &gpPngEncoder,
                                  nullptr),
              gpOk);
    const std::vector<ARGB> fromOurs = decoded(ours);
    const std::vector<ARGB> fromTheirs = decoded(theirs);
    ASSERT_EQ(fromOurs.size(), static_cast<std::size_t>(frameWidth) * frameHeight) << name;
    ASSERT_EQ(fromTheirs.size(), fromOurs.size()) << name;
    std::size_t differing = 0;
    for (std::size_t i = 0; i < fromOurs.size(); ++i)
        differing += fromOurs[i] != fromTheirs[i] ? 1 : 0;
    EXPECT_EQ(differing, 0u) << name;
    std::vector<std::uint32_t> buffer;
    ASSERT_TRUE(headless::framePixels(buffer));
    EXPECT_EQ(std::vector<ARGB>(buffer.begin(), buffer.end()), fromOurs) << name;
}

TEST_F(FrameOutputTest, BulkPixelsAreThePixelsReadOneByOne)
{
    playDemo(folder, 85000);
    std::vector<std::uint32_t> pixels{1, 2, 3};
    ASSERT_TRUE(headless::framePixels(pixels));
    ASSERT_EQ(pixels.size(), static_cast<std::size_t>(frameWidth) * frameHeight);
    int differing = 0;
    std::set<std::uint32_t> colours;
    for (int y = 0; y < frameHeight; ++y) {
        for (int x = 0; x < frameWidth; ++x) {
            const std::uint32_t pixel = pixels[static_cast<std::size_t>(y) * frameWidth + x];
            differing += pixel != headless::pixel(x, y) ? 1 : 0;
            colours.insert(pixel);
        }
    }
    EXPECT_EQ(differing, 0);
    // A frame of the demo has map, units and text: many colours, so rows and columns cannot have been mixed up
    // unnoticed.
    EXPECT_GT(colours.size(), 100u);
}

TEST_F(FrameOutputTest, PngFilesDecodeToTheSamePixelsAsLibgdiplusOwn)
{
    // The title screen over the black the back buffer starts with, and whatever a test left in it before.
    composeFrame();
    expectSameFiles(folder, "title");
    // Translucent fills over black: blended colours of every kind.
    for (int i = 0; i < 64; ++i)
        fillBackBuffer(static_cast<ARGB>(i * 4) << 24 | static_cast<ARGB>(i * 0x030507));
    expectSameFiles(folder, "translucent");
    // The demo in the middle of the fight: map picture, icons, labels, chat.
    playDemo(folder, 85000);
    expectSameFiles(folder, "demo");
}

TEST_F(FrameOutputTest, UnwritableFrameIsAFailure)
{
    EXPECT_FALSE(headless::saveFrame((folder / "missing" / "frame.png").string()));
    EXPECT_FALSE(headless::saveFrame(folder.string()));
}

}  // namespace

// Tests of the view that grows with the window: the fit of the frame in a client area and the way back from a
// window pixel to a frame pixel, then frames of the demo composed headless at other client sizes: drawn at the
// larger size (not enlarged pixels), centred with black margins, the same as ever at 400 x 455, and pointed at
// through the fit.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "app/playback.h"
#include "app/shell.h"
#include "app/viewer.h"
#include "platform/headless/headless.h"
#include "tests/kelo_test.h"
#include "view/frame_fit.h"

namespace {

// [SECTION] The fit

TEST(FrameFitTest, LargestUniformFactorCentredOnWholePixels)
{
    const FrameFit same = fitFrame(frameWidth, frameHeight);
    EXPECT_TRUE(same.identity());

    const FrameFit doubled = fitFrame(800, 910);
    EXPECT_EQ(doubled.scale, 2.0f);
    EXPECT_EQ(doubled.left, 0);
    EXPECT_EQ(doubled.top, 0);

    // Wider than the frame's aspect: the height sets the factor, the width is shared by two black bands.
    const FrameFit wide = fitFrame(1000, 910);
    EXPECT_EQ(wide.scale, 2.0f);
    EXPECT_EQ(wide.left, 100);
    EXPECT_EQ(wide.top, 0);

    // Taller: the width sets it, and an odd remainder leaves the larger band below.
    const FrameFit tall = fitFrame(400, 910);
    EXPECT_EQ(tall.scale, 1.0f);
    EXPECT_EQ(tall.left, 0);
    EXPECT_EQ(tall.top, 227);
    EXPECT_FALSE(tall.identity());

    const FrameFit smaller = fitFrame(200, 300);
    EXPECT_EQ(smaller.scale, 0.5f);
    EXPECT_EQ(smaller.left, 0);
    EXPECT_EQ(smaller.top, 36);  // (300 - 227.5) / 2, down to a whole pixel

    for (const FrameFit& none : {fitFrame(0, 0), fitFrame(-5, 300), fitFrame(300, 0)}) {
        EXPECT_TRUE(none.identity());
        EXPECT_GE(none.width, 0);
        EXPECT_GE(none.height, 0);
    }
}

TEST(FrameFitTest, WindowPixelsGoBackToTheFramePixelUnderThem)
{
    const FrameFit same = fitFrame(frameWidth, frameHeight);
    for (int x : {-3, 0, 1, 199, 399, 400})
        EXPECT_EQ(framePointAt(same, x, x).x, x);

    const FrameFit wide = fitFrame(1000, 910);
    auto expectAt = [&wide](int x, int y, int frameX, int frameY) {
        const FramePoint at = framePointAt(wide, x, y);
        EXPECT_EQ(at.x, frameX) << x << "," << y;
        EXPECT_EQ(at.y, frameY) << x << "," << y;
    };
    expectAt(100, 0, 0, 0);
    expectAt(101, 1, 0, 0);
    expectAt(102, 2, 1, 1);
    expectAt(899, 909, 399, 454);
    // The black bands lie outside the frame on either side.
    expectAt(99, 10, -1, 5);
    expectAt(0, 10, -50, 5);
    expectAt(900, 10, 400, 5);
    expectAt(999, 10, 449, 5);

    // Smaller than the frame, a window pixel covers more than one frame pixel: the one under its middle.
    const FrameFit smaller = fitFrame(200, 300);
    EXPECT_EQ(framePointAt(smaller, 0, 36).x, 1);
    EXPECT_EQ(framePointAt(smaller, 0, 36).y, 1);
    EXPECT_EQ(framePointAt(smaller, 199, 35).x, 399);
    EXPECT_EQ(framePointAt(smaller, 199, 35).y, -1);

    // At a factor of 1 or more, every frame pixel's middle, placed in the window and taken back, is that frame pixel.
    for (const FrameFit& fit : {fitFrame(800, 910), fitFrame(1000, 910), fitFrame(613, 777), fitFrame(3200, 3640)}) {
        for (int frameX = 0; frameX < frameWidth; frameX += 7) {
            const int window = static_cast<int>(std::floor(fit.left + (frameX + 0.5) * fit.scale));
            ASSERT_EQ(framePointAt(fit, window, window).x, frameX) << fit.scale;
        }
    }
}

// [SECTION] Frames of the demo at other sizes

class ScaledFrameTest : public KeloTest {
protected:
    static std::string demoFile(const std::string& name)
    {
        return (std::filesystem::path(__FILE__).parent_path().parent_path() / "examples" / "demo" / name).string();
    }

    // The demo's files in the program folder and the demo played to 85 seconds: map, units, labels, chat. A frame is
    // composed there, so that what a frame draws once only (a damage line) is not in the frames the test compares.
    void playDemo()
    {
        std::filesystem::copy(demoFile("Kelo.ini"), folder / "Kelo.ini");
        std::filesystem::copy(demoFile("Maps"), folder / "Maps", std::filesystem::copy_options::recursive);
        std::filesystem::copy(demoFile("Presets"), folder / "Presets", std::filesystem::copy_options::recursive);
        openReplayLog(demoFile("demo.log"));
        headless::advance(85000);
        composeFrame();
    }

    // The back buffer at the client size given, with a frame composed into it.
    static std::vector<std::uint32_t> frameAt(int width, int height)
    {
        headless::setClientSize(width, height);
        composeFrame();
        std::vector<std::uint32_t> pixels;
        EXPECT_TRUE(headless::framePixels(pixels));
        EXPECT_EQ(pixels.size(), static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
        return pixels;
    }
};

TEST_F(ScaledFrameTest, AtTheFramesOwnSizeNothingChangesAndAResizeLeavesNoTrace)
{
    playDemo();
    const std::vector<std::uint32_t> before = frameAt(frameWidth, frameHeight);
    frameAt(800, 910);
    frameAt(1000, 700);
    EXPECT_EQ(frameAt(frameWidth, frameHeight), before);
}

TEST_F(ScaledFrameTest, TwiceTheSizeIsDrawnAtThatSizeNotEnlarged)
{
    playDemo();
    const std::vector<std::uint32_t> small = frameAt(frameWidth, frameHeight);
    const std::vector<std::uint32_t> large = frameAt(800, 910);
    ASSERT_EQ(large.size(), small.size() * 4);
    auto at = [&large](int x, int y) { return large[static_cast<std::size_t>(y) * 800 + static_cast<std::size_t>(x)]; };

    // Text, lines and picture edges fall on half frame pixels: many 2 x 2 blocks are not of one colour.
    int mixedBlocks = 0;
    for (int y = 0; y < 910; y += 2)
        for (int x = 0; x < 800; x += 2)
            mixedBlocks += at(x, y) != at(x + 1, y) || at(x, y) != at(x, y + 1) || at(x, y) != at(x + 1, y + 1);
    EXPECT_GT(mixedBlocks, 800 * 910 / 4 / 20);

    // Yet it is the same picture: each block's mean is near the frame pixel it stands for.
    double difference = 0;
    for (int y = 0; y < frameHeight; ++y) {
        for (int x = 0; x < frameWidth; ++x) {
            const std::uint32_t one = small[static_cast<std::size_t>(y) * frameWidth + static_cast<std::size_t>(x)];
            for (int shift : {0, 8, 16}) {
                double mean = 0;
                for (int dy = 0; dy < 2; ++dy)
                    for (int dx = 0; dx < 2; ++dx)
                        mean += ((at(2 * x + dx, 2 * y + dy) >> shift) & 0xFF) / 4.0;
                difference += std::fabs(mean - ((one >> shift) & 0xFF));
            }
        }
    }
    EXPECT_LT(difference / (frameWidth * frameHeight * 3), 12.0);
    // The control band fills the top 50 rows from edge to edge.
    for (int x : {0, 399, 799})
        for (int y : {0, 49})
            EXPECT_EQ(at(x, y), 0xFF000064u) << x << "," << y;
}

TEST_F(ScaledFrameTest, ALeftoverWidthIsBlackOnBothSidesOfTheCentredFrame)
{
    playDemo();
    const std::vector<std::uint32_t> fitted = frameAt(800, 910);
    const std::vector<std::uint32_t> wide = frameAt(1000, 910);
    // Between the bands, the frame of 800 x 910 moved by 100 pixels: the map picture's resampling, which depends on
    // where the picture lies, may round a channel the other way.
    int largestDifference = 0;
    for (int y = 0; y < 910; ++y) {
        for (int x = 0; x < 1000; ++x) {
            const std::uint32_t pixel = wide[static_cast<std::size_t>(y) * 1000 + static_cast<std::size_t>(x)];
            if (x < 100 || x >= 900) {
                ASSERT_EQ(pixel, 0xFF000000u) << x << "," << y;
                continue;
            }
            const std::uint32_t moved = fitted[static_cast<std::size_t>(y) * 800 + static_cast<std::size_t>(x - 100)];
            for (int shift : {0, 8, 16, 24})
                largestDifference = std::max(largestDifference, std::abs(static_cast<int>((pixel >> shift) & 0xFF)
                                                                         - static_cast<int>((moved >> shift) & 0xFF)));
        }
    }
    EXPECT_LE(largestDifference, 2);
}

TEST_F(ScaledFrameTest, ThePointerActsOnTheFramePixelUnderIt)
{
    playDemo();
    frameAt(1000, 910);
    const GpRectF& bars = viewer.view.controlButtons[buttonBars].hit;
    const int x = 100 + static_cast<int>(2 * (bars.X + bars.Width / 2));
    const int y = static_cast<int>(2 * (bars.Y + bars.Height / 2));
    headless::pointerMove(x, y);
    EXPECT_TRUE(viewer.view.controlButtons[buttonBars].hovered);
    headless::pointerPress(x, y);
    headless::pointerRelease();
    EXPECT_TRUE(viewer.view.barsShown);

    // The same row in the black band on the left hits nothing; nor does the band on the right.
    for (int margin : {50, 950}) {
        headless::pointerMove(margin, y);
        for (const ControlButton& button : viewer.view.controlButtons)
            EXPECT_FALSE(button.hovered) << margin;
        headless::pointerPress(margin, y);
        headless::pointerRelease();
        EXPECT_TRUE(viewer.view.barsShown) << margin;
    }
}

}  // namespace

// A frame is composed only when it would differ from the one shown: over the demo played with the pointer, keys, a
// resize and edited files thrown in at random, whenever the viewer finds nothing changed a frame composed anyway is
// pixel for pixel the one in the back buffer; and a paused viewer left alone finds nothing to compose.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "app/playback.h"
#include "app/shell.h"
#include "platform/headless/headless.h"
#include "tests/kelo_test.h"
#include "tests/pictures.h"

namespace {

class ShownFrameTest : public KeloTest {
protected:
    static std::filesystem::path demoFile(const std::string& name)
    {
        return std::filesystem::path(__FILE__).parent_path().parent_path() / "examples" / "demo" / name;
    }

    void SetUp() override
    {
        KeloTest::SetUp();
        std::filesystem::copy(demoFile("Kelo.ini"), folder / "Kelo.ini");
        std::filesystem::copy(demoFile("Maps"), folder / "Maps", std::filesystem::copy_options::recursive);
        std::filesystem::copy(demoFile("Presets"), folder / "Presets", std::filesystem::copy_options::recursive);
        ASSERT_EQ(startShell([] { return std::string(); }), "");
        setTimelineShown(true);
        openReplayLog(demoFile("demo.log").string());
    }

    static std::vector<std::uint32_t> pixels()
    {
        std::vector<std::uint32_t> read;
        EXPECT_TRUE(headless::framePixels(read));
        return read;
    }
};

TEST_F(ShownFrameTest, AFrameNotComposedIsTheFrameThatWouldHaveBeen)
{
    std::mt19937 random(11);
    const std::filesystem::path icon = folder / "Presets" / "LightTank.png";
    const std::filesystem::path other = folder / "Presets" / "SupplyTruck.png";
    std::ifstream demoIni(demoFile("Kelo.ini"));
    const std::string ini((std::istreambuf_iterator<char>(demoIni)), std::istreambuf_iterator<char>());
    std::string turned = ini;
    turned.replace(turned.find("RotationOffset=-90"), 18, "RotationOffset=0");
    int skipped = 0;
    int changed = 0;
    for (int step = 0; step < 300; ++step) {
        switch (random() % 10) {
        case 0:
        case 1:
            headless::pointerMove(static_cast<int>(random() % 400), static_cast<int>(random() % 455));
            break;
        case 2:
            headless::key({random() % 2 == 0 ? Key::space : Key::b});
            break;
        case 3:
            headless::key({random() % 2 == 0 ? Key::plus : Key::right});
            break;
        case 4:
            // Another picture in the icon's file, then the first one back.
            std::filesystem::copy_file(icon, folder / "swap.png", std::filesystem::copy_options::overwrite_existing);
            std::filesystem::copy_file(other, icon, std::filesystem::copy_options::overwrite_existing);
            std::filesystem::copy_file(folder / "swap.png", other, std::filesystem::copy_options::overwrite_existing);
            break;
        case 5:
            // The map's calibration turned a quarter, or back as it was.
            writeFile("Kelo.ini", random() % 2 == 0 ? ini : turned);
            break;
        case 6:
            headless::setClientSize(random() % 2 == 0 ? 400 : 800, random() % 2 == 0 ? 455 : 910);
            break;
        default:
            headless::advance(random() % 1500);
            break;
        }
        if (frameChanged()) {
            ++changed;
            composeFrame();
            continue;
        }
        ++skipped;
        const std::vector<std::uint32_t> shown = pixels();
        composeFrame();
        ASSERT_EQ(pixels(), shown) << "a frame left out at step " << step << " would have differed";
    }
    EXPECT_GT(skipped, 50);
    EXPECT_GT(changed, 50);
}

TEST_F(ShownFrameTest, APausedViewerLeftAloneComposesNothingUntilSomethingShownChanges)
{
    headless::advance(60000);
    headless::key({Key::space});
    headless::advance(300);
    EXPECT_FALSE(frameChanged());
    // Every repaint tick now leaves the back buffer alone: a mark on it stays.
    fillBackBuffer(0xFF123456);
    headless::advance(5000);
    EXPECT_FALSE(frameChanged());
    EXPECT_EQ(headless::pixel(200, 200), 0xFF123456);

    headless::key({Key::b});
    EXPECT_TRUE(frameChanged()) << "the bars' button";
    // The frame, then frames composed again until one comes out as the one before it.
    headless::advance(300);
    EXPECT_FALSE(frameChanged());
    headless::key({Key::plus});
    EXPECT_TRUE(frameChanged()) << "the speed";
    headless::advance(100);
    headless::setClientSize(400, 455);
    EXPECT_TRUE(frameChanged()) << "a back buffer made anew";
}

}  // namespace

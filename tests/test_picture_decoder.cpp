// Pictures decoded aside, as the viewers decode them: while the decoding thread is held back by a decode that waits
// on the test, frames are composed without the pictures (the map area as without a picture, the vehicle its square);
// once the thread is let go, the next frame shows them. Stopping ends the thread: decodes not begun are dropped.
#include <filesystem>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "app/shell.h"
#include "tests/pictures.h"
#include "view/picture_decoder.h"

namespace {

constexpr ARGB green = 0xFF00C000;
constexpr ARGB blue = 0xFF0000FF;
constexpr ARGB sideRed = 0xFFFF0000;

// The threads of this process, as the kernel lists them.
std::size_t threadCount()
{
    const std::filesystem::directory_iterator tasks("/proc/self/task");
    return static_cast<std::size_t>(std::distance(begin(tasks), end(tasks)));
}

// A decode that holds the decoding thread until the test opens it.
class Gate {
public:
    Gate()
    {
        app::viewer().caches.decoder.decode([opened = opened_] { opened.wait(); });
    }
    ~Gate() { open(); }
    Gate(const Gate&) = delete;
    Gate& operator=(const Gate&) = delete;

    void open()
    {
        if (!isOpen_)
            open_.set_value();
        isOpen_ = true;
    }

private:
    std::promise<void> open_;
    std::shared_future<void> opened_ = open_.get_future().share();
    bool isOpen_ = false;
};

// Returns once every decode asked for before it is done.
void waitForDecodes()
{
    std::promise<void> done;
    std::future<void> doneSoon = done.get_future();
    app::viewer().caches.decoder.decode([&done] { done.set_value(); });
    doneSoon.wait();
}

std::vector<std::uint32_t> backBuffer()
{
    std::vector<std::uint32_t> pixels;
    headless::framePixels(pixels);
    return pixels;
}

class PictureDecoderTest : public ViewTest {
protected:
    void SetUp() override
    {
        ViewTest::SetUp();
        setPicturesDecodedAside(true);
        writeFile("Kelo.ini", "[Aside.map]\nInvertY=0\nInvertX=0\nScaleX=400\nScaleY=400\nOffsetX=0\nOffsetY=0\n"
                              "RotationOffset=0\n");
        ASSERT_TRUE(writePicture((folder / "Maps" / "Aside.png").string(), 40, 40, green));
        ASSERT_TRUE(writePicture((folder / "Presets" / "Tank.png").string(), 10, 10, blue));
    }

    std::vector<std::uint32_t> frame()
    {
        fillBackBuffer(0xFF000000);
        composeFrame();
        return backBuffer();
    }
};

}  // namespace

TEST_F(PictureDecoderTest, FramesGoOnWithoutThePicturesUntilTheirDecodesAreDone)
{
    Gate gate;
    applyLine("1;Aside.map");
    addVehicle(100, 100, 0, "Tank");
    ASSERT_TRUE(viewer.world.mapImage);
    // The frame is composed while the decodes wait behind the gate: a frame that waited would never come.
    const std::vector<std::uint32_t> waiting = frame();
    EXPECT_EQ(pixelAt(100, 100, 2, 2), sideRed);  // the vehicle's square
    EXPECT_NE(headless::pixel(300, 300), green);
    const std::shared_ptr<const MapPicture> picture = viewer.world.mapImage;
    viewer.world.mapImage.reset();
    EXPECT_TRUE(frame() == waiting) << "the map area shows what it shows without a picture";
    viewer.world.mapImage = picture;

    gate.open();
    waitForDecodes();
    frame();
    EXPECT_EQ(headless::pixel(300, 300), green);
    EXPECT_EQ(pixelAt(100, 100), blue);
}

TEST_F(PictureDecoderTest, StoppingEndsTheThreadAfterTheDecodeUnderWay)
{
    const std::size_t before = threadCount();
    bool ran = false;
    {
        Gate gate;
        // The decode waiting behind the gate tells when it is let go, run or dropped.
        std::promise<void> letGo;
        std::future<void> goneSoon = letGo.get_future();
        viewer.caches.decoder.decode(
            [&ran, told = std::shared_ptr<void>(nullptr, [&letGo](void*) { letGo.set_value(); })] { ran = true; });
        EXPECT_EQ(threadCount(), before + 1);
        // What closing the window does first; it waits for the decode under way, which waits for the gate.
        std::thread closing([] { app::viewer().reset(); });
        goneSoon.wait();
        gate.open();
        closing.join();
    }
    EXPECT_FALSE(ran);
    EXPECT_EQ(threadCount(), before);
    // Decodes asked for later start the thread again.
    applyLine("1;Aside.map");
    waitForDecodes();
    frame();
    EXPECT_EQ(headless::pixel(300, 300), green);
}

// Tests of what the view keeps from frame to frame: texts drawn once and laid 1:1, and the map picture stretched once,
// each against drawing it afresh over the same varied backgrounds, pixel for pixel; and whole frames composed with
// everything kept against the first frame, composed with nothing kept yet.
#include <string>
#include <vector>

#include "app/shell.h"
#include "app/viewer.h"
#include "platform/headless/headless.h"
#include "tests/pictures.h"
#include "view/kept_text.h"
#include "view/map_picture.h"

namespace {

using KeptDrawingTest = ViewTest;

// Stripes of opaque and translucent colours over the whole back buffer, different for each seed.
void paintBackground(unsigned seed)
{
    fillBackBuffer(0xFF000000);
    Surface surface(backBufferDC());
    for (int x = 0, i = 0; x < frameWidth; x += 3, ++i) {
        const auto value = static_cast<ARGB>((i * 2654435761u) ^ (seed * 40503u));
        const ARGB alpha = i % 3 == 0 ? 0xFF000000 : (value & 0x7F000000) + 0x20000000;
        surface.fillRect(Brush::solid(alpha | (value & 0x00FFFFFF)), static_cast<float>(x), 0, 3, frameHeight);
    }
}

std::vector<std::uint32_t> frame()
{
    std::vector<std::uint32_t> pixels;
    EXPECT_TRUE(headless::framePixels(pixels));
    return pixels;
}

int differing(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b)
{
    int count = 0;
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        count += a[i] != b[i] ? 1 : 0;
    return count + static_cast<int>(std::max(a.size(), b.size()) - std::min(a.size(), b.size()));
}

TEST_F(KeptDrawingTest, KeptTextsArePixelForPixelTheTextsDrawnAfresh)
{
    struct Case {
        const char* family;
        float points;
        std::string text;
        float x;
        float y;
        ARGB colour;
    };
    const std::vector<Case> cases = {
        {"Arial", 8, "Open", 5, 7, 0xFF000000},
        {"Arial", 8, "Player 12 - 270.500", 123.4f, 56.7f, 0xFFFF0000},
        {"Arial", 8, "jg|Q_", 0.5f, 0.25f, 0xFFFFFF00},
        {"Arial", 8, "edge", -3.3f, 20.9f, 0xFFFFFFFF},
        {"Arial", 8, "corner", 380.75f, 445.5f, 0x80FF00FF},
        {"Arial", 50, "Tarnwatch", 79.6f, 140.1f, 0xFF646400},
        {"Lucida Sans Unicode", 6, "S\xF8lvi [TEAM]: out of the car, moving up the hill", 10, 360, 0xFFFFFF00},
    };
    std::vector<Case> all = cases;
    // Labels at fractions of a pixel all over the frame.
    for (int i = 0; i < 40; ++i)
        all.push_back({"Arial", 8, "Rifleman " + std::to_string(i), static_cast<float>((i * 7919) % 39000) / 100.0f,
                       static_cast<float>((i * 104729) % 44000) / 100.0f, i % 2 ? 0xFFFF0000 : 0xFFFFFFFF});
    unsigned seed = 0;
    for (const Case& c : all) {
        paintBackground(++seed);
        {
            Surface surface(backBufferDC());
            Font font(c.family, c.points);
            surface.drawText(c.text, font, c.x, c.y, Brush::solid(c.colour));
        }
        const std::vector<std::uint32_t> afresh = frame();
        // The first time draws the text onto its bitmap, the second lays the bitmap kept from the first.
        for (int time = 1; time <= 2; ++time) {
            paintBackground(seed);
            Surface surface(backBufferDC());
            viewer.caches.texts.draw(surface, c.text, viewer.caches.texts.font(c.family, c.points), c.x, c.y,
                                     Brush::solid(c.colour));
            EXPECT_EQ(differing(frame(), afresh), 0) << c.text << " at " << c.x << ", " << c.y << ", time " << time;
        }
    }
}

TEST_F(KeptDrawingTest, StretchedMapPictureIsPixelForPixelTheMapStretchedAfresh)
{
    // Shrunk, enlarged (edges blended with what lies under them), translucent, and shrunk by two ratios.
    writePicture((folder / "big.png").string(), 512, 512,
                 [](int x, int y) { return 0xFF000000u | static_cast<ARGB>((x * 131) ^ (y * 71)); });
    writePicture((folder / "small.png").string(), 37, 23,
                 [](int x, int y) { return 0xFF204000u | static_cast<ARGB>(x * 7 + y); });
    writePicture((folder / "clear.png").string(), 64, 64,
                 [](int x, int y) { return static_cast<ARGB>((x * 4) << 24 | (y * 4) << 8 | 0x40); });
    writePicture((folder / "wide.png").string(), 777, 333,
                 [](int x, int y) { return 0xFF000000u | static_cast<ARGB>((x * 37) ^ (y * 101)); });
    unsigned seed = 10;
    for (const char* name : {"big.png", "small.png", "clear.png", "wide.png"}) {
        const std::shared_ptr<const MapPicture> picture = viewer.caches.maps.load((folder / name).string());
        ASSERT_NE(picture, nullptr) << name;
        paintBackground(++seed);
        {
            Surface surface(backBufferDC());
            surface.drawImage(picture->decoded()->image, mapArea.left, mapArea.top, mapArea.width, mapArea.height);
        }
        const std::vector<std::uint32_t> afresh = frame();
        for (int time = 1; time <= 2; ++time) {
            paintBackground(seed);
            Surface surface(backBufferDC());
            drawMapPicture(surface, *picture, CameraView{});
            EXPECT_EQ(differing(frame(), afresh), 0) << name << ", time " << time;
        }
    }
}

TEST_F(KeptDrawingTest, FramesComposedWithWhatIsKeptAreTheFirstFrame)
{
    writeFile("Kelo.ini", "[Coast.map]\nInvertY=1\nInvertX=0\nScaleX=400\nScaleY=400\nOffsetX=0\nOffsetY=0\n"
                          "RotationOffset=0\n");
    writePicture((folder / "Maps" / "Coast.png").string(), 300, 300,
                 [](int x, int y) { return 0xFF103000u | static_cast<ARGB>(x ^ y); });
    viewer.world.mapName = "Coast.map";
    viewer.world.mapImage = viewer.caches.maps.load((folder / "Maps" / "Coast.png").string());
    viewer.world.configTitle = "Hold the bridge";
    viewer.world.clockMinutes = 12;
    viewer.world.chatLines[0] = ChatLine{"Reyna: glhf", 1};
    viewer.world.chatLines[5] = ChatLine{"Tamsin [TEAM]: truck is rolling, three aboard", 0};
    pin(addSoldier(120.5f, 210.25f, 0, "Marten"));
    pin(addVehicle(220, 90, 1, "Truck"));
    viewer.playback.msPerLogSecond = 500;
    for (int button = 0; button < buttonCount; ++button) {
        viewer.view.controlButtons[static_cast<std::size_t>(button)].hovered = button == 2;
        viewer.view.controlButtons[static_cast<std::size_t>(button)].pressed = button == 4;
    }
    viewer.caches.texts.clear();
    paintBackground(7);
    composeFrame();
    const std::vector<std::uint32_t> first = frame();
    paintBackground(7);
    composeFrame();
    EXPECT_EQ(differing(frame(), first), 0);
    // The title screen too.
    viewer.world.mapName.reset();
    viewer.caches.texts.clear();
    paintBackground(8);
    composeFrame();
    const std::vector<std::uint32_t> title = frame();
    paintBackground(8);
    composeFrame();
    EXPECT_EQ(differing(frame(), title), 0);
}

}  // namespace

// The text overlays and the chat feed: their texts, where their boxes lie (from measured text sizes), and the
// chat rows in the speakers' side colours. No map is named, so the overlays are drawn over the title screen.
#include "app/shell.h"
#include "tests/pictures.h"
#include "view/frame.h"
#include "view/overlays.h"

namespace {

constexpr ARGB black = 0xFF000000;
constexpr ARGB boxOverBlack = 0xFF4B4B4B;  // white at alpha 75 over black

class OverlaysTest : public ViewTest {
protected:
    static GpRectF size(std::string_view text) { return measureText(text, "Arial", 8); }
    static int whole(float value) { return static_cast<int>(value); }
};

TEST_F(OverlaysTest, ClockHasTwoDigitSecondsAndOneSignForTheWhole)
{
    const struct {
        std::int32_t minutes;
        std::int32_t seconds;
        const char* text;
    } clocks[] = {
        {19, 9, "19:09"},
        {3, 0, "3:00"},
        {0, -15, "-0:15"},
        {-1, -40, "-1:40"},
        {-5, 0, "-5:00"},
        {-659, -58, "-659:58"},
        // Seconds past a minute or against the minutes' sign give the value the two add up to.
        {1, 75, "2:15"},
        {2, -15, "1:45"},
        {INT32_MIN, INT32_MIN, "-2183275042:08"},
    };
    for (const auto& clock : clocks)
        EXPECT_EQ(clockText(clock.minutes, clock.seconds), clock.text) << clock.minutes << " " << clock.seconds;
}

TEST_F(OverlaysTest, SpeedReadoutForEverySpeedPausedAndNot)
{
    EXPECT_EQ(speedReadoutText(1000, false), std::nullopt);
    EXPECT_EQ(speedReadoutText(1000, true), "1.00X Paused");
    EXPECT_EQ(speedReadoutText(125, false), "8.00X");
    EXPECT_EQ(speedReadoutText(250, false), "4.00X");
    EXPECT_EQ(speedReadoutText(500, false), "2.00X");
    EXPECT_EQ(speedReadoutText(2000, false), "0.50X");
    EXPECT_EQ(speedReadoutText(4000, false), "0.25X");
    EXPECT_EQ(speedReadoutText(125, true), "8.00X Paused");
    EXPECT_EQ(speedReadoutText(2000, true), "0.50X Paused");
    EXPECT_EQ(speedReadoutText(4000, true), "0.25X Paused");
}

TEST_F(OverlaysTest, TitleAndClockAreRightAlignedAtThreeNinety)
{
    viewer.world.configTitle = "Operation Nightfall";
    viewer.world.clockMinutes = 12;
    viewer.world.clockSeconds = 5;
    composeFrame();
    GpRectF title = size("Operation Nightfall");
    GpRectF clock = size("12:05");
    int titleBottom = 25 + 2 * whole(title.Height);
    int clockBottom = 45 + 2 * whole(clock.Height);
    EXPECT_EQ(headless::pixel(390, titleBottom), boxOverBlack);
    EXPECT_EQ(headless::pixel(391, titleBottom), black);
    EXPECT_EQ(headless::pixel(389 - whole(title.Width), titleBottom), boxOverBlack);
    EXPECT_EQ(headless::pixel(388 - whole(title.Width), titleBottom), black);
    EXPECT_EQ(headless::pixel(390, clockBottom), boxOverBlack);
    EXPECT_EQ(headless::pixel(391, clockBottom), black);
    EXPECT_EQ(headless::pixel(389 - whole(clock.Width), clockBottom), boxOverBlack);
    EXPECT_EQ(headless::pixel(388 - whole(clock.Width), clockBottom), black);
    // Dark text inside the clock's box.
    int dark = 0;
    for (int x = 390 - whole(clock.Width); x < 390; ++x)
        for (int y = 45 + whole(clock.Height); y < clockBottom; ++y)
            dark += ((headless::pixel(x, y) >> 16) & 0xFF) < 0x20;
    EXPECT_GT(dark, 0);
}

TEST_F(OverlaysTest, NoClockWhileMinutesAreZero)
{
    viewer.world.clockMinutes = 0;
    viewer.world.clockSeconds = 45;
    composeFrame();
    EXPECT_EQ(findColour(boxOverBlack, 300, 25, 100, 60).count, 0);
}

TEST_F(OverlaysTest, StatusMessageAndSpeedReadoutShareTheTopRow)
{
    viewer.world.statusMessage = "Error loading Kelo.ini";
    viewer.playback.msPerLogSecond = 2000;
    viewer.playback.playbackPaused = 1;
    composeFrame();
    GpRectF status = size("Error loading Kelo.ini");
    GpRectF speed = size("0.50X Paused");
    int statusBottom = 25 + 2 * whole(status.Height);
    int speedBottom = 25 + 2 * whole(speed.Height);
    EXPECT_EQ(headless::pixel(60 + whole(status.Width), statusBottom), boxOverBlack);
    EXPECT_EQ(headless::pixel(61 + whole(status.Width), statusBottom), black);
    EXPECT_EQ(headless::pixel(9, speedBottom), boxOverBlack);
    EXPECT_EQ(headless::pixel(8, speedBottom), black);
    // The readout is wider than 48 pixels, so its box lies over the start of the status message's box.
    ASSERT_GT(speed.Width, 48);
    ASSERT_EQ(statusBottom, speedBottom);
    EXPECT_EQ(headless::pixel(60, speedBottom), 0xFF808080u);
}

TEST_F(OverlaysTest, NoSpeedReadoutAtNormalSpeed)
{
    composeFrame();
    EXPECT_EQ(findColour(boxOverBlack, 0, 25, 100, 40).count, 0);
    viewer.playback.playbackPaused = 1;
    composeFrame();
    EXPECT_GT(findColour(boxOverBlack, 0, 25, 100, 40).count, 0);
}

TEST_F(OverlaysTest, ChatRowsFromThreeFortyToThreeNinetyInTheSpeakersColours)
{
    const ARGB red = 0xFFFF0000;
    const ARGB yellow = 0xFFFFFF00;
    const ARGB white = 0xFFFFFFFF;
    const std::uint8_t sides[6] = {0, 1, 2, 255, 0, 1};
    const ARGB colours[6] = {red, yellow, white, white, red, yellow};
    for (int slot = 0; slot < 6; ++slot)
        viewer.world.chatLines[slot] =
            ChatLine{"Player " + std::to_string(slot + 1) + ": the quick brown fox", sides[slot]};
    composeFrame();
    for (int slot = 1; slot <= 6; ++slot) {
        SCOPED_TRACE(slot);
        // The middle rows of the line, clear of the descenders of the line above.
        int top = 330 + 10 * slot;
        EXPECT_GT(countTinted(colours[slot - 1], 10, top + 2, 200, 6), 20);
        EXPECT_EQ(countTinted(colours[slot - 1] == yellow ? red : yellow, 10, top + 2, 200, 6), 0);
        EXPECT_EQ(headless::pixel(9, top + 5), black);  // no box
    }
}

TEST_F(OverlaysTest, FirstChatLineIsAtTheTopOfTheFeed)
{
    viewer.world.chatLines[0] = ChatLine{"first words", 1};
    composeFrame();
    EXPECT_GT(countTinted(0xFFFFFF00, 10, 340, 100, 10), 0);
    EXPECT_EQ(findColour(black, 0, 350, 400, 75).count, 400 * 75);
}

}  // namespace

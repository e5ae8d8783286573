// Tests of the button actions through the pointer, on a composed bar: speed limits, Pause and Play against
// the playback clock, Open replacing or keeping the playing log, the order of the actions, and "Bars".
#include <algorithm>
#include <vector>

#include "app/seek.h"
#include "app/shell.h"
#include "controls/playback_controls.h"
#include "seam/platform.h"
#include "tests/kelo_test.h"
#include "view/control_bar.h"
#include "view/frame_layout.h"
#include "view/overlays.h"
#include "view/transform.h"
#include "world/world_model.h"

namespace {

// Four events three log seconds apart; each CONFIG names the log in the title.
std::string logNamed(const std::string& title)
{
    std::string log;
    for (int second : {0, 3, 6, 9})
        log += "[10:00:0" + std::to_string(second) + "] CONFIG;30;" + title + "\n";
    return log;
}

class PlaybackControlsTest : public KeloTest {
protected:
    void SetUp() override
    {
        KeloTest::SetUp();
        composeFrame();
    }

    // Down and up in the middle of the button, as a user's click.
    void click(ButtonIndex button)
    {
        const GpRectF& hit = viewer.view.controlButtons[button].hit;
        const int x = static_cast<int>(hit.X + hit.Width / 2);
        const int y = static_cast<int>(hit.Y + hit.Height / 2);
        headless::pointerMove(x, y);
        headless::pointerPress(x, y);
        headless::pointerRelease();
    }

    // Opens a log through the button and lets its first event apply.
    void playLog(const std::string& title)
    {
        headless::queueFileChoice(writeFile(title + ".log", logNamed(title)));
        click(buttonOpen);
        headless::advance(1);
        ASSERT_EQ(viewer.world.configTitle, title);
    }
};

}  // namespace

// [SECTION] Speed

TEST_F(PlaybackControlsTest, FasterStopsAt125)
{
    for (int expected : {500, 250, 125, 125, 125}) {
        click(buttonFaster);
        EXPECT_EQ(viewer.playback.msPerLogSecond, expected);
        EXPECT_EQ(viewer.view.controlButtons[buttonFaster].pressed, 0);
    }
}

TEST_F(PlaybackControlsTest, SlowerStopsAt4000)
{
    for (int expected : {2000, 4000, 4000}) {
        click(buttonSlower);
        EXPECT_EQ(viewer.playback.msPerLogSecond, expected);
        EXPECT_EQ(viewer.view.controlButtons[buttonSlower].pressed, 0);
    }
}

TEST_F(PlaybackControlsTest, SpeedStepsStayWithinTheLimitsWhateverTheStart)
{
    EXPECT_EQ(slowerSpeed(3000), 4000);
    EXPECT_EQ(fasterSpeed(200), 125);
    // A speed the keys set beyond the buttons' range is not moved further out by them, and is brought back in.
    EXPECT_EQ(slowerSpeed(8000), 8000);
    EXPECT_EQ(fasterSpeed(8000), 4000);
    EXPECT_EQ(fasterSpeed(15), 15);
    EXPECT_EQ(slowerSpeed(15), 125);
}

TEST_F(PlaybackControlsTest, SpeedKeysGoFromAnEighthToSixtyFourTimesAndBackExactly)
{
    std::vector<std::int32_t> up{8000};
    while (fasterKeySpeed(up.back()) != up.back())
        up.push_back(fasterKeySpeed(up.back()));
    EXPECT_EQ(up, (std::vector<std::int32_t>{8000, 4000, 2000, 1000, 500, 250, 125, 62, 31, 15}));
    std::vector<std::int32_t> down{15};
    while (slowerKeySpeed(down.back()) != down.back())
        down.push_back(slowerKeySpeed(down.back()));
    std::reverse(down.begin(), down.end());
    EXPECT_EQ(down, up);
    EXPECT_EQ(speedReadoutText(15, false), "64.00X");
    EXPECT_EQ(speedReadoutText(62, true), "16.00X Paused");
    EXPECT_EQ(speedReadoutText(8000, false), "0.12X");
}

TEST_F(PlaybackControlsTest, SpeedChangeKeepsTheWaitAlreadyDoneAndTimesTheRestAtTheNewSpeed)
{
    playLog("Alpha");  // the next line 3 log seconds in
    headless::advance(999);
    click(buttonFaster);  // 1 log second done at 1x: 2 are left, at 500 ms
    EXPECT_EQ(headless::timerPeriod(playbackTimer), 1000);
    headless::advance(1000);
    EXPECT_EQ(logTimeNow(), 6);
    EXPECT_EQ(headless::timerPeriod(playbackTimer), 1500);
}

// [SECTION] Pause and Play

TEST_F(PlaybackControlsTest, PauseStopsTheStepsAndASecondPauseOnlyKeepsTheFlag)
{
    playLog("Alpha");
    const std::string line = viewer.playback.log.currentLine;
    click(buttonPause);
    EXPECT_EQ(viewer.playback.playbackPaused, 1);
    EXPECT_FALSE(headless::timerArmed(playbackTimer));
    headless::advance(10000);
    EXPECT_EQ(viewer.playback.log.currentLine, line);
    click(buttonPause);
    EXPECT_EQ(viewer.playback.playbackPaused, 1);
    EXPECT_FALSE(headless::timerArmed(playbackTimer));
    EXPECT_EQ(viewer.view.controlButtons[buttonPause].pressed, 0);
}

TEST_F(PlaybackControlsTest, PlayAfterPauseWaitsOneLogSecondAtTheCurrentSpeed)
{
    playLog("Alpha");
    click(buttonPause);
    click(buttonSlower);
    click(buttonPlay);
    EXPECT_EQ(viewer.playback.playbackPaused, 0);
    EXPECT_EQ(headless::timerPeriod(playbackTimer), 2000);
    EXPECT_EQ(viewer.view.controlButtons[buttonPlay].pressed, 0);
}

TEST_F(PlaybackControlsTest, PlayWithoutPauseDoesNotRestartTheRunningWait)
{
    playLog("Alpha");
    const std::string second = viewer.playback.log.currentLine;
    headless::advance(1000);
    click(buttonPlay);
    EXPECT_EQ(headless::timerPeriod(playbackTimer), 2999);
    headless::advance(1998);
    EXPECT_EQ(viewer.playback.log.currentLine, second);
    headless::advance(1);
    EXPECT_NE(viewer.playback.log.currentLine, second);
}

TEST_F(PlaybackControlsTest, PauseLeftBeforeTheReleaseLetsPlaybackGoOn)
{
    playLog("Alpha");
    const GpRectF& hit = viewer.view.controlButtons[buttonPause].hit;
    headless::pointerPress(static_cast<int>(hit.X) + 2, 10);
    headless::pointerMove(200, 300);
    headless::pointerRelease();
    EXPECT_EQ(viewer.playback.playbackPaused, 0);
    EXPECT_TRUE(headless::timerArmed(playbackTimer));
}

TEST_F(PlaybackControlsTest, PlayPressedMovedOffAndBackDoesNothing)
{
    playLog("Alpha");
    click(buttonPause);
    const GpRectF& hit = viewer.view.controlButtons[buttonPlay].hit;
    const int x = static_cast<int>(hit.X) + 2;
    headless::pointerPress(x, 10);
    headless::pointerMove(x, 100);
    headless::pointerMove(x, 10);
    headless::pointerRelease();
    EXPECT_EQ(viewer.playback.playbackPaused, 1);
    EXPECT_FALSE(headless::timerArmed(playbackTimer));
}

// [SECTION] Releases and their order

TEST_F(PlaybackControlsTest, ReleaseAfterAPressOffTheButtonsDoesNothing)
{
    const GpRectF& last = viewer.view.controlButtons[buttonBars].hit;
    for (auto [x, y] : {std::pair{200, 300}, std::pair{static_cast<int>(last.X + last.Width) + 20, 12}}) {
        headless::pointerMove(x, y);
        headless::pointerPress(x, y);
        headless::pointerRelease();
    }
    EXPECT_EQ(viewer.playback.msPerLogSecond, 1000);
    EXPECT_EQ(viewer.playback.playbackPaused, 0);
    EXPECT_EQ(viewer.view.barsShown, 0);
    EXPECT_FALSE(headless::timerArmed(playbackTimer));
    EXPECT_TRUE(headless::messages().empty());
}

TEST_F(PlaybackControlsTest, EachReleaseRunsOnlyTheFirstPressedAction)
{
    viewer.view.controlButtons[buttonFaster].pressed = 1;
    viewer.view.controlButtons[buttonSlower].pressed = 1;
    headless::pointerRelease();
    EXPECT_EQ(viewer.playback.msPerLogSecond, 2000);
    EXPECT_EQ(viewer.view.controlButtons[buttonFaster].pressed, 1);
    headless::pointerRelease();
    EXPECT_EQ(viewer.playback.msPerLogSecond, 1000);

    // Pause is looked at before Play, and Bars after everything else.
    viewer.view.controlButtons[buttonBars].pressed = 1;
    viewer.view.controlButtons[buttonPlay].pressed = 1;
    viewer.view.controlButtons[buttonPause].pressed = 1;
    headless::pointerRelease();
    EXPECT_EQ(viewer.playback.playbackPaused, 1);
    headless::pointerRelease();
    EXPECT_EQ(viewer.playback.playbackPaused, 0);
    EXPECT_EQ(viewer.view.barsShown, 0);
    headless::pointerRelease();
    EXPECT_EQ(viewer.view.barsShown, 1);
    for (const ControlButton& button : viewer.view.controlButtons)
        EXPECT_EQ(button.pressed, 0);
}

// [SECTION] Open

TEST_F(PlaybackControlsTest, OpeningWhilePlayingReplacesTheLog)
{
    playLog("Alpha");
    playLog("Bravo");
    EXPECT_EQ(viewer.view.controlButtons[buttonOpen].pressed, 0);
}

TEST_F(PlaybackControlsTest, CancellingTheDialogKeepsTheLogPlaying)
{
    playLog("Alpha");
    const std::string second = viewer.playback.log.currentLine;
    headless::queueFileChoice("");
    click(buttonOpen);
    click(buttonOpen);  // an empty queue answers as a cancel too
    EXPECT_EQ(viewer.world.configTitle, "Alpha");
    EXPECT_EQ(viewer.playback.log.currentLine, second);
    EXPECT_EQ(viewer.view.controlButtons[buttonOpen].pressed, 0);
    headless::advance(3001);
    EXPECT_NE(viewer.playback.log.currentLine, second);
    EXPECT_TRUE(headless::messages().empty());
}

namespace {

std::uint8_t openPressedDuringBox = 0;
ARGB openFaceDuringBox = 0;

void recordOpenButton(const headless::MessageBox&)
{
    openPressedDuringBox = app::viewer().view.controlButtons[buttonOpen].pressed;
    // A repaint while the box is up.
    composeFrame();
    const GpRectF& hit = app::viewer().view.controlButtons[buttonOpen].hit;
    openFaceDuringBox = headless::pixel(static_cast<int>(hit.X), 4);
}

}  // namespace

TEST_F(PlaybackControlsTest, OpenStaysPressedUntilItsActionIsDone)
{
    openPressedDuringBox = 0;
    openFaceDuringBox = 0;
    headless::setMessageSink(recordOpenButton);
    headless::queueFileChoice((folder / "missing.log").string());
    click(buttonOpen);
    headless::setMessageSink(nullptr);
    ASSERT_EQ(headless::messages().size(), 1u);
    EXPECT_EQ(headless::messages()[0].text, "Could not open file");
    EXPECT_EQ(openPressedDuringBox, 1);
    // Pressed and hovered: the bright face sits on the hit rectangle.
    EXPECT_EQ(openFaceDuringBox, 0xFF0000FF);
    EXPECT_EQ(viewer.view.controlButtons[buttonOpen].pressed, 0);
}

// [SECTION] Bars

TEST_F(PlaybackControlsTest, BarsShowTheSoldiersBareStatusBarsOnTheNextFrame)
{
    // Map (-100, 75) is the screen point (100, 300), clear of the title text.
    viewer.world.calibration.scaleX = 400;
    viewer.world.calibration.scaleY = 400;
    SoldierRecord& soldier = makeRecord<SoldierRecord>(viewer.world);
    soldier.posX = -100;
    soldier.posY = 75;
    soldier.levelA = soldier.peakA = 100;
    viewer.world.soldierList.append(&soldier);
    viewer.world.entityList.append(&soldier);
    ScreenPoint p = worldToScreen(viewer.world.calibration, soldier.posX, soldier.posY);
    ASSERT_FLOAT_EQ(p.x, 100);
    ASSERT_FLOAT_EQ(p.y, 300);

    // Nothing clears the map area between frames without a map picture, so each frame starts on black.
    auto composeOnBlack = [] {
        Surface(backBufferDC())
            .fillRectI(Brush::solid(0xFF000000), mapArea.left, mapArea.top, mapArea.width, mapArea.height);
        composeFrame();
    };
    composeOnBlack();
    const ARGB before = headless::pixel(106, 313);
    EXPECT_EQ(before, 0xFF000000);

    click(buttonBars);
    EXPECT_EQ(viewer.view.barsShown, 1);
    EXPECT_EQ(viewer.view.controlButtons[buttonBars].pressed, 0);
    composeOnBlack();
    const ARGB bar = headless::pixel(106, 313);
    EXPECT_GT((bar >> 16) & 0xFF, 0x80) << std::hex << bar;  // the red end of the gradient

    click(buttonBars);
    EXPECT_EQ(viewer.view.barsShown, 0);
    composeOnBlack();
    EXPECT_EQ(headless::pixel(106, 313), 0xFF000000);
}

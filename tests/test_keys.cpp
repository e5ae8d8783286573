// Tests of the keys: the key map for every key, with and without Shift, Control and repeats, and keys delivered
// through the headless backend to the app's one key handler: pause and play, speed, bars, open, the seeks asked and
// what the window is asked to do.
#include <cstddef>
#include <vector>

#include "app/playback.h"
#include "app/seek.h"
#include "app/shell.h"
#include "controls/keys.h"
#include "tests/kelo_test.h"

namespace {

KeyCommand command(Key key, bool paused = false, bool shift = false, bool control = false, bool repeat = false)
{
    return keyCommand({key, shift, control, repeat}, paused);
}

const KeyCommand nothing{};

class KeysTest : public KeloTest {
protected:
    // A log that waits a long time after its first line, so that playback holds still while keys are pressed.
    void openLongLog()
    {
        openReplayLog(writeFile("long.log", "[10:00:00] CHAT;PUBLIC;1;hi\n[11:00:00] WIN;0\n"));
        headless::advance(1);
        ASSERT_TRUE(headless::timerArmed(playbackTimer));
    }

    std::optional<double>& request() { return viewer.view.timeline.seekRequest; }
};

}  // namespace

// [SECTION] The key map

TEST(KeyCommand, SpacePausesWhilePlayingAndPlaysWhilePaused)
{
    EXPECT_EQ(command(Key::space, false), KeyCommand{buttonPause});
    EXPECT_EQ(command(Key::space, true), KeyCommand{buttonPlay});
    EXPECT_EQ(command(Key::space, true, true), KeyCommand{buttonPlay});
}

TEST(KeyCommand, ArrowsSeekTenSecondsAndSixtyWithShiftHomeSeeksTheStart)
{
    EXPECT_EQ(command(Key::left), KeyCommand{SeekBy{-10}});
    EXPECT_EQ(command(Key::right), KeyCommand{SeekBy{10}});
    EXPECT_EQ(command(Key::left, false, true), KeyCommand{SeekBy{-60}});
    EXPECT_EQ(command(Key::right, true, true), KeyCommand{SeekBy{60}});
    EXPECT_EQ(command(Key::home), KeyCommand{SeekTo{0}});
    EXPECT_EQ(command(Key::home, false, true), KeyCommand{SeekTo{0}});
}

TEST(KeyCommand, PlusMinusBAndOActAsTheirButtons)
{
    EXPECT_EQ(command(Key::plus), KeyCommand{buttonFaster});
    EXPECT_EQ(command(Key::minus), KeyCommand{buttonSlower});
    EXPECT_EQ(command(Key::b), KeyCommand{buttonBars});
    EXPECT_EQ(command(Key::o), KeyCommand{buttonOpen});
    EXPECT_EQ(command(Key::o, false, false, true), KeyCommand{buttonOpen});
    EXPECT_EQ(command(Key::b, false, true), KeyCommand{buttonBars});
}

TEST(KeyCommand, ControlLeavesEveryKeyButOToTheSystem)
{
    for (Key key : {Key::space, Key::left, Key::right, Key::home, Key::plus, Key::minus, Key::b})
        EXPECT_EQ(command(key, false, false, true), nothing) << static_cast<int>(key);
}

TEST(KeyCommand, AHeldKeyRepeatsSeeksAndSpeedStepsButNotToggles)
{
    EXPECT_EQ(command(Key::space, false, false, false, true), nothing);
    EXPECT_EQ(command(Key::b, false, false, false, true), nothing);
    EXPECT_EQ(command(Key::o, false, false, true, true), nothing);
    EXPECT_EQ(command(Key::right, false, false, false, true), KeyCommand{SeekBy{10}});
    EXPECT_EQ(command(Key::home, false, false, false, true), KeyCommand{SeekTo{0}});
    EXPECT_EQ(command(Key::plus, false, false, false, true), KeyCommand{buttonFaster});
    EXPECT_EQ(command(Key::minus, false, false, false, true), KeyCommand{buttonSlower});
}

// Every key with and without Control, pressed and held: a held key gives what its press gives only for commands that
// go by steps, and nothing else.
TEST(KeyCommand, EveryKeyPlainAndWithControlPressedAndHeld)
{
    struct Row {
        Key key;
        KeyCommand plain;
        KeyCommand withControl;
        bool repeats;
    };
    const std::vector<Row> rows{
        {Key::space, buttonPause, nothing, false},
        {Key::left, SeekBy{-10}, nothing, true},
        {Key::right, SeekBy{10}, nothing, true},
        {Key::home, SeekTo{0}, nothing, true},
        {Key::plus, buttonFaster, nothing, true},
        {Key::minus, buttonSlower, nothing, true},
        {Key::b, buttonBars, nothing, false},
        {Key::o, buttonOpen, buttonOpen, false},
        {Key::bracketLeft, SpeedStep{false}, nothing, true},
        {Key::bracketRight, SpeedStep{true}, nothing, true},
        {Key::period, nothing, nothing, true},  // while playing; a line step while paused
        {Key::comma, nothing, nothing, true},
        {Key::q, nothing, WindowRequest::close, false},
        {Key::w, nothing, WindowRequest::close, false},
        {Key::f11, WindowRequest::toggleFullScreen, nothing, false},
        {Key::escape, WindowRequest::leaveFullScreen, nothing, false},
        {Key::z, CameraKey::zoomIn, nothing, true},
        {Key::x, CameraKey::zoomOut, nothing, true},
        {Key::f, CameraKey::follow, nothing, false},
        {Key::zero, CameraKey::rest, nothing, false},
        // The side panel's keys act through the panel (controls/panel_input.h), not the key map.
        {Key::tab, nothing, nothing, false},
        {Key::slash, nothing, nothing, false},
        {Key::enter, nothing, nothing, false},
        {Key::backspace, nothing, nothing, false},
        {Key::typed, nothing, nothing, false},
        {Key::l, LiveCommand::toggleFollowing, nothing, false},
        {Key::end, LiveCommand::toLiveEdge, nothing, false},
    };
    // One row for each key of the enumeration, in its order, up to its last one.
    for (std::size_t i = 0; i < rows.size(); ++i)
        ASSERT_EQ(static_cast<std::size_t>(rows[i].key), i);
    ASSERT_EQ(rows.back().key, Key::end);
    for (const Row& row : rows) {
        for (bool control : {false, true}) {
            const KeyCommand pressed = control ? row.withControl : row.plain;
            EXPECT_EQ(command(row.key, false, false, control), pressed) << static_cast<int>(row.key) << control;
            EXPECT_EQ(command(row.key, false, false, control, true), row.repeats ? pressed : nothing)
                << static_cast<int>(row.key) << control;
        }
    }
    EXPECT_EQ(command(Key::period, true, false, false, true), KeyCommand{LineStep{1}});
    EXPECT_EQ(command(Key::comma, true, false, false, true), KeyCommand{LineStep{-1}});
}

// [SECTION] Keys in the app

TEST_F(KeysTest, SpacePausesAndPlays)
{
    openLongLog();
    headless::key({Key::space});
    EXPECT_EQ(viewer.playback.playbackPaused, 1);
    EXPECT_FALSE(headless::timerArmed(playbackTimer));
    headless::key({Key::space, false, false, true});
    EXPECT_EQ(viewer.playback.playbackPaused, 1);
    headless::key({Key::space});
    EXPECT_EQ(viewer.playback.playbackPaused, 0);
    EXPECT_EQ(headless::timerPeriod(playbackTimer), 1000);
}

TEST_F(KeysTest, PlusAndMinusStepTheSpeedWithinItsRange)
{
    openLongLog();
    headless::key({Key::plus});
    EXPECT_EQ(viewer.playback.msPerLogSecond, 500);
    for (int i = 0; i < 5; ++i)
        headless::key({Key::plus, false, false, true});
    EXPECT_EQ(viewer.playback.msPerLogSecond, 125);
    for (int i = 0; i < 6; ++i)
        headless::key({Key::minus});
    EXPECT_EQ(viewer.playback.msPerLogSecond, 4000);
}

TEST_F(KeysTest, BTogglesTheBars)
{
    headless::key({Key::b});
    EXPECT_EQ(viewer.view.barsShown, 1);
    headless::key({Key::b, true});
    EXPECT_EQ(viewer.view.barsShown, 0);
    headless::key({Key::b, false, true});
    EXPECT_EQ(viewer.view.barsShown, 0);
}

TEST_F(KeysTest, OAndControlOOpenTheChosenLog)
{
    headless::queueFileChoice(writeFile("first.log", "[1:00:00] CHAT;PUBLIC;1;first\n"));
    headless::key({Key::o});
    EXPECT_EQ(viewer.playback.log.currentLine, "[1:00:00] CHAT;PUBLIC;1;first");
    headless::queueFileChoice(writeFile("second.log", "[2:00:00] CHAT;PUBLIC;1;second\n"));
    headless::key({Key::o, false, true});
    EXPECT_EQ(viewer.playback.log.currentLine, "[2:00:00] CHAT;PUBLIC;1;second");
    // A cancelled choice leaves the open log as it is.
    headless::key({Key::o});
    EXPECT_EQ(viewer.playback.log.currentLine, "[2:00:00] CHAT;PUBLIC;1;second");
}

TEST_F(KeysTest, SeekKeysAddUpToOneRequestThatTheRepaintTickTakes)
{
    openLongLog();
    const double now = logTimeNow();
    headless::key({Key::right});
    ASSERT_TRUE(request());
    EXPECT_DOUBLE_EQ(*request(), now + 10);
    headless::key({Key::right, false, false, true});
    headless::key({Key::right, true});
    EXPECT_DOUBLE_EQ(*request(), now + 80);
    headless::key({Key::left});
    EXPECT_DOUBLE_EQ(*request(), now + 70);
    // Never before the start.
    for (double back = 0; back <= now + 70; back += 60)
        headless::key({Key::left, true});
    EXPECT_DOUBLE_EQ(*request(), 0);
    headless::key({Key::right, true});
    headless::key({Key::home});
    EXPECT_DOUBLE_EQ(*request(), 0);
    repaintTick();
    EXPECT_FALSE(request());
}

TEST_F(KeysTest, ControlQAndWCloseTheWindowF11AndEscapeAskForFullScreenAndBack)
{
    openLongLog();
    headless::key({Key::q});
    headless::key({Key::w});
    EXPECT_TRUE(headless::windowRequests().empty());
    headless::key({Key::f11});
    headless::key({Key::f11, false, false, true});
    headless::key({Key::escape});
    headless::key({Key::q, false, true});
    headless::key({Key::w, true, true});
    EXPECT_EQ(headless::windowRequests(),
              (std::vector<WindowRequest>{WindowRequest::toggleFullScreen, WindowRequest::leaveFullScreen,
                                          WindowRequest::close, WindowRequest::close}));
    // The window's keys leave playback and the view alone.
    EXPECT_TRUE(headless::timerArmed(playbackTimer));
    EXPECT_EQ(viewer.playback.playbackPaused, 0);
    EXPECT_FALSE(request());
}

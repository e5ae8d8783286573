// Tests of the headless backend: the virtual clock's firing order, periods, re-arming and stopping,
// the recorded message boxes and the queued answers of the open-file dialog.
#include <utility>
#include <vector>

#include "app/playback.h"
#include "app/timers.h"
#include "tests/kelo_test.h"

namespace {

// Every firing as (timer, virtual time), oldest first.
std::vector<std::pair<TimerId, std::int64_t>> firings;

void recordFiring(TimerId id)
{
    firings.emplace_back(id, headless::now());
}

class HeadlessClockTest : public KeloTest {
protected:
    void SetUp() override
    {
        KeloTest::SetUp();
        firings.clear();
        headless::setTimerSink(recordFiring);
    }
};

using Firings = std::vector<std::pair<TimerId, std::int64_t>>;

}  // namespace

// [SECTION] Order and periods

TEST_F(HeadlessClockTest, FiresInOrderOfDueTimeTiesInArmingOrder)
{
    armTimer(movementTimer, 3);
    armTimer(repaintTimer, 2);
    headless::advance(6);
    EXPECT_EQ(
        firings,
        (Firings{{repaintTimer, 2}, {movementTimer, 3}, {repaintTimer, 4}, {movementTimer, 6}, {repaintTimer, 6}}));
    EXPECT_EQ(headless::now(), 6);
}

TEST_F(HeadlessClockTest, ATimerFiringAgainKeepsItsPlaceInTheArmingOrder)
{
    // The movement timer fires at 1 before the tie at 2, and was still armed first.
    armTimer(movementTimer, 1);
    armTimer(repaintTimer, 2);
    headless::advance(2);
    EXPECT_EQ(firings, (Firings{{movementTimer, 1}, {movementTimer, 2}, {repaintTimer, 2}}));
}

TEST_F(HeadlessClockTest, PeriodicTimerFiresAgainOnePeriodLaterAcrossAdvances)
{
    armTimer(movementTimer, 5);
    headless::advance(4);
    EXPECT_TRUE(firings.empty());
    headless::advance(1);
    headless::advance(12);
    EXPECT_EQ(firings, (Firings{{movementTimer, 5}, {movementTimer, 10}, {movementTimer, 15}}));
    EXPECT_EQ(headless::now(), 17);
    headless::advance(0);
    headless::advance(-50);
    EXPECT_EQ(firings.size(), 3u);
    EXPECT_EQ(headless::now(), 17);
}

TEST_F(HeadlessClockTest, PeriodsBelowOneMillisecondBecomeOne)
{
    armTimer(movementTimer, 0);
    EXPECT_EQ(headless::timerPeriod(movementTimer), 1);
    armTimer(movementTimer, -40);
    EXPECT_EQ(headless::timerPeriod(movementTimer), 1);
    headless::advance(2);
    EXPECT_EQ(firings, (Firings{{movementTimer, 1}, {movementTimer, 2}}));
}

// [SECTION] Re-arming and stopping

TEST_F(HeadlessClockTest, ReArmingReplacesThePeriodAndRestarts)
{
    armTimer(movementTimer, 10);
    headless::advance(7);
    armTimer(movementTimer, 10);
    headless::advance(9);
    EXPECT_TRUE(firings.empty());
    armTimer(movementTimer, 4);
    EXPECT_EQ(headless::timerPeriod(movementTimer), 4);
    headless::advance(8);
    EXPECT_EQ(firings, (Firings{{movementTimer, 20}, {movementTimer, 24}}));
}

TEST_F(HeadlessClockTest, ReArmingMovesATimerBehindOthersDueAtTheSameTime)
{
    armTimer(movementTimer, 10);
    armTimer(repaintTimer, 10);
    armTimer(movementTimer, 10);
    headless::advance(10);
    EXPECT_EQ(firings, (Firings{{repaintTimer, 10}, {movementTimer, 10}}));
}

TEST_F(HeadlessClockTest, StoppedTimersDoNotFire)
{
    armTimer(movementTimer, 5);
    armTimer(repaintTimer, 5);
    stopTimer(movementTimer);
    stopTimer(playbackTimer);  // never armed: nothing happens
    headless::advance(10);
    EXPECT_EQ(firings, (Firings{{repaintTimer, 5}, {repaintTimer, 10}}));
    EXPECT_FALSE(headless::timerArmed(movementTimer));
    EXPECT_EQ(headless::timerPeriod(movementTimer), 0);
    EXPECT_FALSE(headless::timerArmed(playbackTimer));
}

TEST_F(HeadlessClockTest, ATimerReArmedFromInsideItsOwnCallbackTakesTheNewPeriod)
{
    // The first firing re-arms with 7 ms, the second stops the timer.
    headless::setTimerSink([](TimerId id) {
        recordFiring(id);
        if (firings.size() == 1)
            armTimer(id, 7);
        else if (firings.size() == 2)
            stopTimer(id);
    });
    armTimer(movementTimer, 5);
    headless::advance(100);
    EXPECT_EQ(firings, (Firings{{movementTimer, 5}, {movementTimer, 12}}));
    EXPECT_FALSE(headless::timerArmed(movementTimer));
}

TEST_F(HeadlessClockTest, PlaybackStepsReArmTheirOwnTimerForEachGap)
{
    std::string path = writeFile("replay.log", "[0:00:00] A\n[0:00:03] B\n[0:00:04] C\n[0:00:04] D\n");
    openReplayLog(path);
    headless::advance(5000);
    Firings steps;
    for (const auto& firing : firings)
        if (firing.first == playbackTimer)
            steps.push_back(firing);
    // Each line at its log time from the open; C and D, of one stamp, in one step.
    EXPECT_EQ(steps, (Firings{{playbackTimer, 1}, {playbackTimer, 3000}, {playbackTimer, 4000}}));
}

// [SECTION] Message boxes and the open-file dialog

TEST_F(HeadlessClockTest, MessageBoxesAreRecordedInOrderAndHandedToTheSink)
{
    static std::vector<std::string> seen;
    seen.clear();
    headless::setMessageSink([](const headless::MessageBox& box) { seen.push_back(box.caption + ":" + box.text); });
    showErrorBox("Could not open file", "Error!");
    showErrorBox("No more data", "Error");
    ASSERT_EQ(headless::messages().size(), 2u);
    EXPECT_EQ(headless::messages()[0].text, "Could not open file");
    EXPECT_EQ(headless::messages()[0].caption, "Error!");
    EXPECT_EQ(headless::messages()[1].text, "No more data");
    EXPECT_EQ(headless::messages()[1].caption, "Error");
    EXPECT_EQ(seen, (std::vector<std::string>{"Error!:Could not open file", "Error:No more data"}));
}

TEST_F(HeadlessClockTest, TheOpenFileDialogAnswersFromItsQueueThenCancels)
{
    headless::queueFileChoice("first.log");
    headless::queueFileChoice("");
    headless::queueFileChoice("third.log");
    EXPECT_EQ(runOpenFileDialog(), "first.log");
    EXPECT_EQ(runOpenFileDialog(), "");
    EXPECT_EQ(runOpenFileDialog(), "third.log");
    EXPECT_EQ(runOpenFileDialog(), "");
}

TEST_F(HeadlessClockTest, ResetStartsOverWithNoTimersMessagesOrChoices)
{
    armTimer(repaintTimer, 3);
    headless::advance(5);
    showErrorBox("No more data", "Error");
    headless::queueFileChoice("queued.log");
    headless::reset();
    EXPECT_EQ(headless::now(), 0);
    EXPECT_FALSE(headless::timerArmed(repaintTimer));
    EXPECT_TRUE(headless::messages().empty());
    EXPECT_EQ(runOpenFileDialog(), "");
    firings.clear();
    armTimer(movementTimer, 2);
    headless::advance(2);
    EXPECT_TRUE(firings.empty());  // the sink went with the reset
}

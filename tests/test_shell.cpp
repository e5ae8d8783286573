// The start-up that every backend shares: the window the backend makes, then the first paint and the repaint timer;
// a backend whose window fails gets the reason back and nothing is left running.
#include "app/shell.h"
#include "tests/kelo_test.h"
#include "tests/pictures.h"

using ShellTest = KeloTest;

TEST_F(ShellTest, StartUpMakesTheWindowThenPaintsAndArmsTheRepaintTimer)
{
    fillBackBuffer(0xFF123456);
    bool madeFirst = false;
    const std::string failure = startShell([&] {
        madeFirst = headless::pixel(0, 0) == 0xFF123456;
        return std::string();
    });
    EXPECT_EQ(failure, "");
    EXPECT_TRUE(madeFirst) << "painted before the window was made";
    EXPECT_EQ(headless::pixel(0, 0), 0xFF000064) << "no first paint of the control band";
    EXPECT_EQ(headless::timerPeriod(repaintTimer), 100);
}

TEST_F(ShellTest, AWindowThatCannotBeMadeEndsTheStartUpWithItsReason)
{
    fillBackBuffer(0xFF123456);
    const std::string failure = startShell([] { return std::string("the window could not be created"); });
    EXPECT_EQ(failure, "the window could not be created");
    EXPECT_FALSE(headless::timerArmed(repaintTimer));
    EXPECT_EQ(headless::pixel(0, 0), 0xFF123456) << "painted without a window";
}

// A long run: the bundled demo played a hundred times in one process at 8x on the virtual clock, re-opened each time,
// with the repaint timer composing frames as in the viewer. Every run ends in the same world; in the sanitizer build
// the leak check at the end of the process finds nothing (bench/bench_hostile.cpp measures the memory in Release).
#include <filesystem>
#include <optional>
#include <string>

#include "app/playback.h"
#include "app/shell.h"
#include "platform/linux_shared.h"
#include "tests/kelo_test.h"
#include "tests/world_invariants.h"

namespace {

std::string demoLogPath()
{
    return (std::filesystem::path(__FILE__).parent_path().parent_path() / "examples" / "demo" / "demo.log").string();
}

}  // namespace

using HostileLongRunTest = KeloTest;

TEST_F(HostileLongRunTest, TheDemoPlayedAHundredTimesAtEightTimesTheSpeedEndsTheSameEachTime)
{
    // The demo's Kelo.ini, Maps and Presets, which the build copies beside the tests.
    headless::setProgramFolder(runningProgramFolder());
    app::playback.msPerLogSecond = 125;
    ASSERT_EQ(startShell([] { return std::string(); }), "");
    std::optional<World> first;
    for (int run = 1; run <= 100; ++run) {
        // Opened on a repaint, so that every run meets its frames at the same moments.
        headless::advance(100 - headless::now() % 100);
        openReplayLog(demoLogPath());
        const std::size_t boxes = headless::messages().size();
        // The demo's three minutes take 22.5 s at 8x; a minute is plenty.
        for (int tick = 0; tick < 600 && headless::messages().size() == boxes; ++tick)
            headless::advance(100);
        ASSERT_EQ(headless::messages().size(), boxes + 1) << "run " << run;
        EXPECT_EQ(headless::messages().back().text, "No more data") << "run " << run;
        EXPECT_EQ(brokenReference(app::world), "") << "run " << run;
        if (!first) {
            first = app::world;
            ASSERT_GT(first->soldierList.count, 1);
            ASSERT_TRUE(first->mapImage);
        } else {
            EXPECT_TRUE(app::world == *first) << "run " << run;
        }
    }
}

// Long runs: the bundled demo played a hundred times in one process at 8x on the virtual clock, re-opened each time,
// with the repaint timer composing frames as in the viewer. Every run ends in the same world; in the sanitizer build
// the leak check at the end of the process finds nothing (bench/bench_hostile.cpp measures the memory in Release).
// And a map picture rewritten broken hundreds of times while a log names it every log second: the decoder's loss on
// each broken file is paid once per version of the file, not once per map line or frame.
#include <chrono>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "app/playback.h"
#include "app/shell.h"
#include "platform/linux/shared.h"
#include "tests/kelo_test.h"
#include "tests/world_invariants.h"

#ifdef __SANITIZE_ADDRESS__
// The allocator's count of what it has handed out, from the sanitizer's runtime.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

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
    viewer.playback.msPerLogSecond = 125;
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
        EXPECT_EQ(brokenReference(viewer.world), "") << "run " << run;
        if (!first) {
            first = viewer.world;
            ASSERT_GT(first->soldierList.size(), 0);
            ASSERT_TRUE(first->mapImage);
        } else {
            EXPECT_TRUE(viewer.world == *first) << "run " << run;
        }
    }
}

namespace {

// The memory the process holds, in kB: its resident memory, or under AddressSanitizer, whose quarantine keeps up to
// 256 MB of freed memory resident, what its allocator has handed out and not had back.
long memoryInUse()
{
#ifdef __SANITIZE_ADDRESS__
    return static_cast<long>(__sanitizer_get_current_allocated_bytes() / 1024);
#else
    return headless::residentKilobytes();
#endif
}

// A JPEG of 4,000 x 4,000 whose scan names Huffman tables that no segment defines (and that libjpeg has no defaults
// for): libjpeg gives up on it once it has set the decoding up for the full size, and libgdiplus leaves libjpeg's
// memory behind, tens of kB each time.
std::string brokenLargeJpeg()
{
    std::string bytes("\xFF\xD8\xFF\xDB\x00\x43\x00", 7);
    bytes += std::string(64, '\x01');
    bytes += std::string("\xFF\xC0\x00\x11\x08\x0F\xA0\x0F\xA0\x03\x01\x11\x00\x02\x11\x00\x03\x11\x00", 19);
    bytes += std::string("\xFF\xDA\x00\x0C\x03\x01\x33\x02\x33\x03\x33\x00\x3F\x00", 14);
    return bytes + std::string(64, '\x55') + "\xFF\xD9";
}

}  // namespace

TEST_F(HostileLongRunTest, AMapRewrittenBrokenTwoHundredTimesCostsTheDecoderOnceAVersion)
{
    // 2,000 log seconds naming the map once a second, played at 8x: 250 s on the virtual clock, 2,500 frames; the
    // picture is rewritten every 10 log seconds, 200 versions in all. The log goes on a little longer, so that its
    // data has not ended by then.
    writeFile("Kelo.ini", "[Broken.map]\nInvertY=0\nInvertX=0\nScaleX=400\nScaleY=400\nOffsetX=0\nOffsetY=0\n"
                          "RotationOffset=0\n");
    std::string log = "[1:00:00] 1;Broken.map\n[1:00:00] CREATED;SOLDIER;1;R;100;100;0;0;1;1;0;Walker\n";
    for (int second = 1; second < 2010; ++second)
        log += "[" + std::to_string(1 + second / 3600) + ":" + std::to_string(second / 60 % 60) + ":"
             + std::to_string(second % 60) + "] 1;Broken.map\n";
    const std::string logPath = writeFile("broken.log", log);
    const std::string map = writeFile("Maps/Broken.png", brokenLargeJpeg());
    const auto time = std::filesystem::last_write_time(map);
    viewer.playback.msPerLogSecond = 125;
    ASSERT_EQ(startShell([] { return std::string(); }), "");
    testing::internal::CaptureStderr();
    openReplayLog(logPath);
    // The first versions fill what the process keeps for later (allocator pools, fonts); the growth is counted from
    // the tenth version on.
    long before = 0;
    for (int version = 1; version <= 200; ++version) {
        std::ofstream(map, std::ios::binary) << brokenLargeJpeg();
        std::filesystem::last_write_time(map, time + std::chrono::microseconds(version));
        headless::advance(1250);
        if (version == 10)
            before = memoryInUse();
    }
    const long growth = memoryInUse() - before;
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(headless::messages().size(), 0u);
    EXPECT_FALSE(viewer.world.mapImage);
    // libjpeg names each version that it gave up on once; a log naming the map at every frame would cost it 2,500.
    std::size_t named = 0;
    for (std::size_t at = errors.find("jpeg error"); at != std::string::npos; at = errors.find("jpeg error", at + 1))
        ++named;
    EXPECT_EQ(named, 200u);
    // 190 versions lose some 17 MB of resident memory (27 MB handed out under the sanitizer); decoding at every map
    // line loses some 180 MB (430 MB).
    EXPECT_GT(before, 0);
    EXPECT_LT(growth, 64 * 1024) << "kB";
}

// Benchmarks of navigation on a large generated log (100 MB; KELO_BENCH_LOG_MB sets another size, e.g. 1000): the
// index's scans (marks only, playing) beside a plain fgets loop over the same file, a seek from the start to the end
// after the scan, a seek back to the middle, and the snapshots that the index leaves. The log is written once.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <limits>
#include <numeric>
#include <random>
#include <string>

#include "app/playback.h"
#include "app/seek.h"
#include "app/viewer.h"
#include "platform/headless/headless.h"
#include "world/log_index.h"

namespace {

constexpr double everything = std::numeric_limits<double>::infinity();

// [SECTION] The generated log

// Games of two hours of log time on the demo's map: 40 soldiers and 10 vehicles reporting their positions every
// second or two, hits, kills, destroyed units, chat, boarding, a win; a line without a stamp between games.
class BenchLog {
public:
    BenchLog()
    {
        const char* size = std::getenv("KELO_BENCH_LOG_MB");
        const std::int64_t megabytes = size != nullptr && std::atoll(size) > 0 ? std::atoll(size) : 100;
        std::string pattern = (std::filesystem::temp_directory_path() / "kelo-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            return;
        folder_ = pattern;
        path_ = (std::filesystem::path(folder_) / "large.log").string();
        write(megabytes << 20);
    }
    ~BenchLog()
    {
        if (!folder_.empty()) {
            std::error_code error;
            std::filesystem::remove_all(folder_, error);
        }
    }
    BenchLog(const BenchLog&) = delete;
    BenchLog& operator=(const BenchLog&) = delete;

    const std::string& path() const { return path_; }

private:
    void write(std::int64_t bytes)
    {
        std::FILE* file = std::fopen(path_.c_str(), "wb");
        if (file == nullptr) {
            path_.clear();
            return;
        }
        std::mt19937 random(12345);
        auto pick = [&random](int n) { return static_cast<int>(random() % static_cast<std::uint32_t>(n)); };
        std::string text;
        std::int64_t written = 0;
        std::int64_t second = 0;
        char line[256];
        auto put = [&](int length) { text.append(line, static_cast<std::size_t>(std::max(length, 0))); };
        // Stamps as loggers write them: two digits each.
        auto stamp = [&second] {
            const std::int64_t s = (36000 + second) % 43200;
            char text[16];
            std::snprintf(text, sizeof text, "%02d:%02d:%02d", static_cast<int>(s / 3600),
                          static_cast<int>(s / 60 % 60), static_cast<int>(s % 60));
            return std::string(text);
        };
        while (written < bytes) {
            if (second % 7200 == 0) {
                if (second > 0)
                    put(std::snprintf(line, sizeof line, "NEXT GAME\n"));
                const std::string s = stamp();
                put(std::snprintf(line, sizeof line, "[%s] 1;Brackwater.map\n[%s] CONFIG;120;Bridge\n", s.c_str(),
                                  s.c_str()));
                for (int id = 1; id <= 50; ++id)
                    put(std::snprintf(line, sizeof line, "[%s] CREATED;%s;%d;%s;%d.5;%d.5;1.5;0;100;100;%d;Player%d\n",
                                      s.c_str(), id <= 40 ? "SOLDIER" : "VEHICLE", id, id <= 40 ? "Rifleman" : "Tank",
                                      pick(4000), pick(4000), id % 2, id));
            }
            const std::string s = stamp();
            for (int id = 1; id <= 50; ++id) {
                if (pick(3) == 0)
                    continue;
                put(std::snprintf(line, sizeof line, "[%s] POS;%s;%d;-;%d.%d;%d.%d;1.5;%d;%d;%d\n", s.c_str(),
                                  id <= 40 ? "SOLDIER" : "VEHICLE", id, pick(4000), pick(10), pick(4000), pick(10),
                                  pick(360), pick(100), pick(100)));
            }
            const int event = pick(100);
            if (event < 10)
                put(std::snprintf(line, sizeof line, "[%s] DAMAGED;SOLDIER;%d;-;-;-;-;-;%d\n", s.c_str(), 1 + pick(40),
                                  1 + pick(50)));
            else if (event < 12)
                put(std::snprintf(line, sizeof line, "[%s] KILLED;SOLDIER;%d\n", s.c_str(), 1 + pick(40)));
            else if (event < 16)
                put(std::snprintf(line, sizeof line, "[%s] CHAT;PUBLIC;%d;hold the bridge\n", s.c_str(), 1 + pick(40)));
            else if (event < 20)
                put(std::snprintf(line, sizeof line, "[%s] ENTER;%d;-;-;-;-;%d\n", s.c_str(), 41 + pick(10),
                                  1 + pick(40)));
            else if (event < 24)
                put(std::snprintf(line, sizeof line, "[%s] EXIT;%d;-;-;-;-;%d\n", s.c_str(), 41 + pick(10),
                                  1 + pick(40)));
            if (second % 7200 == 7199)
                put(std::snprintf(line, sizeof line, "[%s] WIN;%d\n", s.c_str(), pick(2)));
            ++second;
            if (text.size() > (1 << 20) || written + static_cast<std::int64_t>(text.size()) >= bytes) {
                written += static_cast<std::int64_t>(std::fwrite(text.data(), 1, text.size(), file));
                text.clear();
            }
        }
        std::fclose(file);
    }

    std::string folder_;
    std::string path_;
};

const BenchLog& benchLog()
{
    static const BenchLog log;
    return log;
}

// Processor time of the whole process, every thread counted: on a machine shared with other work it says more about
// the cost than the time that passed.
class ProcessorTime {
public:
    ProcessorTime() : start_(std::clock()) {}
    double ms() const { return 1000.0 * static_cast<double>(std::clock() - start_) / CLOCKS_PER_SEC; }

private:
    std::clock_t start_;
};

// [SECTION] Reading

void BM_FgetsLargeLog(benchmark::State& state)
{
    const std::string& path = benchLog().path();
    std::int64_t lines = 0;
    for (auto _ : state) {
        const ProcessorTime processor;
        std::FILE* file = std::fopen(path.c_str(), "rb");
        if (file == nullptr) {
            state.SkipWithError("no log");
            return;
        }
        char line[1100];
        lines = 0;
        while (std::fgets(line, sizeof line, file) != nullptr)
            ++lines;
        std::fclose(file);
        state.counters["cpuMs"] = processor.ms();
    }
    state.SetItemsProcessed(state.iterations() * lines);
    state.counters["lines"] = static_cast<double>(lines);
}
BENCHMARK(BM_FgetsLargeLog)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// The index's whole scan, on its own thread, until its last view is published: marks only (kelo-render --index) or
// playing every line and leaving snapshots (the viewer's).
void scanLargeLog(benchmark::State& state, ScanMode mode)
{
    std::int64_t lines = 0;
    for (auto _ : state) {
        const ProcessorTime processor;
        std::optional<LineReader> reader = openLogFile(benchLog().path());
        if (!reader) {
            state.SkipWithError("no log");
            return;
        }
        const LogIndex index(std::move(*reader), LogIndex::publishEvery, mode);
        const auto data = index.waitFor(everything);
        lines = data->lines;
        state.counters["marks"] = static_cast<double>(data->marks.size());
        state.counters["logHours"] = data->scannedS / 3600;
        state.counters["cpuMs"] = processor.ms();
    }
    state.SetItemsProcessed(state.iterations() * lines);
    state.counters["lines"] = static_cast<double>(lines);
}

void BM_IndexLargeLog(benchmark::State& state)
{
    scanLargeLog(state, ScanMode{});
}
BENCHMARK(BM_IndexLargeLog)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

void BM_IndexPlayLargeLog(benchmark::State& state)
{
    scanLargeLog(state, ScanMode{true});
}
BENCHMARK(BM_IndexPlayLargeLog)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// [SECTION] Seeking

// The log opened as "Open" does, paused, with its whole index.
double openScanned()
{
    headless::startup();
    app::viewer().reset();
    headless::reset();
    openReplayLog(benchLog().path());
    app::viewer().playback.playbackPaused = 1;
    stopPlayback();
    return app::viewer().playback.index ? app::viewer().playback.index->waitFor(everything)->scannedS : 0;
}

// The snapshots that the index left: how many, their memory at its peak and their spacing in the file.
void countSnapshots(benchmark::State& state)
{
    const LogIndex::SnapshotTally tally = app::viewer().playback.index->snapshotTally();
    state.counters["snapshots"] = static_cast<double>(tally.count);
    state.counters["snapshotPeakMB"] = static_cast<double>(tally.peakBytes) / (1 << 20);
    state.counters["snapshotSpacingKB"] = static_cast<double>(tally.spacing) / (1 << 10);
}

// Once the index has scanned the whole log: a seek from the start, as the first seek after an open is.
void BM_SeekStartToEnd(benchmark::State& state)
{
    double total = 0;
    for (auto _ : state) {
        state.PauseTiming();
        total = openScanned();
        state.ResumeTiming();
        const ProcessorTime processor;
        seekTo(total);
        finishSeek();
        state.counters["cpuMs"] = processor.ms();
    }
    if (logTimeNow() != total)
        state.SkipWithError("the seek did not reach the end");
    countSnapshots(state);
    app::viewer().reset();
}
BENCHMARK(BM_SeekStartToEnd)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_SeekEndToMiddle(benchmark::State& state)
{
    double total = 0;
    for (auto _ : state) {
        state.PauseTiming();
        total = openScanned();
        seekTo(total);
        finishSeek();
        state.ResumeTiming();
        const ProcessorTime processor;
        seekTo(total / 2);
        finishSeek();
        state.counters["cpuMs"] = processor.ms();
    }
    // The middle may fall into a wait between games: the seek lands on the first line at or after it.
    if (logTimeNow() < total / 2 || logTimeNow() >= total)
        state.SkipWithError("the seek did not reach the middle");
    countSnapshots(state);
    app::viewer().reset();
}
BENCHMARK(BM_SeekEndToMiddle)->Unit(benchmark::kMillisecond)->Iterations(1);

// Seeks anywhere once the index has scanned the log: 64 targets spread over it in a shuffled order, each at one of
// the speeds, after a first seek (which the two above time) has loaded the map picture as playback would have. The
// time given is the slowest seek's; the counters tell the mean and the slowest, in wall milliseconds.
void BM_SeekAnywhere(benchmark::State& state)
{
    constexpr int targets = 64;
    double slowest = 0;
    double sum = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const double total = openScanned();
        seekTo(60);
        finishSeek();
        std::vector<int> order(targets);
        std::iota(order.begin(), order.end(), 0);
        std::mt19937 random(7);
        std::shuffle(order.begin(), order.end(), random);
        for (int i : order) {
            setSpeed(std::array{125, 250, 500, 1000, 2000, 4000}[random() % 6]);
            const auto start = std::chrono::steady_clock::now();
            seekTo(total * (i + 0.5) / targets);
            finishSeek();
            const double ms =
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
            slowest = std::max(slowest, ms);
            sum += ms;
        }
        state.SetIterationTime(slowest / 1000);
        state.ResumeTiming();
    }
    state.counters["slowestMs"] = slowest;
    state.counters["meanMs"] = sum / targets;
    countSnapshots(state);
    app::viewer().reset();
}
BENCHMARK(BM_SeekAnywhere)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();

}  // namespace

// The side panel's cost: the heavy scene (1,000 soldiers, 300 vehicles) composed with the panel open on its Units tab
// and on its Events tab over the index of a log of 100,000 events, to set against BM_ComposeHeavy, the same scene
// with the panel closed, in the same run. Each frame is composed at a client area of its own size.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <limits>
#include <string>

#include "app/shell.h"
#include "app/viewer.h"
#include "bench/bench_folder.h"
#include "bench/scenes.h"
#include "platform/headless/headless.h"
#include "view/frame_layout.h"

namespace {

constexpr int events = 100000;

// Chat, kills and destroyed units, one a line, a few a log second; written once.
const std::string& eventsLog()
{
    static const std::string path = [] {
        std::string text = "[0:00:00] CREATED;SOLDIER;1;Rifleman;0;0;0;0;1;1;0;Speaker One\n";
        for (int i = 0; i < events; ++i) {
            const int s = i / 4;
            char line[96];
            if (i % 3 == 0)
                std::snprintf(line, sizeof line, "[%d:%d:%d] CHAT;PUBLIC;1;message %d\n", s / 3600, s / 60 % 60, s % 60,
                              i);
            else if (i % 3 == 1)
                std::snprintf(line, sizeof line, "[%d:%d:%d] KILLED;SOLDIER;1\n", s / 3600, s / 60 % 60, s % 60);
            else
                std::snprintf(line, sizeof line, "[%d:%d:%d] DESTROYED;VEHICLE;%d\n", s / 3600, s / 60 % 60, s % 60, i);
            text += line;
        }
        benchFolder().writeText("events.log", text);
        return benchFolder().file("events.log");
    }();
    return path;
}

void composeWithPanel(benchmark::State& state, PanelTab tab)
{
    buildHeavyScene();
    Viewer& viewer = app::viewer();
    viewer.playback.index = std::make_unique<LogIndex>(*openLogFile(eventsLog()));
    viewer.playback.index->waitFor(std::numeric_limits<double>::infinity());
    viewer.view.panel.open = true;
    viewer.view.panel.tab = tab;
    headless::setClientSize(openFrameWidth, frameHeight);
    for (auto _ : state)
        composeFrame();
    state.counters["events"] = static_cast<double>(viewer.playback.index->view()->marks.size());
    headless::setClientSize(frameWidth, frameHeight);
    viewer.reset();
}

void BM_ComposeHeavyPanelUnits(benchmark::State& state)
{
    composeWithPanel(state, PanelTab::units);
}
BENCHMARK(BM_ComposeHeavyPanelUnits)->Unit(benchmark::kMillisecond);

void BM_ComposeHeavyPanelEvents(benchmark::State& state)
{
    composeWithPanel(state, PanelTab::events);
}
BENCHMARK(BM_ComposeHeavyPanelEvents)->Unit(benchmark::kMillisecond);

}  // namespace

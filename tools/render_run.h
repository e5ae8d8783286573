// kelo-render's playback run: the viewer it plays the log in, its options, its outputs (numbered frames, clip,
// progress line, the last frame, the state) and how far it has come, from start-up to the last output.
// One run at a time: while it lives, its viewer is the current one and it takes the headless backend's sinks.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "app/viewer.h"
#include "platform/headless/headless.h"
#include "tools/frame_skipping.h"
#include "tools/numbered_frames.h"
#include "tools/progress_line.h"
#include "tools/render_options.h"
#include "tools/state_json.h"
#include "tools/timetable.h"
#include "tools/video_clip.h"

class RenderRun {
public:
    // `clip` is the clip to write (--video), made beforehand; `started` is when the program started.
    RenderRun(RenderOptions options, std::unique_ptr<VideoClip> clip, ProgressLine::Clock::time_point started);
    ~RenderRun();
    RenderRun(const RenderRun&) = delete;
    RenderRun& operator=(const RenderRun&) = delete;

    // Plays the log as asked and writes the outputs; the program's exit code.
    int run();

private:
    // The steps of a run, in order.
    bool startUp();
    bool openLog();
    void seekWhenDue();
    void startOutputs();
    bool play();
    bool waitForGrowth();
    int end();
    int writeOutputs();

    // Within the play loop.
    bool playing() const;
    void deliverDueInputs();
    void followWhenThere();
    std::int64_t nextStop();
    std::optional<std::int64_t> nextScriptedMs() const;
    void showProgress();
    void seekNow(double logSeconds);
    bool writeState(const std::string& path);
    bool writeUnits(const std::string& path);
    static bool writeJson(const std::string& path, const StateJson& json);
    int clientWidth() const;
    void waitForPanelEvents();

    // The headless backend's sinks, which tell the run that is going on.
    static void timerSink(TimerId id);
    static void messageSink(const headless::MessageBox& box);

    const RenderOptions options_;
    Viewer viewer_;
    FrameSkipping skipping_{viewer_};
    Timetable<SeekRequest> seeks_;
    Timetable<ScriptedInput> inputs_;
    std::unique_ptr<VideoClip> clip_;
    ProgressLine::Clock::time_point started_;
    // From the play loop on: the progress line, the whole it counts up to, and the numbered frames told on its line.
    std::optional<ProgressLine> progress_;
    std::int64_t progressTotal_ = 0;
    std::optional<NumberedFrames> frames_;
    bool endOfData_ = false;  // "No more data" was said since the open or the last seek
    // --follow-unit's id until a unit with it exists: the log creates its units after the open.
    std::optional<std::int32_t> followWanted_;
    std::chrono::steady_clock::time_point lastGrowth_;  // --follow: when the log last grew, in real time
};

// The progress line of long kelo-render runs on standard error: how much of the work is done, lines a second and
// the time left, rewritten in place, once the run has taken a second. Shown only while standard error is a terminal.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

class ProgressLine {
public:
    using Clock = std::chrono::steady_clock;

    // `shown` false makes every call do nothing; `what` names the whole of the work ("the log", "the time asked
    // for"); the line shows from a second after `runStart` on, the time the program started.
    ProgressLine(bool shown, std::string what, Clock::time_point runStart);

    // Where the work is: `done` out of `total` (total 0: unknown, then only the lines a second are told), `lines`
    // handled so far. Cheap when no new line is due: the line changes at most four times a second.
    void update(std::int64_t done, std::int64_t total, std::int64_t lines);
    // Text that stands before the progress on the line (the frame just written), or none.
    void setLead(std::string lead);
    // Ends the line, if one was shown, so that what follows starts on a line of its own.
    void finish();
    // Takes the line off the terminal, if one was shown, so that what follows is written where it stood; the next
    // update draws it again.
    void erase();
    bool drawn() const { return drawn_; }

private:
    bool shown_;
    std::string what_;
    std::string lead_;
    Clock::time_point start_;
    Clock::time_point nextDraw_;
    bool drawn_ = false;
};

// Whether a run shows its progress line: unless asked to be quiet, while standard error is a terminal.
bool progressShown(bool quiet);

// The size of a file, the whole of the work of a pass over a log; 0 when it cannot be told (the file went away).
std::int64_t fileSize(const std::string& path);

// The progress text: "42% of the log, 1,234,567 lines a second, 3 s left", or "1,234,567 lines a second" when the
// total is unknown.
std::string progressText(const std::string& what, std::int64_t done, std::int64_t total, std::int64_t lines,
                         double seconds);

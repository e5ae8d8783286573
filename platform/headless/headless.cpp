// The headless backend: virtual time, timers fired in order of due time (ties in arming order),
// message boxes and window requests recorded instead of shown, and file choices answered from a queue.
#include "platform/headless/headless.h"

#include <algorithm>
#include <array>
#include <deque>
#include <fstream>
#include <optional>

#include "app/input.h"
#include "app/shell.h"
#include "platform/headless/png_file.h"
#include "platform/linux/shared.h"
#include "view/frame_layout.h"

namespace {

struct VirtualTimer {
    bool armed = false;
    std::int32_t period = 0;
    std::int32_t lateness = 0;
    std::int64_t due = 0;
    std::uint64_t armedAs = 0;  // arming order, for ties; a timer firing again keeps its place
    bool resting = false;  // as the core last said; it fires on all the same
};

struct HeadlessState {
    std::int64_t now = 0;
    std::uint64_t armings = 0;
    std::array<VirtualTimer, timerIdLimit> timers{};
    void (*timerSink)(TimerId) = nullptr;
    std::vector<headless::MessageBox> messages;
    void (*messageSink)(const headless::MessageBox&) = nullptr;
    std::vector<WindowRequest> windowRequests;
    std::deque<std::string> fileChoices;
    std::optional<std::string> programFolder;
    bool resized = false;  // the client area is not 400 x 455
};

HeadlessState state;

// The timer of that id, or none for an id that no timer has.
VirtualTimer* timerAt(TimerId id)
{
    auto index = static_cast<std::size_t>(id);
    return index < state.timers.size() ? &state.timers[index] : nullptr;
}

// The armed timer that is due first by `until`, if any.
VirtualTimer* nextDue(std::int64_t until, TimerId& id)
{
    VirtualTimer* first = nullptr;
    for (std::size_t i = 0; i < state.timers.size(); ++i) {
        VirtualTimer& timer = state.timers[i];
        if (!timer.armed || timer.due > until)
            continue;
        if (first == nullptr || timer.due < first->due || (timer.due == first->due && timer.armedAs < first->armedAs)) {
            first = &timer;
            id = static_cast<TimerId>(i);
        }
    }
    return first;
}

// Hands the back buffer's rows to `use` while they are locked. Locked in the buffer's own format, the bytes come as
// they are, with nothing converted. False when the buffer cannot be locked or `use` fails.
template <class Use>
bool withFrameRows(Use use)
{
    const GpRect whole = backBufferRect();
    GpBitmapData data{};
    if (GdipBitmapLockBits(backBufferBitmap(), &whole, gpImageLockModeRead, gpPixelFormat32bppRGB, &data) != gpOk)
        return false;
    const bool used = use(static_cast<const std::uint32_t*>(data.Scan0), data.Stride / 4, whole.Width, whole.Height);
    GdipBitmapUnlockBits(backBufferBitmap(), &data);
    return used;
}

}  // namespace

// [SECTION] The platform seam

void armTimer(TimerId id, std::int32_t periodMs)
{
    VirtualTimer* timer = timerAt(id);
    if (timer == nullptr)
        return;
    timer->armed = true;
    timer->period = std::max(periodMs, 1);
    timer->due = state.now + timer->period + timer->lateness;
    timer->armedAs = ++state.armings;
}

void stopTimer(TimerId id)
{
    if (VirtualTimer* timer = timerAt(id))
        timer->armed = false;
}

void restTimer(TimerId id, bool resting)
{
    if (VirtualTimer* timer = timerAt(id))
        timer->resting = resting;
}

std::int64_t steadyMs()
{
    return state.now;
}

void showErrorBox(const std::string& text, const std::string& caption)
{
    state.messages.push_back({text, caption});
    if (state.messageSink != nullptr)
        state.messageSink(state.messages.back());
}

std::string runOpenFileDialog()
{
    if (state.fileChoices.empty())
        return {};
    std::string path = state.fileChoices.front();
    state.fileChoices.pop_front();
    return path;
}

void requestWindow(WindowRequest request)
{
    state.windowRequests.push_back(request);
}

std::string executableFolder()
{
    return state.programFolder ? *state.programFolder : runningProgramFolder();
}

void repaintWindow()
{
    composeFrame();
}

GpDC backBufferDC()
{
    return bitmapBackBufferDC();
}

bool backBufferPixels(std::vector<std::uint32_t>& pixels)
{
    return bitmapBackBufferPixels(pixels);
}

// [SECTION] Driving the core

namespace headless {

bool startup()
{
    return startCore().empty();
}

void advance(std::int64_t ms)
{
    std::int64_t until = state.now + std::max<std::int64_t>(ms, 0);
    TimerId id{};
    while (VirtualTimer* timer = nextDue(until, id)) {
        state.now = timer->due;
        // Moved on before the call, so that a callback re-arming or stopping its own timer has the last word.
        timer->due += timer->period + timer->lateness;
        if (state.timerSink != nullptr)
            state.timerSink(id);
        onTimer(id);
    }
    // A callback (or a message sink) may have advanced the clock itself: time never goes back.
    state.now = std::max(state.now, until);
}

std::int64_t now()
{
    return state.now;
}

bool timerArmed(TimerId id)
{
    const VirtualTimer* timer = timerAt(id);
    return timer != nullptr && timer->armed;
}

bool timerResting(TimerId id)
{
    const VirtualTimer* timer = timerAt(id);
    return timer != nullptr && timer->resting;
}

std::optional<std::int64_t> dueTime(TimerId id)
{
    if (!timerArmed(id))
        return std::nullopt;
    return timerAt(id)->due;
}

void passOver(TimerId id, std::int64_t time)
{
    VirtualTimer* timer = timerAt(id);
    if (timer == nullptr || !timer->armed || timer->due >= time)
        return;
    timer->due += (time - timer->due + timer->period - 1) / timer->period * timer->period;
}

std::int32_t timerPeriod(TimerId id)
{
    return timerArmed(id) ? timerAt(id)->period : 0;
}

void setTimerLateness(TimerId id, std::int32_t ms)
{
    if (VirtualTimer* timer = timerAt(id))
        timer->lateness = std::max(ms, 0);
}

void setTimerSink(void (*sink)(TimerId id))
{
    state.timerSink = sink;
}

const std::vector<MessageBox>& messages()
{
    return state.messages;
}

void setMessageSink(void (*sink)(const MessageBox& box))
{
    state.messageSink = sink;
}

const std::vector<WindowRequest>& windowRequests()
{
    return state.windowRequests;
}

void queueFileChoice(const std::string& path)
{
    state.fileChoices.push_back(path);
}

void setProgramFolder(const std::string& folder)
{
    state.programFolder = folder;
}

void setClientSize(int width, int height)
{
    resizeBitmapBackBuffer(width, height);
    const GpRect buffer = backBufferRect();
    resizeView(buffer.Width, buffer.Height);
    state.resized = buffer.Width != frameWidth || buffer.Height != frameHeight;
}

ARGB pixel(int x, int y)
{
    ARGB colour = 0;
    GdipBitmapGetPixel(backBufferBitmap(), x, y, &colour);
    return colour;
}

bool framePixels(std::vector<std::uint32_t>& pixels)
{
    return bitmapBackBufferPixels(pixels);
}

bool saveFrame(const std::string& path)
{
    return withFrameRows([&path](const std::uint32_t* rows, int stride, int width, int height) {
        return writePngFile(path, rows, width, height, stride);
    });
}

void pointerMove(int x, int y)
{
    onPointerMove(x, y);
}

void pointerPress(int x, int y)
{
    onPointerPress(x, y);
}

void pointerRelease()
{
    onPointerRelease();
}

void wheel(int x, int y, int notches)
{
    onWheel(x, y, notches);
}

void key(const KeyPress& press)
{
    onKey(press);
}

long residentKilobytes()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return 0;
}

void reset()
{
    if (state.resized)
        setClientSize(frameWidth, frameHeight);
    state = HeadlessState{};
}

}  // namespace headless

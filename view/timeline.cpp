// The timeline strip, drawn in layers: background, scanned and unscanned bar, played part, a seek's way, long
// waits cut out as gaps, marks (one a column, the most telling kind on top), ticks, then the text row.
// Relies on the bar's scale (view/timeline_scale.h), the side colours and the label-box rule of view/frame.h.
#include "view/timeline.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <utility>
#include <vector>

#include "view/frame.h"
#include "view/frame_layout.h"
#include "view/kept_text.h"

namespace {

constexpr int barWidth = barRight - barLeft;
// The box under the pointer stays inside the strip, and it reaches one pixel beyond its text on each side.
constexpr float labelLeftmost = timelineStrip.left + 1;
constexpr float labelRightEnd = timelineStrip.right() - 1;

// The column a mark or a tick at x is drawn in, up to the column before `end`: a mark at the span's end stays on
// the span's side of it.
int columnAt(float x, int end = barRight)
{
    return std::max(barLeft, static_cast<int>(std::min(std::floor(x), static_cast<float>(end - 1))));
}

// The column where a part of the bar that reaches x stops.
int edgeAt(float x)
{
    return static_cast<int>(std::clamp(std::round(x), static_cast<float>(barLeft), static_cast<float>(barRight)));
}

// Which mark a shared column shows: the win over resets over destroyed units over kills over chat.
int markRank(MarkKind kind)
{
    switch (kind) {
    case MarkKind::chat:
        return 0;
    case MarkKind::killed:
        return 1;
    case MarkKind::destroyed:
        return 2;
    case MarkKind::reset:
        return 3;
    case MarkKind::win:
        return 4;
    }
    return 0;
}

double finiteOrZero(double value)
{
    return std::isfinite(value) ? std::max(value, 0.0) : 0;
}

void fillColumns(Surface& surface, Brush& brush, ARGB colour, int from, int to)
{
    if (to <= from)
        return;
    brush.setColour(colour);
    surface.fillRectI(brush, from, barTop, to - from, barHeight);
}

// The mark each column of the bar shows, null where none.
using MarkColumns = std::array<const LogMark*, barWidth>;

MarkColumns shownMarks(const TimelineScale& scale, const std::vector<LogMark>& marks)
{
    MarkColumns shown{};
    const int spanEnd = edgeAt(xOfTime(scale, std::numeric_limits<double>::infinity()));
    for (const LogMark& mark : marks) {
        const LogMark*& column = shown[static_cast<std::size_t>(columnAt(xOfTime(scale, mark.t), spanEnd) - barLeft)];
        // A later mark of the same rank is drawn, as it would be drawn over the earlier one.
        if (column == nullptr || markRank(mark.kind) >= markRank(column->kind))
            column = &mark;
    }
    return shown;
}

void drawMarks(Surface& surface, Brush& brush, const MarkColumns& shown)
{
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if (shown[i] == nullptr)
            continue;
        const int x = barLeft + static_cast<int>(i);
        fillColumns(surface, brush, markColour(*shown[i]), x, x + 1);
    }
}

// The mark in the pointer's column, else the more telling of those beside it: a mark is a single pixel wide.
const LogMark* markAt(const MarkColumns& shown, int pointerX)
{
    const int column = columnAt(static_cast<float>(pointerX)) - barLeft;
    if (const LogMark* mark = shown[static_cast<std::size_t>(column)])
        return mark;
    const LogMark* found = nullptr;
    for (int beside : {column - 1, column + 1}) {
        if (beside < 0 || beside >= barWidth)
            continue;
        const LogMark* mark = shown[static_cast<std::size_t>(beside)];
        if (mark != nullptr && (found == nullptr || markRank(mark->kind) > markRank(found->kind)))
            found = mark;
    }
    return found;
}

// Where the text of the box under the pointer starts: centred under the pointer, inside the strip and with its box
// ending two pixels before "elapsed / total" begins at elapsedLeft. Nothing when the box is too wide for that room.
std::optional<float> pointerLabelLeft(float pointerX, float width, float elapsedLeft)
{
    const float beforeElapsed = std::floor(elapsedLeft - width - 3);
    if (beforeElapsed < labelLeftmost)
        return std::nullopt;
    return std::round(std::max(labelLeftmost, std::min({pointerX - width / 2, labelRightEnd - width, beforeElapsed})));
}

void drawText(Surface& surface, KeptText& texts, const TimelineView& view, const TimelineModel& model,
              const TimelineScale& scale, const MarkColumns& shown)
{
    const Font& font = texts.font("Arial", 8);
    const GpRectF layout = rectF(textMeasureBox);
    // While following, "LIVE" and how far behind the newest line playback is stand at the right end, right to left.
    std::vector<std::pair<std::string, ARGB>> rightTexts;
    if (model.live) {
        rightTexts.emplace_back("LIVE", timelineColour::live);
        if (std::string behind = behindEdgeText(model); !behind.empty())
            rightTexts.emplace_back(std::move(behind), timelineColour::text);
    }
    rightTexts.emplace_back(elapsedText(model), timelineColour::text);
    std::vector<float> lefts;
    float right = static_cast<float>(model.elapsedRight);
    for (const auto& [text, colour] : rightTexts) {
        lefts.push_back(right - surface.measure(text, font, layout).Width);
        right = lefts.back() - 4;
    }
    const float elapsedLeft = lefts.back();
    // The log time under the pointer; on a mark, the time of the mark itself (a column spans a stretch of time) and
    // what it marks.
    std::string label;
    std::optional<float> labelLeft;
    if (view.pointerX) {
        if (const LogMark* mark = markAt(shown, *view.pointerX))
            label = logTimeText(mark->t) + " " + markText(*mark);
        else
            label = logTimeText(timeAtX(scale, static_cast<float>(*view.pointerX)));
        labelLeft = pointerLabelLeft(static_cast<float>(*view.pointerX),
                                     texts.measure(surface, label, font, layout).Width, elapsedLeft);
    }
    // A box too wide to stand beside "elapsed / total" (hours and sides beyond any game) takes the row from the
    // left edge, and the elapsed text is left out while the pointer is there.
    if (!view.pointerX || labelLeft) {
        for (std::size_t i = 0; i < rightTexts.size(); ++i)
            surface.drawText(rightTexts[i].first, font, lefts[i], timelineTextTop, Brush::solid(rightTexts[i].second));
    }
    if (model.seekTarget)
        surface.drawText("Seeking " + logTimeText(*model.seekTarget), font, barLeft, timelineTextTop,
                         Brush::solid(timelineColour::target));
    if (!view.pointerX)
        return;
    const float left = labelLeft.value_or(labelLeftmost);
    drawLabelBox(
        surface, texts, label, font,
        [left](float, float) {
            return GpPointF{left, timelineTextTop};
        },
        Brush::solid(timelineColour::labelBox), Brush::solid(timelineColour::labelText));
}

}  // namespace

std::string logTimeText(double seconds)
{
    // Past a hundred million hours the text stops growing; the whole seconds stay exact in 64 bits below that.
    constexpr double longest = 3.6e11;
    const double clamped = std::isnan(seconds) ? 0 : std::clamp(seconds, 0.0, longest);
    const auto whole = static_cast<std::int64_t>(std::floor(clamped));
    const auto hours = static_cast<long long>(whole / 3600);
    const auto minutes = static_cast<long long>(whole / 60 % 60);
    const auto secs = static_cast<long long>(whole % 60);
    char text[32];
    if (hours > 0)
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", hours, minutes, secs);
    else
        std::snprintf(text, sizeof text, "%lld:%02lld", minutes, secs);
    return text;
}

ARGB markColour(const LogMark& mark)
{
    switch (mark.kind) {
    case MarkKind::destroyed:
        return sideColour(mark.side);
    case MarkKind::killed:
        return 0xFFFFFFFF;
    case MarkKind::win:
        return 0xFF00FF00;
    case MarkKind::chat:
        return 0xFF909090;
    case MarkKind::reset:
        return 0xFF4080FF;
    }
    return 0xFFFFFFFF;
}

std::string markText(const LogMark& mark)
{
    std::string text = markKindName(mark.kind);
    if (mark.kind == MarkKind::destroyed && mark.side != -1)
        text += ", side " + std::to_string(mark.side);
    return text;
}

double timelineSpan(const TimelineModel& model)
{
    const double target = model.seekTarget ? finiteOrZero(*model.seekTarget) : 0;
    return std::max({finiteOrZero(model.index->scannedS), finiteOrZero(model.nowS), target});
}

namespace {

// The scan has read all there is: the whole log, or a followed log up to the file's end.
bool scannedAll(const TimelineModel& model)
{
    return model.index->complete || (model.live && model.index->atEdge);
}

}  // namespace

TimelineScale timelineScaleOf(const TimelineModel& model)
{
    const float right = scannedAll(model) ? barRight : barRight - unscannedWidth;
    return timelineScale(model.index->breaks, timelineSpan(model), barLeft, right);
}

std::string elapsedText(const TimelineModel& model)
{
    return logTimeText(model.nowS) + " / " + logTimeText(timelineSpan(model)) + (model.index->complete ? "" : "+");
}

std::string behindEdgeText(const TimelineModel& model)
{
    const double behind = finiteOrZero(model.index->scannedS) - finiteOrZero(model.nowS);
    if (!model.live || !model.index->atEdge || behind < 1)
        return {};
    return "-" + logTimeText(behind);
}

void drawTimeline(const FrameCanvas& canvas, TimelineView& view, const TimelineModel& model)
{
    const LogIndexData& index = *model.index;
    const TimelineScale scale = timelineScaleOf(model);
    Surface surface(canvas.dc, canvas.fit);
    Brush brush = Brush::solid(timelineColour::background);
    surface.fillRectI(brush, timelineStrip.left, timelineStrip.top, timelineStrip.width, timelineStrip.height);

    const int scannedEnd = scannedAll(model) ? barRight : edgeAt(xOfTime(scale, index.scannedS));
    fillColumns(surface, brush, timelineColour::scanned, barLeft, scannedEnd);
    if (scannedEnd < barRight) {
        const Brush stripes = Brush::gradient({0, barTop}, {4, barTop + 4}, timelineColour::unscannedDark,
                                              timelineColour::unscannedLight);
        surface.fillRectI(stripes, scannedEnd, barTop, barRight - scannedEnd, barHeight);
    }
    const int nowEdge = edgeAt(xOfTime(scale, model.nowS));
    fillColumns(surface, brush, timelineColour::played, barLeft, nowEdge);
    if (model.seekTarget) {
        const int targetEdge = edgeAt(xOfTime(scale, *model.seekTarget));
        fillColumns(surface, brush, timelineColour::seeking, std::min(nowEdge, targetEdge),
                    std::max(nowEdge, targetEdge));
    }
    // Marks go over the gaps: the lines just before and after a wait fall on the gap's edges.
    for (const LogBreak& wait : index.breaks)
        fillColumns(surface, brush, timelineColour::background, edgeAt(xOfTime(scale, wait.t)),
                    edgeAt(xOfTime(scale, wait.t + wait.lengthS)));
    const MarkColumns shown = shownMarks(scale, index.marks);
    drawMarks(surface, brush, shown);

    if (model.seekTarget) {
        brush.setColour(timelineColour::target);
        surface.fillRectI(brush, columnAt(xOfTime(scale, *model.seekTarget)), timelineTop, 1,
                          barTop + barHeight + 2 - timelineTop);
    }
    if (view.pointerX) {
        brush.setColour(timelineColour::pointer);
        surface.fillRectI(brush, columnAt(static_cast<float>(*view.pointerX)), timelineTop, 1, barTop - timelineTop);
    }
    drawText(surface, canvas.caches.texts, view, model, scale, shown);
    view.scale = scale;
}

void clearTimeline(const FrameCanvas& canvas, TimelineView& view)
{
    if (!view.scale)
        return;
    Surface surface(canvas.dc, canvas.fit);
    surface.fillRectI(Brush::solid(timelineColour::background), timelineStrip.left, timelineStrip.top,
                      timelineStrip.width, timelineStrip.height);
    const bool shown = view.shown;
    view = TimelineView{};
    view.shown = shown;
}

// The bar's scale: knots at the two ends and at both ends of every long wait, time linear in between. The index
// is read as it comes, so every value is checked: nothing here trusts that waits are ordered, finite or inside.
#include "view/timeline_scale.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "view/frame_layout.h"

namespace {

struct Wait {
    double start;
    double end;
};

}  // namespace

TimelineScale timelineScale(const std::vector<LogBreak>& breaks, double spanS, float left, float right)
{
    TimelineScale scale{{{0, left}}};
    if (!std::isfinite(spanS) || spanS <= 0)
        return scale;

    std::vector<Wait> waits;
    double waited = 0;
    double from = 0;
    for (const LogBreak& wait : breaks) {
        const double start = std::max(wait.t, from);
        const double end = std::min(wait.t + wait.lengthS, spanS);
        if (!std::isfinite(start) || !std::isfinite(end) || !(start < end))
            continue;
        waits.push_back({start, end});
        waited += end - start;
        from = end;
    }

    const float width = std::max(right - left, 0.0f);
    const double played = std::max(spanS - waited, 0.0);
    const auto count = static_cast<float>(waits.size());
    // Gaps never take more than half the bar, unless the whole span is waiting.
    float gap = 0;
    if (!waits.empty())
        gap = played > 0 ? std::min(breakGap, width / 2 / count) : width / count;
    const double perSecond = played > 0 ? (width - gap * count) / played : 0;

    double t = 0;
    double x = left;
    for (const Wait& wait : waits) {
        x += (wait.start - t) * perSecond;
        scale.knots.push_back({wait.start, static_cast<float>(x)});
        x += gap;
        scale.knots.push_back({wait.end, static_cast<float>(x)});
        t = wait.end;
    }
    // The end is exactly `right`, whatever the rounding on the way.
    if (scale.knots.back().t >= spanS)
        scale.knots.back().x = right;
    else
        scale.knots.push_back({spanS, right});
    return scale;
}

float xOfTime(const TimelineScale& scale, double t)
{
    const std::vector<TimelineKnot>& knots = scale.knots;
    if (knots.empty())
        return 0;
    if (!(t > knots.front().t))
        return knots.front().x;
    if (t >= knots.back().t)
        return knots.back().x;
    auto next = std::upper_bound(knots.begin(), knots.end(), t,
                                 [](double time, const TimelineKnot& knot) { return time < knot.t; });
    auto before = std::prev(next);
    const double part = (t - before->t) / (next->t - before->t);
    return static_cast<float>(before->x + part * (next->x - before->x));
}

double timeAtX(const TimelineScale& scale, float x)
{
    const std::vector<TimelineKnot>& knots = scale.knots;
    if (knots.empty())
        return 0;
    if (!(x > knots.front().x))
        return knots.front().t;
    if (x >= knots.back().x)
        return knots.back().t;
    auto next = std::upper_bound(knots.begin(), knots.end(), x,
                                 [](float place, const TimelineKnot& knot) { return place < knot.x; });
    auto before = std::prev(next);
    const double part = static_cast<double>(x - before->x) / static_cast<double>(next->x - before->x);
    return before->t + part * (next->t - before->t);
}

bool insideTimeline(int y)
{
    return timelineTop <= y && y < timelineBottom;
}

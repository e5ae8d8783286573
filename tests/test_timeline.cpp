// Tests of the timeline strip: the time text, the bar's scale with long waits as short gaps, the mark colours, the
// strip's pixels drawn from index data built here, and when frames show the strip at all.
#include <cmath>
#include <limits>
#include <set>

#include "app/playback.h"
#include "app/shell.h"
#include "tests/pictures.h"
#include "view/frame.h"
#include "view/timeline.h"

namespace {

constexpr int barMiddle = barTop + barHeight / 2;

class TimelineTest : public ViewTest {
protected:
    // Draws the strip for an index of the given length, marks and waits, `now` seconds in.
    TimelineModel model(double scannedS, bool complete, double nowS, std::vector<LogMark> marks = {},
                        std::vector<LogBreak> breaks = {})
    {
        auto index = std::make_shared<LogIndexData>();
        index->scannedS = scannedS;
        index->complete = complete;
        index->marks = std::move(marks);
        index->breaks = std::move(breaks);
        return {index, nowS, std::nullopt};
    }

    void draw(const TimelineModel& shown) { drawTimeline(backBufferCanvas(), viewer.view.timeline, shown); }

    // The column the strip draws time t in, by the scale of the last drawn strip.
    int columnOf(double t) const { return static_cast<int>(std::floor(xOfTime(*viewer.view.timeline.scale, t))); }

    // Where the box under the pointer lies in the text row, by its top edge: the row above the texts, whose blended
    // edges may take the box's colour.
    static ColourExtent pointerBox()
    {
        return findColour(timelineColour::labelBox, timelineStrip.left, timelineTextTop - 1, timelineStrip.width, 1);
    }
};

// How many pixels of a rectangle differ from the colour.
int countOther(ARGB colour, int x, int y, int width, int height)
{
    return width * height - findColour(colour, x, y, width, height).count;
}

int countOther(ARGB colour, const FrameRegion& region)
{
    return countOther(colour, region.left, region.top, region.width, region.height);
}

}  // namespace

// [SECTION] Time text

TEST(LogTimeText, MinutesAndSecondsUnderAnHourThenHours)
{
    EXPECT_EQ(logTimeText(0), "0:00");
    EXPECT_EQ(logTimeText(5), "0:05");
    EXPECT_EQ(logTimeText(5.99), "0:05");
    EXPECT_EQ(logTimeText(65), "1:05");
    EXPECT_EQ(logTimeText(3599.9), "59:59");
    EXPECT_EQ(logTimeText(3600), "1:00:00");
    EXPECT_EQ(logTimeText(3600 + 61), "1:01:01");
    EXPECT_EQ(logTimeText(100 * 3600 + 59), "100:00:59");
}

TEST(LogTimeText, NothingBelowZeroAndNoNumberIsZero)
{
    EXPECT_EQ(logTimeText(-0.5), "0:00");
    EXPECT_EQ(logTimeText(-1e300), "0:00");
    EXPECT_EQ(logTimeText(NAN), "0:00");
    EXPECT_EQ(logTimeText(-std::numeric_limits<double>::infinity()), "0:00");
    // Beyond any real log the text stops growing instead of overflowing.
    EXPECT_EQ(logTimeText(1e300), logTimeText(std::numeric_limits<double>::infinity()));
    EXPECT_LT(logTimeText(1e300).size(), 20u);
}

// [SECTION] The bar's scale

TEST(TimelineScale, WithoutWaitsTimeRunsEvenlyAcrossTheBar)
{
    const TimelineScale scale = timelineScale({}, 100, 10, 210);
    EXPECT_FLOAT_EQ(xOfTime(scale, 0), 10);
    EXPECT_FLOAT_EQ(xOfTime(scale, 25), 60);
    EXPECT_FLOAT_EQ(xOfTime(scale, 100), 210);
    EXPECT_DOUBLE_EQ(timeAtX(scale, 110), 50);
    // Outside the span and outside the bar: the nearer end.
    EXPECT_FLOAT_EQ(xOfTime(scale, -5), 10);
    EXPECT_FLOAT_EQ(xOfTime(scale, 500), 210);
    EXPECT_FLOAT_EQ(xOfTime(scale, NAN), 10);
    EXPECT_DOUBLE_EQ(timeAtX(scale, -1000), 0);
    EXPECT_DOUBLE_EQ(timeAtX(scale, 1000), 100);
    EXPECT_DOUBLE_EQ(timeAtX(scale, NAN), 0);
}

TEST(TimelineScale, ALongWaitTakesAFixedGapAndTheRestSharesTheWidth)
{
    // 100 s of play around a wait of an hour: 194 pixels for 100 s, 6 for the hour.
    const TimelineScale scale = timelineScale({{40, 3600}}, 3700, 0, 200);
    EXPECT_FLOAT_EQ(xOfTime(scale, 3640) - xOfTime(scale, 40), breakGap);
    EXPECT_NEAR(xOfTime(scale, 40), 40 * 1.94, 1e-3);
    EXPECT_NEAR(xOfTime(scale, 3700) - xOfTime(scale, 3640), 60 * 1.94, 1e-3);
    // Inside the gap time moves on, so every x still names one time.
    EXPECT_NEAR(timeAtX(scale, xOfTime(scale, 40) + breakGap / 2), 40 + 1800, 1e-6);
    for (double t : {0.0, 12.5, 40.0, 1000.0, 3640.0, 3650.0, 3700.0})
        EXPECT_NEAR(timeAtX(scale, xOfTime(scale, t)), t, 1e-3) << t;
}

TEST(TimelineScale, ManyWaitsShareHalfTheBarAtMost)
{
    std::vector<LogBreak> waits;
    for (int i = 0; i < 100; ++i)
        waits.push_back({i * 1000.0 + 10, 900});
    const TimelineScale scale = timelineScale(waits, 100000, 0, 200);
    float gaps = 0;
    for (const LogBreak& wait : waits)
        gaps += xOfTime(scale, wait.t + wait.lengthS) - xOfTime(scale, wait.t);
    EXPECT_NEAR(gaps, 100, 1e-2);
    EXPECT_FLOAT_EQ(xOfTime(scale, 100000), 200);
}

TEST(TimelineScale, WaitsAreCutToTheSpanAndBadOnesAreLeftOut)
{
    // A wait beyond the span, one that is not a number, one that overlaps the one before, and one running past
    // the end: only the first wait and what is left of the others count.
    const TimelineScale scale = timelineScale(
        {{10, 20}, {NAN, 5}, {20, 20}, {80, std::numeric_limits<double>::infinity()}, {500, 10}}, 100, 0, 100);
    EXPECT_FLOAT_EQ(xOfTime(scale, 40) - xOfTime(scale, 10), 2 * breakGap);
    EXPECT_FLOAT_EQ(xOfTime(scale, 100) - xOfTime(scale, 80), breakGap);
    EXPECT_FLOAT_EQ(xOfTime(scale, 100), 100);
    for (double t = 0; t <= 100; t += 0.5)
        EXPECT_LE(xOfTime(scale, t), xOfTime(scale, t + 0.5)) << t;
}

TEST(TimelineScale, NothingToShowPutsEveryTimeAtTheLeftEnd)
{
    for (double span : {0.0, -3.0, std::nan("")}) {
        const TimelineScale scale = timelineScale({{0, 700}}, span, 4, 396);
        EXPECT_FLOAT_EQ(xOfTime(scale, 50), 4);
        EXPECT_DOUBLE_EQ(timeAtX(scale, 200), 0);
    }
    // A span that is all waiting is all gaps.
    const TimelineScale waiting = timelineScale({{0, 1200}}, 1200, 0, 100);
    EXPECT_FLOAT_EQ(xOfTime(waiting, 600), 50);
}

// [SECTION] Marks

TEST(MarkColour, DestroyedInTheSideColourKillsWhiteWinGreenChatGreyResetBlue)
{
    EXPECT_EQ(markColour({0, MarkKind::destroyed, 0}), sideColour(0));
    EXPECT_EQ(markColour({0, MarkKind::destroyed, 1}), sideColour(1));
    EXPECT_EQ(markColour({0, MarkKind::destroyed, -1}), sideColour(-1));
    EXPECT_EQ(markColour({0, MarkKind::killed, 0}), 0xFFFFFFFFu);
    EXPECT_EQ(markColour({0, MarkKind::win, 1}), 0xFF00FF00u);
    const ARGB chat = markColour({0, MarkKind::chat, 0});
    EXPECT_TRUE(((chat >> 16) & 0xFF) == (chat & 0xFF) && ((chat >> 8) & 0xFF) == (chat & 0xFF)) << std::hex << chat;
    EXPECT_NE(chat, 0xFFFFFFFFu);
    EXPECT_NE(chat, timelineColour::scanned);
    const ARGB reset = markColour({0, MarkKind::reset, 0});
    EXPECT_GT(reset & 0xFF, (reset >> 16) & 0xFF);
    EXPECT_GT(reset & 0xFF, (reset >> 8) & 0xFF);
}

TEST(MarkText, EachKindInWordsDestroyedWithItsSide)
{
    EXPECT_EQ(markText({129, MarkKind::destroyed, 1}), "destroyed, side 1");
    EXPECT_EQ(markText({0, MarkKind::destroyed, 0}), "destroyed, side 0");
    EXPECT_EQ(markText({0, MarkKind::destroyed, 12}), "destroyed, side 12");
    EXPECT_EQ(markText({0, MarkKind::destroyed, -1}), "destroyed");
    EXPECT_EQ(markText({0, MarkKind::killed, 0}), "killed");
    EXPECT_EQ(markText({0, MarkKind::win, 1}), "win");
    EXPECT_EQ(markText({0, MarkKind::chat, 0}), "chat");
    EXPECT_EQ(markText({0, MarkKind::reset, -1}), "reset");
}

// [SECTION] The strip's pixels

TEST_F(TimelineTest, BarIsPlayedUpToNowAndScannedBeyondInsideABlackStrip)
{
    fillBackBuffer(0xFF123456);
    draw(model(100, true, 25));
    const int now = columnOf(25);
    EXPECT_NEAR(now, barLeft + (barRight - barLeft) / 4, 1);
    EXPECT_EQ(countOther(timelineColour::played, barLeft, barTop, now - barLeft, barHeight), 0);
    EXPECT_EQ(countOther(timelineColour::scanned, now + 1, barTop, barRight - now - 1, barHeight), 0);
    // Around the bar the strip is black over its whole width, whatever was there before.
    EXPECT_EQ(countOther(0xFF000000, timelineStrip.left, timelineTop, timelineStrip.width, barTop - timelineTop), 0);
    EXPECT_EQ(countOther(0xFF000000, timelineStrip.left, barTop, barLeft - timelineStrip.left, barHeight), 0);
    EXPECT_EQ(countOther(0xFF000000, barRight, barTop, timelineStrip.right() - barRight, barHeight), 0);
    EXPECT_EQ(countOther(0xFF000000, timelineStrip.left, barTop + barHeight, timelineStrip.width,
                         timelineTextTop - barTop - barHeight),
              0);
    // The map above is untouched.
    EXPECT_EQ(countOther(0xFF123456, mapArea), 0);
}

TEST_F(TimelineTest, MarksAreOneColumnEachInTheirColours)
{
    const std::vector<LogMark> marks{{10, MarkKind::destroyed, 0}, {20, MarkKind::destroyed, 1},
                                     {30, MarkKind::killed, 0},    {40, MarkKind::win, 0},
                                     {50, MarkKind::chat, 0},      {60, MarkKind::reset, -1}};
    draw(model(100, true, 35, marks));
    for (const LogMark& mark : marks) {
        const int x = columnOf(mark.t);
        EXPECT_EQ(countOther(markColour(mark), x, barTop, 1, barHeight), 0) << mark.t;
        // One pixel wide: the columns beside it are bar.
        for (int beside : {x - 1, x + 1}) {
            const ARGB bar = mark.t < 35 ? timelineColour::played : timelineColour::scanned;
            EXPECT_EQ(headless::pixel(beside, barMiddle), bar) << mark.t;
        }
    }
}

TEST_F(TimelineTest, MarksSharingAColumnShowTheMostTellingKind)
{
    // A second holds less than a column here: the win shows over chat and kills, a destroyed unit over a kill.
    draw(model(3600, true, 0,
               {{100, MarkKind::chat, 0},
                {100.1, MarkKind::win, 0},
                {100.2, MarkKind::killed, 0},
                {2000, MarkKind::destroyed, 1},
                {2000.1, MarkKind::killed, 0}}));
    ASSERT_EQ(columnOf(100), columnOf(100.2));
    ASSERT_EQ(columnOf(2000), columnOf(2000.1));
    EXPECT_EQ(headless::pixel(columnOf(100), barMiddle), 0xFF00FF00u);
    EXPECT_EQ(headless::pixel(columnOf(2000), barMiddle), sideColour(1));
}

TEST_F(TimelineTest, TheUnscannedRestIsDarkerStripesAtTheRightEnd)
{
    draw(model(100, false, 20, {{100, MarkKind::chat, 0}}));
    const int scannedEnd = static_cast<int>(std::round(xOfTime(*viewer.view.timeline.scale, 100)));
    EXPECT_EQ(scannedEnd, static_cast<int>(barRight - unscannedWidth));
    EXPECT_EQ(findColour(timelineColour::scanned, scannedEnd, barTop, barRight - scannedEnd, barHeight).count, 0);
    // Stripes: greys from the dark end of the ramp to near its light end, nothing brighter, along every row.
    ARGB darkest = 0xFFFFFFFF;
    ARGB lightest = 0;
    for (int y = barTop; y < barTop + barHeight; ++y) {
        std::set<ARGB> row;
        for (int x = scannedEnd; x < barRight; ++x)
            row.insert(headless::pixel(x, y));
        EXPECT_GE(row.size(), 4u) << y;
        darkest = std::min(darkest, *row.begin());
        lightest = std::max(lightest, *row.rbegin());
    }
    EXPECT_EQ(darkest, timelineColour::unscannedDark);
    EXPECT_LE(lightest, timelineColour::unscannedLight);
    EXPECT_GE(lightest - darkest, 0x00101010u);
    // The last scanned mark stands just before the rest.
    EXPECT_EQ(headless::pixel(scannedEnd - 1, barMiddle), markColour({100, MarkKind::chat, 0}));
    // Scanned and not played: the plain bar colour.
    EXPECT_EQ(headless::pixel(scannedEnd - 10, barMiddle), timelineColour::scanned);

    // Once the scan is complete the same log fills the bar.
    draw(model(100, true, 20));
    EXPECT_EQ(countOther(timelineColour::scanned, columnOf(20) + 1, barTop, barRight - columnOf(20) - 1, barHeight), 0);
}

TEST_F(TimelineTest, ALongWaitIsAShortBreakInTheBar)
{
    draw(model(3700, true, 3700, {{40, MarkKind::chat, 0}, {3640, MarkKind::killed, 0}}, {{40, 3600}}));
    const float from = xOfTime(*viewer.view.timeline.scale, 40);
    const float to = xOfTime(*viewer.view.timeline.scale, 3640);
    EXPECT_FLOAT_EQ(to - from, breakGap);
    // The gap is black between the marks of the lines before and after the wait, which may take its edges.
    const ColourExtent gap = findColour(0xFF000000, barLeft, barMiddle, barRight - barLeft, 1);
    EXPECT_GE(gap.left, static_cast<int>(std::floor(from)));
    EXPECT_LE(gap.right, static_cast<int>(std::ceil(to)));
    EXPECT_GE(gap.count, static_cast<int>(breakGap) - 1);
    EXPECT_LE(gap.count, static_cast<int>(breakGap));
    EXPECT_EQ(countOther(0xFF000000, gap.left, barTop, gap.right - gap.left + 1, barHeight), 0);
    // The 100 played seconds share the rest evenly: the minute after the wait is 60/40 of the 40 s before it.
    EXPECT_NEAR((xOfTime(*viewer.view.timeline.scale, 3700) - to) / (from - barLeft), 1.5, 0.01);
    EXPECT_EQ(headless::pixel(columnOf(3640), barMiddle), 0xFFFFFFFFu);
}

TEST_F(TimelineTest, ElapsedAndTotalStandAtTheRightEndOfTheTextRow)
{
    const TimelineModel shown = model(3725, true, 65);
    ASSERT_EQ(elapsedText(shown), "1:05 / 1:02:05");
    draw(shown);
    const GpRectF size = measureText(elapsedText(shown), "Arial", 8);
    const int left = static_cast<int>(barRight - size.Width);
    const int rowHeight = timelineBottom - timelineTextTop;
    const int ink = countOther(0xFF000000, timelineStrip.left, timelineTextTop, timelineStrip.width, rowHeight);
    EXPECT_GT(ink, 30);
    EXPECT_EQ(countOther(0xFF000000, left, timelineTextTop, barRight - left + 1, rowHeight), ink);
    EXPECT_GT(countOther(0xFF000000, left, timelineTextTop, static_cast<int>(size.Width / 4), rowHeight), 0);
    // While the scan goes on, the total is what is known so far and says so.
    EXPECT_EQ(elapsedText(model(3725, false, 65)), "1:05 / 1:02:05+");
    EXPECT_EQ(elapsedText(model(30, false, 65)), "1:05 / 1:05+");
}

TEST_F(TimelineTest, PointingShowsTheTimeUnderThePointerInABoxAndATick)
{
    viewer.view.timeline.pointerX = 200;
    const TimelineModel shown = model(600, true, 0);
    draw(shown);
    const std::string text = logTimeText(timeAtX(*viewer.view.timeline.scale, 200));
    EXPECT_EQ(text, "5:00");
    const GpRectF size = measureText(text, "Arial", 8);
    const int rows = timelineBottom - timelineTextTop + 1;
    const ColourExtent box =
        findColour(timelineColour::labelBox, timelineStrip.left, timelineTextTop - 1, timelineStrip.width, rows);
    ASSERT_GT(box.count, 0);
    EXPECT_NEAR((box.left + box.right) / 2.0, 200, 1.5);
    EXPECT_NEAR(box.right - box.left + 1, size.Width + 2, 1.5);
    EXPECT_EQ(box.top, timelineTextTop - 1);
    EXPECT_GT(
        countTinted(timelineColour::labelText, box.left, box.top, box.right - box.left + 1, box.bottom - box.top + 1),
        5);
    EXPECT_EQ(
        findColour(timelineColour::pointer, timelineStrip.left, timelineTop, timelineStrip.width, barTop - timelineTop)
            .left,
        200);

    // At the strip's edges the box keeps its whole width inside the strip.
    for (int x : {timelineStrip.left, timelineStrip.right() - 1}) {
        viewer.view.timeline.pointerX = x;
        draw(shown);
        const std::string edgeText = logTimeText(timeAtX(*viewer.view.timeline.scale, static_cast<float>(x)));
        const ColourExtent edgeBox =
            findColour(timelineColour::labelBox, timelineStrip.left, timelineTextTop - 1, timelineStrip.width, rows);
        EXPECT_NEAR(edgeBox.right - edgeBox.left + 1, measureText(edgeText, "Arial", 8).Width + 2, 1.5) << x;
    }
}

TEST_F(TimelineTest, OnAMarkTheBoxNamesItsKindAndTime)
{
    // A second a column.
    const std::vector<LogMark> marks{{129, MarkKind::destroyed, 1},
                                     {200, MarkKind::killed, 0},
                                     {250, MarkKind::win, 0},
                                     {300, MarkKind::chat, 0},
                                     {350, MarkKind::reset, -1}};
    const TimelineModel shown = model(barRight - barLeft, true, 0, marks);
    // The box's width and pixels with the pointer at x.
    auto boxAt = [&](int x) {
        viewer.view.timeline.pointerX = x;
        draw(shown);
        const ColourExtent box = pointerBox();
        std::vector<ARGB> pixels;
        for (int row = timelineTextTop - 1; row < timelineBottom; ++row)
            for (int column = box.left; column <= box.right; ++column)
                pixels.push_back(headless::pixel(column, row));
        return std::pair{box.right - box.left + 1, pixels};
    };
    auto textWidth = [](const std::string& text) { return measureText(text, "Arial", 8).Width + 2; };
    draw(shown);
    for (const LogMark& mark : marks) {
        SCOPED_TRACE(mark.t);
        const int x = columnOf(mark.t);
        const auto on = boxAt(x);
        EXPECT_NEAR(on.first, textWidth(logTimeText(mark.t) + " " + markText(mark)), 1.5);
        // The columns beside a mark name it too, with the mark's time rather than the column's.
        EXPECT_EQ(boxAt(x - 1), on);
        EXPECT_EQ(boxAt(x + 1), on);
        EXPECT_NEAR(boxAt(x + 2).first, textWidth(logTimeText(mark.t + 2)), 1.5);
    }
}

TEST_F(TimelineTest, TheBoxUnderThePointerNeverCoversElapsedAndTotal)
{
    // A short log, an hour-long one still being scanned, and one with a mark in every column (the widest boxes).
    std::vector<LogMark> everywhere;
    for (int i = 0; i < 400; ++i)
        everywhere.push_back({i * 9.5, MarkKind::destroyed, 1});
    const TimelineModel models[] = {model(169, true, 169), model(3725, false, 3000, {{3600, MarkKind::win, 0}}),
                                    model(3800, true, 65, everywhere)};
    const int rows = timelineBottom - timelineTextTop;
    for (const TimelineModel& shown : models) {
        SCOPED_TRACE(elapsedText(shown));
        viewer.view.timeline.pointerX.reset();
        draw(shown);
        const int left = static_cast<int>(std::floor(barRight - measureText(elapsedText(shown), "Arial", 8).Width));
        std::vector<ARGB> bare;
        for (int row = timelineTextTop; row < timelineBottom; ++row)
            for (int column = left; column < timelineStrip.right(); ++column)
                bare.push_back(headless::pixel(column, row));
        ASSERT_GT(countOther(0xFF000000, left, timelineTextTop, barRight - left, rows), 0);
        for (int x = timelineStrip.left; x < timelineStrip.right(); ++x) {
            viewer.view.timeline.pointerX = x;
            draw(shown);
            const ColourExtent box = pointerBox();
            ASSERT_GT(box.count, 0) << x;
            EXPECT_LT(box.right, left) << x;
            // The elapsed text's rectangle is exactly as without the pointer.
            int changed = 0;
            auto before = bare.begin();
            for (int row = timelineTextTop; row < timelineBottom; ++row)
                for (int column = left; column < timelineStrip.right(); ++column)
                    changed += headless::pixel(column, row) != *before++;
            EXPECT_EQ(changed, 0) << x;
        }
    }
}

TEST_F(TimelineTest, ABoxTooWideToStandBesideElapsedAndTotalHasTheRowToItself)
{
    // Hours and a side beyond any game: the box and the elapsed text do not fit side by side.
    const double end = 3.6e11;
    const TimelineModel shown = model(end, true, end, {{end, MarkKind::destroyed, INT32_MIN}});
    const GpRectF label = measureText(logTimeText(end) + " destroyed, side -2147483648", "Arial", 8);
    ASSERT_GT(label.Width + measureText(elapsedText(shown), "Arial", 8).Width + 4, barRight - 1);
    viewer.view.timeline.pointerX = barRight - 1;
    draw(shown);
    const ColourExtent box = pointerBox();
    EXPECT_EQ(box.left, 0);
    EXPECT_NEAR(box.right - box.left + 1, label.Width + 2, 1.5);
    // Nothing else in the row while the pointer is there; the elapsed text is back once it leaves.
    const int rows = timelineBottom - timelineTextTop + 1;
    EXPECT_EQ(countOther(0xFF000000, box.right + 2, timelineTextTop - 1, timelineStrip.right() - box.right - 2, rows),
              0);
    viewer.view.timeline.pointerX.reset();
    draw(shown);
    EXPECT_GT(countOther(0xFF000000, box.right + 2, timelineTextTop - 1, timelineStrip.right() - box.right - 2, rows),
              0);
}

TEST_F(TimelineTest, ASeekUnderWayShowsItsTargetAndTheWayThere)
{
    TimelineModel shown = model(100, true, 20);
    shown.seekTarget = 70;
    draw(shown);
    const int target = columnOf(70);
    EXPECT_EQ(countOther(timelineColour::target, target, timelineTop, 1, barTop + barHeight - timelineTop), 0);
    EXPECT_EQ(headless::pixel(columnOf(45), barMiddle), timelineColour::seeking);
    EXPECT_EQ(headless::pixel(columnOf(10), barMiddle), timelineColour::played);
    EXPECT_EQ(headless::pixel(columnOf(85), barMiddle), timelineColour::scanned);
    // "Seeking" and the target at the left end of the text row, in the target's colour.
    const GpRectF size = measureText("Seeking 1:10", "Arial", 8);
    EXPECT_GT(countTinted(timelineColour::target, barLeft, timelineTextTop, static_cast<int>(size.Width) + 1,
                          timelineBottom - timelineTextTop),
              20);
    // Backwards too: the way runs from the target up to where playback is.
    shown.nowS = 90;
    draw(shown);
    EXPECT_EQ(headless::pixel(columnOf(80), barMiddle), timelineColour::seeking);
    EXPECT_EQ(headless::pixel(columnOf(60), barMiddle), timelineColour::played);
}

// [SECTION] When frames have a strip

TEST_F(TimelineTest, DrawingKeepsTheScaleAndClearingBlacksTheStripOut)
{
    draw(model(100, true, 50));
    ASSERT_TRUE(viewer.view.timeline.scale);
    EXPECT_FLOAT_EQ(xOfTime(*viewer.view.timeline.scale, 100), barRight);
    viewer.view.timeline.pointerX = 30;
    clearTimeline(backBufferCanvas(), viewer.view.timeline);
    EXPECT_FALSE(viewer.view.timeline.scale);
    EXPECT_FALSE(viewer.view.timeline.pointerX);
    EXPECT_EQ(countOther(0xFF000000, timelineStrip), 0);
    // Nothing drawn before: clearing leaves the rows as they are.
    fillBackBuffer(0xFF123456);
    clearTimeline(backBufferCanvas(), viewer.view.timeline);
    EXPECT_EQ(countOther(0xFF123456, timelineStrip), 0);
}

TEST_F(TimelineTest, FramesHaveAStripOnlyWhileShownAndALogIsOpen)
{
    setTimelineShown(true);
    fillBackBuffer(0xFF123456);
    composeFrame();
    EXPECT_EQ(countOther(0xFF123456, timelineStrip), 0) << "no log yet";
    EXPECT_FALSE(viewer.view.timeline.scale);

    openReplayLog(writeFile("short.log", "[10:00:00] CHAT;PUBLIC;1;hi\n[10:00:05] WIN;0\n"));
    setTimelineShown(false);
    composeFrame();
    EXPECT_EQ(countOther(0xFF123456, timelineStrip), 0) << "not shown";

    setTimelineShown(true);
    composeFrame();
    ASSERT_TRUE(viewer.view.timeline.scale);
    EXPECT_EQ(findColour(0xFF123456, timelineStrip).count, 0);
    EXPECT_EQ(headless::pixel(0, barMiddle), 0xFF000000u);
    EXPECT_NE(headless::pixel(200, barMiddle), 0xFF000000u);

    // A failed open closes the log: the strip goes back to black and takes no more hits.
    openReplayLog((folder / "missing.log").string());
    ASSERT_FALSE(viewer.playback.log.reader);
    composeFrame();
    EXPECT_FALSE(viewer.view.timeline.scale);
    EXPECT_EQ(countOther(0xFF000000, timelineStrip), 0);
}

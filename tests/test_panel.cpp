// Tests of the side panel: its Units tab agrees with the world for generated games (every unit once, under its side,
// passengers under their vehicle, the counts, the destroyed with their times), its Events tab with the log's lines;
// a click on an event seeks 5 s before it; the search takes the keys and filters; the lists keep their place; and a
// closed panel leaves the frame as it was.
#include <fstream>
#include <limits>
#include <map>
#include <random>
#include <set>

#include "app/input.h"
#include "app/playback.h"
#include "app/seek.h"
#include "app/shell.h"
#include "controls/panel_input.h"
#include "tests/builders.h"
#include "tests/game_writer.h"
#include "tests/kelo_test.h"
#include "tests/pictures.h"
#include "view/frame_layout.h"
#include "view/panel_rows.h"
#include "world/log_format.h"

namespace {

constexpr double everything = std::numeric_limits<double>::infinity();

class PanelTest : public KeloTest {
protected:
    std::string openFully(const std::string& contents)
    {
        const std::string path = writeFile("game.log", contents);
        openReplayLog(path);
        viewer.playback.index->waitFor(everything);
        return path;
    }

    void typeKeys(const std::string& keys)
    {
        for (char c : keys)
            onKey({c == '/' ? Key::slash : Key::typed, false, false, false, static_cast<char32_t>(c)});
    }

    // The frame pixel in the middle of the list's row in view.
    static int rowY(int row) { return panelList.top + row * panelRowHeight + panelRowHeight / 2; }
};

// What the log's text says the events are: for each line in order, a reset for a line without a stamp, then its
// event when it is one the list shows.
std::vector<std::pair<std::int64_t, MarkKind>> eventsOfText(const std::string& path)
{
    std::vector<std::pair<std::int64_t, MarkKind>> events;
    std::ifstream in(path);
    std::int64_t number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        if (line.empty() || line[0] != '[')
            events.emplace_back(number, MarkKind::reset);
        const std::string event = line.substr(line.find(']') + 2);
        for (const auto& [word, kind] : {std::pair{"DESTROYED;", MarkKind::destroyed},
                                         {"KILLED;", MarkKind::killed},
                                         {"WIN;", MarkKind::win},
                                         {"CHAT;", MarkKind::chat}})
            if (line[0] == '[' && event.rfind(word, 0) == 0)
                events.emplace_back(number, kind);
    }
    return events;
}

// Soldiers and vehicles destroyed by the lines up to `upTo` since the last line without a stamp, from the log's text.
int destroyedInText(const std::string& path, std::int64_t upTo)
{
    std::ifstream in(path);
    int count = 0;
    std::int64_t number = 0;
    for (std::string line; std::getline(in, line) && ++number <= upTo;) {
        if (line.empty() || line[0] != '[')
            count = 0;
        else if (line.find("] DESTROYED;SOLDIER;") != std::string::npos
                 || line.find("] DESTROYED;VEHICLE;") != std::string::npos)
            ++count;
    }
    return count;
}

}  // namespace

TEST_F(PanelTest, TheUnitsTabListsEveryUnitOnceUnderItsSideWithItsPassengers)
{
    int passengersSeen = 0;
    int destroyedSeen = 0;
    for (std::uint32_t seed : {11u, 12u, 13u}) {
        const std::string path = openFully(GameWriter(seed).write(1500));
        std::mt19937 random(seed);
        for (int round = 0; round < 30; ++round) {
            headless::advance(static_cast<std::int64_t>(random() % 4000));
            const World& world = viewer.world;
            const std::vector<PanelRow> rows = unitRows(world, *indexView(), linesPlayed(), "");
            std::map<std::uint64_t, int> listed;
            std::map<std::int32_t, std::pair<int, int>> counts;  // by side: soldiers, vehicles
            walk(world.soldierList, [&](const SoldierRecord& s) { ++counts[s.side].first; });
            walk(world.vehicleList, [&](const VehicleRecord& v) { ++counts[v.side].second; });
            std::set<std::int32_t> headed;
            std::optional<std::int32_t> side;
            const VehicleRecord* vehicle = nullptr;
            bool destroyedBegun = false;
            int destroyed = 0;
            for (const PanelRow& row : rows) {
                switch (row.kind) {
                case PanelRowKind::side: {
                    const auto alive = counts.find(row.side);
                    EXPECT_EQ(row.soldiers, alive == counts.end() ? 0 : alive->second.first);
                    EXPECT_EQ(row.vehicles, alive == counts.end() ? 0 : alive->second.second);
                    EXPECT_TRUE(headed.insert(row.side).second) << "side " << row.side << " headed twice";
                    side = row.side;
                    destroyedBegun = false;
                    vehicle = nullptr;
                    break;
                }
                case PanelRowKind::unit:
                    ASSERT_TRUE(side);
                    EXPECT_EQ(row.unit->side, *side);
                    EXPECT_FALSE(destroyedBegun);
                    ++listed[row.unit->serial];
                    vehicle =
                        row.unit->kind == RecordKind::vehicle ? static_cast<const VehicleRecord*>(row.unit) : nullptr;
                    break;
                case PanelRowKind::passenger: {
                    ASSERT_NE(vehicle, nullptr);
                    const auto& seats = vehicle->passengers.items;
                    EXPECT_NE(std::find(seats.begin(), seats.end(), row.unit), seats.end());
                    ++listed[row.unit->serial];
                    ++passengersSeen;
                    break;
                }
                case PanelRowKind::destroyed:
                    ASSERT_TRUE(side);
                    EXPECT_EQ(row.mark->side, *side);
                    EXPECT_LE(row.mark->t, logTimeNow());
                    EXPECT_TRUE(row.mark->name.rfind("Player", 0) == 0 || row.mark->name == "Tank"
                                || row.mark->name == "Scout")
                        << row.mark->name;
                    destroyedBegun = true;
                    ++destroyed;
                    break;
                }
            }
            for (const auto& [alive, count] : counts)
                EXPECT_TRUE(headed.count(alive)) << "side " << alive;
            EXPECT_EQ(destroyed, destroyedInText(path, linesPlayed())) << "seed " << seed << " round " << round;
            destroyedSeen += destroyed;
            std::size_t units = 0;
            auto once = [&](const Record& unit) {
                EXPECT_EQ(listed[unit.serial], 1);
                ++units;
            };
            walk(world.soldierList, once);
            walk(world.vehicleList, once);
            EXPECT_EQ(listed.size(), units);
        }
    }
    EXPECT_GT(passengersSeen, 20);
    EXPECT_GT(destroyedSeen, 20);
}

// Every line that the list shows is listed in order with its log time; a click on its row seeks 5 s before it.
TEST_F(PanelTest, TheEventsTabAgreesWithTheLogAndAClickSeeksFiveSecondsBefore)
{
    const std::string path = openFully(GameWriter(21).write(800));
    const std::shared_ptr<const LogIndexData> index = indexView();
    const auto expected = eventsOfText(path);
    const std::vector<std::uint32_t> rows = eventRows(*index, "");
    ASSERT_EQ(rows.size(), expected.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const LogMark& mark = index->marks[rows[i]];
        EXPECT_EQ(std::pair(mark.line, mark.kind), expected[i]) << i;
        if (mark.kind == MarkKind::chat && !mark.name.empty()) {
            EXPECT_EQ(eventText(mark).rfind(mark.name + ": message ", 0), 0u) << eventText(mark);
        }
    }
    onKey({Key::tab});
    headless::setClientSize(openFrameWidth, frameHeight);
    pressPanel(viewer.view, panelTabs.right() - 10, panelTabs.top + 5);
    ASSERT_EQ(viewer.view.panel.tab, PanelTab::events);
    composeFrame();
    ASSERT_EQ(viewer.view.panel.rowsShown.size(), static_cast<std::size_t>(panelRowsInView));
    for (int row : {0, 5, panelRowsInView - 1}) {
        const double t = *viewer.view.panel.rowsShown[static_cast<std::size_t>(row)].eventS;
        onPointerPress(sidePanel.left + 50, rowY(row));
        onPointerRelease();
        ASSERT_EQ(viewer.view.timeline.seekRequest, t < 5 ? t : t - 5);
        repaintTick();
        finishSeek();
        EXPECT_GE(logTimeNow(), std::max(t - 5, 0.0));
        EXPECT_LE(logTimeNow(), t);
        composeFrame();
    }
}

// "/" gives the search the keys: letters filter both tabs, no other key acts, Enter pins the first unit and gives
// the keys back, Escape empties the search.
TEST_F(PanelTest, TheSearchTakesTheKeysAndFiltersTheRows)
{
    openFully(GameWriter(31).write(300));
    headless::advance(20000);
    const bool paused = viewer.playback.playbackPaused != 0;
    typeKeys("/PLAYER1");
    EXPECT_TRUE(viewer.view.panel.open);
    EXPECT_TRUE(viewer.view.panel.searching);
    onKey({Key::space, false, false, false, U' '});
    onKey({Key::backspace});
    EXPECT_EQ(viewer.view.panel.search, "PLAYER1");
    EXPECT_EQ(viewer.playback.playbackPaused != 0, paused);
    composeFrame();
    const std::vector<PanelRow> rows = unitRows(viewer.world, *indexView(), linesPlayed(), viewer.view.panel.search);
    ASSERT_FALSE(rows.empty());
    for (const PanelRow& row : rows)
        if (row.unit) {
            EXPECT_EQ(unitName(*row.unit).rfind("Player1", 0), 0u) << unitName(*row.unit);
        }
    const PanelRow& first = *std::find_if(rows.begin(), rows.end(), [](const PanelRow& row) { return row.unit; });
    onKey({Key::enter});
    EXPECT_FALSE(viewer.view.panel.searching);
    EXPECT_TRUE(viewer.view.units.isPinned(*first.unit));
    typeKeys("/");
    onKey({Key::escape});
    EXPECT_EQ(viewer.view.panel.search, "");
    EXPECT_FALSE(viewer.view.panel.searching);
    // The keys are the viewer's again: Tab closes the panel.
    onKey({Key::tab});
    EXPECT_FALSE(viewer.view.panel.open);
}

// The wheel moves the list three rows a notch; the row at the top stays there while units above it go.
TEST_F(PanelTest, TheListScrollsAndKeepsItsPlace)
{
    for (int i = 0; i < 60; ++i)
        addSoldier(100, 100, 0, "Soldier" + std::to_string(i));
    onKey({Key::tab});
    headless::setClientSize(openFrameWidth, frameHeight);
    composeFrame();
    onWheel(sidePanel.left + 50, rowY(3), -4);  // the wheel over the panel scrolls it, and zooms nothing
    EXPECT_EQ(viewer.view.camera.zoom, 1);
    composeFrame();
    const std::vector<PanelRowTarget>& shown = viewer.view.panel.rowsShown;
    ASSERT_EQ(viewer.view.panel.places[0].topRow, 12u);
    const std::uint64_t top = *shown.front().unit;
    releaseRecords(viewer.world, {viewer.world.soldierList.items[0], viewer.world.soldierList.items[3]});
    composeFrame();
    EXPECT_EQ(*shown.front().unit, top);
    scrollPanel(viewer.view.panel, -100);
    composeFrame();
    EXPECT_EQ(shown.size(), static_cast<std::size_t>(panelRowsInView));  // no further than a full view
    scrollPanel(viewer.view.panel, 100);
    composeFrame();
    EXPECT_EQ(viewer.view.panel.places[0].topRow, 0u);
    // A click on a unit's row pins it and the camera follows it; over the panel no unit shows as pointed at.
    viewer.view.units.hovered.insert(*shown[2].unit);
    onPointerMove(sidePanel.left + 50, rowY(3));
    EXPECT_TRUE(viewer.view.units.hovered.empty());
    onPointerPress(sidePanel.left + 50, rowY(3));
    const std::uint64_t clicked = *shown[3].unit;
    EXPECT_TRUE(viewer.view.units.pinned.count(clicked));
    ASSERT_TRUE(viewer.view.camera.following);
    EXPECT_EQ(viewer.view.camera.following->serial, clicked);
}

// Opening and closing the panel leaves no trace: the frame is the one it was, pixel for pixel.
TEST_F(PanelTest, AClosedPanelLeavesTheFrameAsItWas)
{
    openFully(GameWriter(41).write(300));
    headless::advance(15000);
    auto frame = [] {
        fillBackBuffer(0xFF000000);
        composeFrame();
        std::vector<std::uint32_t> pixels;
        EXPECT_TRUE(headless::framePixels(pixels));
        return pixels;
    };
    const std::vector<std::uint32_t> before = frame();
    onKey({Key::tab});
    EXPECT_EQ(viewer.fit.composedWidth, openFrameWidth);
    EXPECT_NE(frame(), before);
    onKey({Key::tab});
    EXPECT_EQ(viewer.fit.composedWidth, frameWidth);
    EXPECT_EQ(frame(), before);
}

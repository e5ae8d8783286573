// Generated game logs for the tests that play whole games (seeking, the side panel): a seeded generator writes the
// same log for the same seed.
#pragma once

#include <cstdint>
#include <random>
#include <sstream>
#include <string>
#include <vector>

// A game log from a seeded generator: a map, a countdown, soldiers and vehicles created, reporting positions,
// hitting each other, boarding and leaving, killed and destroyed, chatting; stamps that cross the twelve-hour wrap,
// lines sharing a second, waits of more than ten minutes, lines without a stamp (a new game), "WIN".
class GameWriter {
public:
    explicit GameWriter(std::uint32_t seed) : random_(seed), clock_(43200 - 30) {}

    std::string write(int lines)
    {
        line("1;Brackwater.map");
        line("CONFIG;30;Bridge at dawn");
        for (int i = 0; i < 4; ++i)
            createSoldier();
        createVehicle();
        while (lines-- > 0)
            event();
        return out_.str();
    }

private:
    int pick(int n) { return static_cast<int>(random_() % static_cast<std::uint32_t>(n)); }
    double place() { return pick(40000) / 10.0; }

    template <class... Fields>
    void line(const Fields&... fields)
    {
        const std::int64_t s = clock_ % 43200;
        out_ << '[' << s / 3600 << ':' << s / 60 % 60 << ':' << s % 60 << "] ";
        unstamped(fields...);
    }

    template <class First, class... Rest>
    void unstamped(const First& first, const Rest&... rest)
    {
        out_ << first;
        ((out_ << ';' << rest), ...);
        out_ << '\n';
    }

    int soldier() { return soldiers_.empty() || pick(20) == 0 ? 999 : soldiers_[pick(soldiers_.size())]; }
    int vehicle() { return vehicles_.empty() || pick(20) == 0 ? 998 : vehicles_[pick(vehicles_.size())]; }

    void createSoldier()
    {
        soldiers_.push_back(nextId_++);
        line("CREATED", "SOLDIER", soldiers_.back(), "Rifleman", place(), place(), 1.5, 0, 100, 50, pick(3),
             "Player" + std::to_string(soldiers_.back()));
    }

    void createVehicle()
    {
        vehicles_.push_back(nextId_++);
        line("CREATED", "VEHICLE", vehicles_.back(), pick(2) ? "Tank" : "Scout", place(), place(), 0, pick(360), 1000,
             200, pick(2));
    }

    void destroy(std::vector<int>& ids, const char* kind)
    {
        if (ids.empty())
            return;
        const std::size_t at = static_cast<std::size_t>(pick(ids.size()));
        line("DESTROYED", kind, ids[at]);
        ids.erase(ids.begin() + static_cast<std::ptrdiff_t>(at));
    }

    void event()
    {
        const int wait = pick(1000);
        clock_ += wait < 450 ? 0 : wait < 900 ? 1 : wait < 997 ? 2 + pick(4) : 601 + pick(900);
        const int kind = pick(200);
        if (kind < 70)
            line("POS", "SOLDIER", soldier(), "-", place(), place(), 1.5, "-", pick(100), pick(50));
        else if (kind < 110)
            line("POS", "VEHICLE", vehicle(), "-", place(), place(), 0, pick(360), pick(1000), pick(200));
        else if (kind < 125)
            line("DAMAGED", "SOLDIER", soldier(), "-", "-", "-", "-", "-", pick(3) ? soldier() : vehicle());
        else if (kind < 130)
            line("KILLED", "SOLDIER", soldier());
        else if (kind < 135)
            destroy(soldiers_, "SOLDIER");
        else if (kind < 137)
            destroy(vehicles_, "VEHICLE");
        else if (kind < 147)
            createSoldier();
        else if (kind < 150)
            createVehicle();
        else if (kind < 160)
            line("CHAT", pick(2) ? "PUBLIC" : "TEAM", soldier(), "message " + std::to_string(pick(1000)));
        else if (kind < 170)
            line("ENTER", vehicle(), "-", "-", "-", "-", soldier());
        else if (kind < 178)
            line("EXIT", vehicle(), "-", "-", "-", "-", soldier());
        else if (kind < 179)
            line("WIN", pick(2));
        else if (kind < 180)
            line("CONFIG", pick(40), "Round " + std::to_string(pick(9)));
        else if (kind < 181 && pick(4) == 0)
            newGame();
        else if (kind < 182)
            line("CONFIG", pick(40), "Round " + std::to_string(pick(9)));
        else
            line("POS", "SOLDIER", soldier(), "-", place(), place(), 1.5, "-", pick(100), pick(50));
    }

    // A line without a stamp clears the world: the game starts again with the map and new units.
    void newGame()
    {
        unstamped("NEW GAME");
        soldiers_.clear();
        vehicles_.clear();
        clock_ = pick(30);
        line("1;Brackwater.map");
        createSoldier();
        createSoldier();
        createVehicle();
    }

    std::mt19937 random_;
    std::int64_t clock_;
    std::ostringstream out_;
    std::vector<int> soldiers_;
    std::vector<int> vehicles_;
    int nextId_ = 1;
};

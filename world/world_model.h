// The world model as a value: the records in their list order, levels, passengers, map, calibration, status,
// title, clock and chat. A copy shares nothing mutable with its original (its lists point into its own records);
// the decoded map picture is shared read-only. Worlds compare equal when a user could not tell them apart.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "world/records.h"

struct ChatLine {
    std::string text;
    std::uint8_t side = 0;  // the low 8 bits of the speaker's side
    bool operator==(const ChatLine&) const = default;
};

struct Calibration {
    bool invertY = false;
    bool invertX = false;
    float scaleX = 0;
    float scaleY = 0;
    float offsetX = 0;
    float offsetY = 0;
    float rotationOffset = 0;
    // Numbers compare by their bits, as the world's do: a value that is no number equals itself.
    bool operator==(const Calibration& other) const;
};

// A decoded map picture. What it holds is the view's business; the world only keeps it, shared and read-only.
struct MapPicture;

struct World {
    std::vector<std::unique_ptr<Record>> records;  // the record store: owns every live record
    PtrList<SoldierRecord> soldierList;
    PtrList<VehicleRecord> vehicleList;
    PtrList<BuildingRecord> buildingList;
    PtrList<Record> entityList;
    std::optional<std::string> mapName;
    std::shared_ptr<const MapPicture> mapImage;  // null: no picture to draw
    std::optional<std::string> statusMessage;
    std::optional<std::string> configTitle;
    std::int32_t clockMinutes = 0;
    std::int32_t clockSeconds = 0;
    std::array<std::optional<ChatLine>, 6> chatLines;
    Calibration calibration;
    std::uint64_t recordsMade = 0;  // the serial of the last record made; a reset does not start it again

    World() = default;
    World(const World& other);
    World& operator=(const World& other);
    World(World&&) noexcept = default;
    World& operator=(World&&) noexcept = default;
    ~World() = default;
};

// Same records with the same fields in the same store and list order, links and passengers to the same places,
// the same picture object and the same other values. The lists' walk positions and the records' serials are not part
// of the model. Floats compare by their bits, so a world holding a value that is no number (from "nan" in a log or in
// Kelo.ini) equals its copy, and -0 (which a label shows as "-0.000") differs from 0.
bool operator==(const World& a, const World& b);

// Makes a record of the given kind with the world's next serial, owned by the world's record store and listed nowhere
// yet.
template <class T>
T& makeRecord(World& world)
{
    auto record = std::make_unique<T>();
    T& made = *record;
    made.serial = ++world.recordsMade;
    world.records.push_back(std::move(record));
    return made;
}

// Drops every reference to the records (lists, passenger lists, damage links), then releases each of them once,
// in time proportional to the lists, whatever the number of records; a record named twice is released once.
void releaseRecords(World& world, const std::vector<Record*>& records);

// Clears the map name, title and clock and releases every record; chat, status message and map picture stay.
void resetWorld(World& world);

// Counts the countdown clock down by a gap of log seconds.
void countDownClock(World& world, std::int64_t gap);

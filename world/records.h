// The four kinds of entity record: plain data with a common head, as the replay log creates them.
// Records are owned by the record store of their world; lists and links only refer to them.
#pragma once

#include <cstdint>
#include <string>

#include "world/ptr_list.h"

enum class RecordKind : std::uint8_t { soldier, vehicle, building, object };

struct Record {
    explicit Record(RecordKind kind) : kind(kind) {}
    virtual ~Record() = default;

    RecordKind kind;
    float posX = 0;
    float posY = 0;
    float posZ = 0;
    std::int32_t id = 0;
    // Which record this is: its world numbers the records it makes 1, 2, 3, ... and a copy keeps the numbers. Unlike
    // the id, which the log gives to a new record again (a soldier created anew, a unit destroyed and created again,
    // two vehicles at once), a serial names one record of that world and its copies; the view marks hovered and
    // pinned units by it.
    std::uint64_t serial = 0;
    std::string className;
    std::int32_t side = -1;
    float direction = 0;
    float levelA = 0;
    float levelB = 0;
    float peakA = 0;
    float peakB = 0;
    Record* damageLink = nullptr;  // soldiers only: what caused the last damage, until a frame draws it
};

// How a soldier or a vehicle moves between two position reports: each movement tick takes it a step of stepLength
// along moveHeading while stepsLeft lasts, toward the target that the next report makes it jump to.
struct Glide {
    float stepLength = 0;
    std::int32_t stepsLeft = 0;
    float moveHeading = 0;
    float targetX = 0;
    float targetY = 0;
    float targetZ = 0;
};

struct SoldierRecord : Record {
    SoldierRecord() : Record(RecordKind::soldier) {}
    std::string name;
    std::uint8_t aboard = 0;
    Glide glide;
};

struct VehicleRecord : Record {
    VehicleRecord() : Record(RecordKind::vehicle) {}
    PtrList<SoldierRecord> passengers;
    float targetDirection = 0;
    Glide glide;
};

struct BuildingRecord : Record {
    BuildingRecord() : Record(RecordKind::building) {}
};

struct ObjectRecord : Record {
    ObjectRecord() : Record(RecordKind::object) {}
};

// The table of events and kinds. An event word with a kind that no row names is recognised but does nothing;
// field 0 that is a number other than 0 names the map (every event word reads as the number 0).
#include "world/event_table.h"

#include <array>
#include <iterator>

namespace {

constexpr IdReference soldierAt(std::uint8_t field)
{
    return {field, IdList::soldiers, IdList::none, "soldier", ""};
}

constexpr IdReference vehicleAt(std::uint8_t field)
{
    return {field, IdList::vehicles, IdList::none, "vehicle", ""};
}

// The id of a "DESTROYED" line, looked up in the list of its kind.
constexpr IdReference destroyedIn(IdList list, std::string_view noun)
{
    return {DestroyedFields::id, list, IdList::none, noun, ""};
}

constexpr EventRule eventTable[] = {
    {"CREATED", "SOLDIER", EventAction::createSoldier, {}, {}},
    {"CREATED", "VEHICLE", EventAction::createVehicle, {}, {}},
    {"CREATED", "BUILDING", EventAction::createBuilding, {}, {}},
    {"CREATED", "OBJECT", EventAction::createObject, {}, {}},
    {"DESTROYED", "SOLDIER", EventAction::destroySoldier, destroyedIn(IdList::soldiers, "soldier"), {}},
    {"DESTROYED", "VEHICLE", EventAction::destroyVehicle, destroyedIn(IdList::vehicles, "vehicle"), {}},
    {"DESTROYED", "BUILDING", EventAction::destroyBuilding, destroyedIn(IdList::buildings, "building"), {}},
    {"DESTROYED", "OBJECT", EventAction::destroyObject, destroyedIn(IdList::entities, "record"), {}},
    {"KILLED", "", EventAction::killed, {}, {}},
    {"DAMAGED",
     "SOLDIER",
     EventAction::damageSoldier,
     soldierAt(DamagedFields::victim),
     {DamagedFields::attacker, IdList::soldiers, IdList::entities, "record", " (the attacker)"}},
    {"POS", "SOLDIER", EventAction::reportSoldier, soldierAt(PosFields::id), {}},
    {"POS", "VEHICLE", EventAction::reportVehicle, vehicleAt(PosFields::id), {}},
    {"", "", EventAction::loadMap, {}, {}},
    {"CONFIG", "", EventAction::setConfig, {}, {}},
    {"WIN", "", EventAction::win, {}, {}},
    {"CHAT", "PUBLIC", EventAction::chatPublic, soldierAt(ChatFields::speaker), {}},
    {"CHAT", "TEAM", EventAction::chatTeam, soldierAt(ChatFields::speaker), {}},
    // Leaving takes the soldier off the vehicle even when the vehicle is gone, so only entering needs it.
    {"ENTER", "", EventAction::enterVehicle, vehicleAt(BoardingFields::vehicle), soldierAt(BoardingFields::soldier)},
    {"EXIT", "", EventAction::exitVehicle, soldierAt(BoardingFields::soldier), {}},
};

// Event words and kinds are a few letters: compared here without a library call.
constexpr bool sameWord(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i])
            return false;
    return true;
}

// [SECTION] Finding a word's rows

constexpr std::size_t rowCount = std::size(eventTable);

// Event words are told apart by their length and first letter, which index the first row of each word.
constexpr std::size_t keyOf(std::string_view word)
{
    return word.size() < 16 ? word.size() * 32 + (static_cast<unsigned char>(word[0]) & 31) : 0;
}

constexpr auto firstRows = [] {
    std::array<std::uint8_t, 16 * 32> rows{};
    rows.fill(rowCount);
    for (std::size_t i = rowCount; i-- > 0;)
        if (!eventTable[i].event.empty())
            rows[keyOf(eventTable[i].event)] = static_cast<std::uint8_t>(i);
    return rows;
}();

// No two words share a key, and a word's rows are together: its first row and those after it are all its rows.
constexpr bool rowsFoundByKey()
{
    for (std::size_t i = 0; i < rowCount; ++i) {
        const std::string_view word = eventTable[i].event;
        if (word.empty())
            continue;
        const std::size_t first = firstRows[keyOf(word)];
        if (keyOf(word) == 0 || first > i || !sameWord(eventTable[first].event, word))
            return false;
        for (std::size_t j = first; j < i; ++j)
            if (!sameWord(eventTable[j].event, word))
                return false;
    }
    return true;
}
static_assert(rowsFoundByKey());

// Past the last row of each row's word.
constexpr auto wordEnds = [] {
    std::array<std::size_t, rowCount> ends{};
    for (std::size_t i = rowCount; i-- > 0;)
        ends[i] = i + 1 < rowCount && sameWord(eventTable[i + 1].event, eventTable[i].event) ? ends[i + 1] : i + 1;
    return ends;
}();

constexpr std::size_t mapRow = [] {
    std::size_t row = 0;
    while (!eventTable[row].event.empty())
        ++row;
    return row;
}();

// The first row that names the word; rowCount when none does.
std::size_t firstRowOf(std::string_view word)
{
    const std::size_t row = firstRows[keyOf(word)];
    return row < rowCount && sameWord(eventTable[row].event, word) ? row : rowCount;
}

}  // namespace

EventMatch matchEvent(const Fields& fields)
{
    const std::string_view event = fields[eventField];
    if (event.empty())
        return {EventMatch::noEventToken};
    // A word that no row names is the map's number when it reads as one; every event word reads as 0.
    const std::size_t first = firstRowOf(event);
    if (first == rowCount)
        return readDouble(event) != 0.0 ? EventMatch{EventMatch::matched, &eventTable[mapRow]}
                                        : EventMatch{EventMatch::unknownEvent};
    const std::string_view kind = fields[kindField];
    for (std::size_t row = first; row < wordEnds[first]; ++row)
        if (eventTable[row].kind.empty() || sameWord(eventTable[row].kind, kind))
            return {EventMatch::matched, &eventTable[row]};
    return {EventMatch::unknownKind};
}

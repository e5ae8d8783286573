// The state JSON of kelo-render: every key in a fixed order (ordered_json), records with the fields of their
// kind, links written as {kind, id}; and the index JSON. Reads the app's instances, navigation and the headless
// clock; changes nothing.
#include "tools/state_json.h"

#include <charconv>
#include <cmath>

#include "app/seek.h"
#include "app/timers.h"
#include "app/viewer.h"
#include "platform/headless/headless.h"
#include "world/text_decoding.h"

namespace {

const char* kindName(RecordKind kind)
{
    switch (kind) {
    case RecordKind::soldier:
        return "soldier";
    case RecordKind::vehicle:
        return "vehicle";
    case RecordKind::building:
        return "building";
    case RecordKind::object:
        break;
    }
    return "object";
}

StateJson textJson(const std::optional<std::string>& text)
{
    return text ? StateJson(textAsUtf8(*text)) : StateJson(nullptr);
}

StateJson linkJson(const Record* record)
{
    return record ? StateJson{{"kind", kindName(record->kind)}, {"id", record->id}} : StateJson(nullptr);
}

// The fields that soldiers and vehicles share beyond the head; hover and pin are the view's.
template <class Unit>
void addUnitFields(StateJson& json, const Unit& unit)
{
    json["hovered"] = app::viewer().view.units.isHovered(unit);
    json["pinned"] = app::viewer().view.units.isPinned(unit);
    json["stepsLeft"] = unit.glide.stepsLeft;
    json["stepLength"] = floatJson(unit.glide.stepLength);
    json["moveHeading"] = floatJson(unit.glide.moveHeading);
    json["targetX"] = floatJson(unit.glide.targetX);
    json["targetY"] = floatJson(unit.glide.targetY);
    json["targetZ"] = floatJson(unit.glide.targetZ);
}

template <class T>
StateJson listJson(const PtrList<T>& list)
{
    StateJson records = StateJson::array();
    for (const T* record : list.items)
        records.push_back(recordJson(*record));
    return records;
}

}  // namespace

StateJson floatJson(float value)
{
    if (!std::isfinite(value))
        return nullptr;
    // The shortest text of the float, read as a double: the JSON writer then prints those same digits.
    char text[32];
    auto [end, error] = std::to_chars(text, text + sizeof text, value);
    if (error != std::errc{})
        return static_cast<double>(value);
    double shortest = 0;
    std::from_chars(text, end, shortest);
    return static_cast<float>(shortest) == value ? shortest : static_cast<double>(value);
}

StateJson recordJson(const Record& record)
{
    StateJson json = {{"id", record.id},
                      {"className", textAsUtf8(record.className)},
                      {"side", record.side},
                      {"x", floatJson(record.posX)},
                      {"y", floatJson(record.posY)},
                      {"z", floatJson(record.posZ)},
                      {"direction", floatJson(record.direction)},
                      {"levelA", floatJson(record.levelA)},
                      {"levelB", floatJson(record.levelB)},
                      {"peakA", floatJson(record.peakA)},
                      {"peakB", floatJson(record.peakB)}};
    if (record.kind == RecordKind::soldier) {
        const auto& soldier = static_cast<const SoldierRecord&>(record);
        json["name"] = textAsUtf8(soldier.name);
        json["aboard"] = soldier.aboard != 0;
        addUnitFields(json, soldier);
        json["damageLink"] = linkJson(soldier.damageLink);
    } else if (record.kind == RecordKind::vehicle) {
        const auto& vehicle = static_cast<const VehicleRecord&>(record);
        addUnitFields(json, vehicle);
        json["targetDirection"] = floatJson(vehicle.targetDirection);
        StateJson passengers = StateJson::array();
        for (const SoldierRecord* passenger : vehicle.passengers.items)
            passengers.push_back(passenger->id);
        json["passengers"] = std::move(passengers);
    }
    return json;
}

StateJson stateJson()
{
    const World& world = app::viewer().world;
    StateJson chat = StateJson::array();
    for (const std::optional<ChatLine>& line : world.chatLines)
        chat.push_back(line ? StateJson{{"text", textAsUtf8(line->text)}, {"side", line->side}} : StateJson(nullptr));
    StateJson messages = StateJson::array();
    for (const headless::MessageBox& box : headless::messages())
        messages.push_back({{"text", textAsUtf8(box.text)}, {"caption", textAsUtf8(box.caption)}});
    StateJson entities = StateJson::array();
    for (const Record* record : world.entityList.items)
        entities.push_back(linkJson(record));
    const Calibration& calibration = world.calibration;
    StateJson state = {{"timeMs", headless::now()},
                       {"msPerLogSecond", app::viewer().playback.msPerLogSecond},
                       {"paused", app::viewer().playback.playbackPaused != 0},
                       {"playing", headless::timerArmed(playbackTimer)},
                       {"mapName", textJson(world.mapName)},
                       {"statusMessage", textJson(world.statusMessage)},
                       {"configTitle", textJson(world.configTitle)},
                       {"clock", {{"minutes", world.clockMinutes}, {"seconds", world.clockSeconds}}},
                       {"calibration",
                        {{"invertX", calibration.invertX},
                         {"invertY", calibration.invertY},
                         {"scaleX", floatJson(calibration.scaleX)},
                         {"scaleY", floatJson(calibration.scaleY)},
                         {"offsetX", floatJson(calibration.offsetX)},
                         {"offsetY", floatJson(calibration.offsetY)},
                         {"rotationOffset", floatJson(calibration.rotationOffset)}}},
                       {"chat", std::move(chat)},
                       {"messages", std::move(messages)},
                       {"soldiers", listJson(world.soldierList)},
                       {"vehicles", listJson(world.vehicleList)},
                       {"buildings", listJson(world.buildingList)},
                       {"entities", std::move(entities)},
                       {"logTimeS", logTimeNow()},
                       {"indexedS", indexView()->scannedS}};
    // At rest the camera shows what a view without one shows, and the state is what it was without one.
    const Camera& camera = app::viewer().view.camera;
    if (!camera.atRest()) {
        const MapPoint centre = cameraCentre(camera, calibration);
        state["camera"] = {{"x", floatJson(static_cast<float>(centre.x))},
                           {"y", floatJson(static_cast<float>(centre.y))},
                           {"zoom", floatJson(static_cast<float>(cameraView(camera, calibration).zoom))},
                           {"following", camera.following ? StateJson(camera.following->id) : StateJson(nullptr)}};
    }
    return state;
}

StateJson indexJson(const LogIndexData& index)
{
    StateJson marks = StateJson::array();
    for (const LogMark& mark : index.marks) {
        StateJson json = {{"t", mark.t}, {"kind", markKindName(mark.kind)}};
        if (mark.kind == MarkKind::destroyed)
            json["side"] = mark.side;
        marks.push_back(std::move(json));
    }
    StateJson breaks = StateJson::array();
    for (const LogBreak& wait : index.breaks)
        breaks.push_back({{"t", wait.t}, {"lengthS", wait.lengthS}});
    return {
        {"totalS", index.scannedS}, {"lines", index.lines}, {"marks", std::move(marks)}, {"breaks", std::move(breaks)}};
}

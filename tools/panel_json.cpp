// The panel's JSON: the rows of view/panel_rows.h written one object a row, in the panel's order.
#include "tools/panel_json.h"

#include "view/panel_rows.h"
#include "world/text_decoding.h"

namespace {

const char* rowName(PanelRowKind kind)
{
    switch (kind) {
    case PanelRowKind::side:
        return "side";
    case PanelRowKind::unit:
        return "unit";
    case PanelRowKind::passenger:
        return "passenger";
    case PanelRowKind::destroyed:
        break;
    }
    return "destroyed";
}

const char* unitKindName(RecordKind kind)
{
    return kind == RecordKind::soldier ? "soldier" : kind == RecordKind::vehicle ? "vehicle" : "other";
}

// The unit's status as its bar shows it: the levels' share of the peaks; null without one.
StateJson statusJson(const Record& unit)
{
    const float peaks = unit.peakA + unit.peakB;
    return peaks == 0 ? StateJson(nullptr) : floatJson((unit.levelA + unit.levelB) / peaks);
}

}  // namespace

StateJson eventJson(const LogMark& mark)
{
    return {{"t", mark.t},
            {"kind", markKindName(mark.kind)},
            {"side", mark.side},
            {"name", textAsUtf8(mark.name)},
            {"text", textAsUtf8(mark.text)}};
}

StateJson unitsJson(const World& world, const LogIndexData& index, std::int64_t linesPlayed, std::string_view search,
                    const UnitMarks& marks)
{
    StateJson rows = StateJson::array();
    for (const PanelRow& row : unitRows(world, index, linesPlayed, search)) {
        StateJson json = {{"row", rowName(row.kind)}, {"side", row.side}};
        if (row.kind == PanelRowKind::side) {
            json["soldiers"] = row.soldiers;
            json["vehicles"] = row.vehicles;
        } else if (row.unit) {
            json["kind"] = unitKindName(row.unit->kind);
            json["id"] = row.unit->id;
            json["name"] = textAsUtf8(unitName(*row.unit));
            json["className"] = textAsUtf8(row.unit->className);
            json["status"] = statusJson(*row.unit);
            json["pinned"] = marks.isPinned(*row.unit);
        } else {
            json["kind"] = unitKindName(row.mark->unit);
            json["name"] = textAsUtf8(row.mark->name);
            json["t"] = row.mark->t;
        }
        rows.push_back(std::move(json));
    }
    return {{"search", textAsUtf8(search)}, {"rows", std::move(rows)}};
}

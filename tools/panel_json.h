// The side panel for scripts: the events list as JSON lines (--events) and the Units tab at the stop as JSON
// (--units). Texts from the log are read as world/text_decoding.h says.
#pragma once

#include <cstdint>
#include <string_view>

#include "tools/state_json.h"
#include "view/unit_marks.h"
#include "world/log_marks.h"
#include "world/world_model.h"

// One event of the list: {t, kind, side, name, text}.
StateJson eventJson(const LogMark& mark);

// The Units tab as the panel lists it with the search: {search, rows}, each row {row, ...}: a side with its live
// soldiers and vehicles, a unit or a passenger with its kind, id, side, name, class, status and pin, a destroyed unit
// with its kind, side, name and log time.
StateJson unitsJson(const World& world, const LogIndexData& index, std::int64_t linesPlayed, std::string_view search,
                    const UnitMarks& marks);

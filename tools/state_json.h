// The world model, the playback clock and the message boxes shown so far, as kelo-render writes them (--state),
// and a log's index (--index).
// Relies on nlohmann-json; texts from the log are read as world/text_decoding.h says, so any bytes give valid UTF-8.
#pragma once

#include <nlohmann/json.hpp>

#include <string>

#include "world/log_marks.h"
#include "world/records.h"

using StateJson = nlohmann::ordered_json;

// The fewest decimal digits that read back to the same 32-bit float; null when the value is not finite.
StateJson floatJson(float value);

// One record with the fields its kind has; a unit's hover and pin are those of the current viewer's view.
StateJson recordJson(const Record& record);

// The whole state at the current virtual time.
StateJson stateJson();

// The index of a log (--index): totalS, lines, marks and breaks.
StateJson indexJson(const LogIndexData& index);

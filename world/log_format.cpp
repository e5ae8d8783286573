// TODO
#include "world/log_format.h"

std::optional<SplitLine> splitLine(std::string_view) { return {}; }
std::optional<std::int64_t> stampTime(std::string_view) { return {}; }
std::int64_t stampGap(std::int64_t, std::int64_t) { return 0; }
std::int32_t readInt(std::string_view) { return 0; }
float readReal(std::string_view) { return 0; }

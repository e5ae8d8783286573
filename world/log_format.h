// The replay log's line format: the split into stamp token and fields, stamps, gaps and value syntax.
// Pure functions of their inputs; the reader times lines with them and the interpreter reads values with them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

constexpr std::size_t lineLimit = 1023;
constexpr std::size_t stampTokenLimit = 255;
constexpr std::size_t fieldLimit = 511;
constexpr std::size_t fieldCount = 21;
constexpr std::int64_t twelveHours = 43200;

// Fields 0 to 20 of one line; a field the line does not supply is an empty text.
using Fields = std::array<std::string, fieldCount>;

struct SplitLine {
    std::string stampToken;
    Fields fields;
};

// The stamp token up to the first space, then up to 21 ";"-separated fields, ending at the first empty field.
// No value when not even the stamp token can be taken (the line is empty or begins with a space).
std::optional<SplitLine> splitLine(std::string_view line);
// The same split into `split`, reusing its texts' storage; false (and `split` unspecified) where splitLine gives no
// value. Only the first `fieldsWanted` fields are taken, the rest left empty, for a reader that looks at those alone.
bool splitLineInto(std::string_view line, SplitLine& split, std::size_t fieldsWanted = fieldCount);

// The stamp "[%d:%d:%d] " as seconds (3600 h + 60 m + s); no value unless at least the hours are read.
std::optional<std::int64_t> stampTime(std::string_view line);

// Log seconds from the current line's stamp to the next one's, adding twelve hours once when negative.
std::int64_t stampGap(std::int64_t current, std::int64_t next);

// A field read as the C library's atoi, saturated to the 32-bit range.
std::int32_t readInt(std::string_view field);
// A field read as the C library's atof in the C locale, as a double (overflow: infinity, underflow: zero).
double readDouble(std::string_view field);
// The same, stored as a 32-bit float (beyond the float range: infinity).
float readReal(std::string_view field);

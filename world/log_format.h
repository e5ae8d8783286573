// The replay log's line format: the split into stamp token and fields, stamps, gaps and value syntax.
// Pure functions of their inputs; the reader times lines with them and the interpreter reads values with them.
#pragma once

#include <algorithm>
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

// Fields 0 to 20 of one line, as views into the line's text, which must outlive them; a field the line does not supply
// is an empty text. The line is split only as far as its fields are read: a reader that looks at the event word
// alone never splits the rest of the line. They are read where the line is: they are not copied.
class Fields {
public:
    // A line without fields.
    Fields() = default;
    // The fields of `text`, the line after its stamp token and the blanks after it, which ends at its first NUL byte
    // (and after 4 GiB).
    explicit Fields(std::string_view text) : text_(text.substr(0, UINT32_MAX)) {}
    Fields(const Fields&) = delete;
    Fields& operator=(const Fields&) = delete;

    // Field `field` (below fieldCount): the ";"-separated fields up to the first empty one, each cut to fieldLimit.
    std::string_view operator[](std::size_t field) const { return field < found_ ? found(field) : splitTo(field); }

private:
    std::string_view found(std::size_t field) const
    {
        const std::size_t start = field == 0 ? 0 : ends_[field - 1] + 1;
        return text_.substr(start, std::min(ends_[field] - start, fieldLimit));
    }
    std::string_view splitTo(std::size_t field) const;

    // Split lazily from const readers: where each field found so far ends in the text (those after them are not set:
    // a line's fields cost nothing to make), and the text up to its first NUL byte once the split has met it.
    mutable std::string_view text_;
    mutable std::array<std::uint32_t, fieldCount> ends_;
    mutable std::uint8_t found_ = 0;
    mutable bool ended_ = false;  // the fields after those found are empty
};

struct SplitLine {
    SplitLine(std::string_view token, std::string_view rest) : stampToken(token), fields(rest) {}
    std::string_view stampToken;
    Fields fields;
};

// The stamp token up to the first space, then up to 21 ";"-separated fields, ending at the first empty field; views
// into `line`. No value when not even the stamp token can be taken (the line is empty or begins with a space).
std::optional<SplitLine> splitLine(std::string_view line);

// The stamp "[%d:%d:%d] " as seconds (3600 h + 60 m + s), or noStamp unless at least the hours are read.
constexpr std::int64_t noStamp = INT64_MIN;  // no stamp reads as it: its three numbers are 32-bit
std::int64_t stampSeconds(std::string_view line);
// The same as an optional value.
inline std::optional<std::int64_t> stampTime(std::string_view line)
{
    const std::int64_t seconds = stampSeconds(line);
    return seconds == noStamp ? std::nullopt : std::optional<std::int64_t>(seconds);
}

// Log seconds from the current line's stamp to the next one's, adding twelve hours once when negative.
std::int64_t stampGap(std::int64_t current, std::int64_t next);

// A field read as the C library's atoi, saturated to the 32-bit range.
std::int32_t readInt(std::string_view field);
// A field read as the C library's atof in the C locale, as a double (overflow: infinity, underflow: zero).
double readDouble(std::string_view field);
// The same, stored as a 32-bit float (beyond the float range: infinity).
float readReal(std::string_view field);

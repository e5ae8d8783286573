// The replay log's line format: splitting a line into its stamp token and fields, reading stamps and gaps,
// and the atoi/atof value syntax. Pure functions; every rule of the C library is applied in the C locale
// whatever locale the process runs in, and numbers beyond their range saturate instead of being undefined.
#include "world/log_format.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <system_error>

#include "world/text_rules.h"

namespace {

// [SECTION] Characters and text

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isHexDigit(char c)
{
    return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Where the first byte that is `a` or `b` is in `text` from `from` on, or text.size(): eight bytes at a time, since
// every line's token and fields are looked for so.
inline std::size_t findEither(std::string_view text, std::size_t from, char a, char b)
{
    constexpr std::uint64_t low7 = 0x7F7F7F7F7F7F7F7F;
    auto spread = [](char c) { return std::uint64_t{0x0101010101010101} * static_cast<unsigned char>(c); };
    // The high bit of every byte that is zero, and no other bit: no byte carries into the next.
    auto zeroBytes = [](std::uint64_t x) { return ~(((x & low7) + low7) | x | low7); };
    std::size_t at = from;
    for (; at + 8 <= text.size(); at += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, text.data() + at, sizeof word);
        const std::uint64_t hits = zeroBytes(word ^ spread(a)) | zeroBytes(word ^ spread(b));
        if (hits != 0) {
            const int bit =
                std::endian::native == std::endian::little ? std::countr_zero(hits) : std::countl_zero(hits);
            return at + static_cast<std::size_t>(bit / 8);
        }
    }
    while (at < text.size() && text[at] != a && text[at] != b)
        ++at;
    return at;
}

std::string_view skipBlanks(std::string_view text)
{
    std::size_t start = 0;
    while (start < text.size() && isBlank(text[start]))
        ++start;
    return text.substr(start);
}

// [SECTION] Integers

// Optional sign and decimal digits at the start of `text`, saturated to the 32-bit range; `used` tells
// how many characters were read (0 when there are no digits, as for the C library).
std::int32_t leadingInt(std::string_view text, std::size_t& used)
{
    std::size_t at = 0;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        negative = text[at++] == '-';
    const std::size_t firstDigit = at;
    constexpr std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t magnitude = 0;
    for (; at < text.size() && isDigit(text[at]); ++at)
        magnitude = std::min(magnitude * 10 + (text[at] - '0'), limit);
    if (at == firstDigit) {
        used = 0;
        return 0;
    }
    used = at;
    std::int64_t value = negative ? -magnitude : magnitude;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

// [SECTION] Reals

// Whether a number that overflowed or underflowed a double was too large (rather than too small): the sign of
// its order of magnitude, from the digits before the first non-zero one and the exponent. `digits` starts at the
// mantissa (after the sign and any "0x"); `exponentMark` is 'e' for decimal and 'p' for hexadecimal numbers.
bool tooLarge(std::string_view digits, char exponentMark)
{
    const bool hex = exponentMark == 'p';
    auto isMantissaDigit = [hex](char c) { return hex ? isHexDigit(c) : isDigit(c); };
    std::size_t at = 0;
    std::int64_t order = 0;
    bool seenNonZero = false;
    for (; at < digits.size() && isMantissaDigit(digits[at]); ++at) {
        seenNonZero = seenNonZero || digits[at] != '0';
        order += seenNonZero ? 1 : 0;
    }
    if (at < digits.size() && digits[at] == '.') {
        for (++at; at < digits.size() && isMantissaDigit(digits[at]); ++at) {
            seenNonZero = seenNonZero || digits[at] != '0';
            order -= seenNonZero ? 0 : 1;
        }
    }
    if (hex)
        order *= 4;
    if (at < digits.size() && (digits[at] == exponentMark || digits[at] == exponentMark - 'a' + 'A')) {
        std::size_t used = 0;
        order += leadingInt(digits.substr(at + 1), used);
    }
    return order > 0;
}

// The plain decimals that logs are made of ("2249.3", "100"), without a library call: at most 15 digits with at most
// 22 after the point, not followed by an exponent. Both the digits as an integer and the power of ten are exact
// doubles then, so the one division rounds exactly as a full conversion does. No value for anything else.
std::optional<double> plainDecimal(std::string_view text)
{
    static constexpr double powersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                             1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    std::int64_t digits = 0;
    int count = 0;
    int afterPoint = -1;  // none: no point yet
    std::size_t at = 0;
    for (; at < text.size(); ++at) {
        const char c = text[at];
        if (isDigit(c)) {
            digits = digits * 10 + (c - '0');
            ++count;
            afterPoint += afterPoint >= 0 ? 1 : 0;
        } else if (c == '.' && afterPoint < 0) {
            afterPoint = 0;
        } else {
            break;
        }
        if (count > 15)
            return std::nullopt;
    }
    if (count == 0 || (at < text.size() && (text[at] == 'e' || text[at] == 'E')) || afterPoint > 22)
        return std::nullopt;
    return static_cast<double>(digits) / powersOfTen[std::max(afterPoint, 0)];
}

// The hexadecimal number at the start of `text` (after "0x") up to where strtod stops: an exponent mark not followed
// by digits (after at most one sign) is not read. The library's from_chars would read "p+-2" as "p-2".
std::string_view hexNumber(std::string_view text)
{
    std::size_t at = 0;
    while (at < text.size() && isHexDigit(text[at]))
        ++at;
    if (at < text.size() && text[at] == '.')
        for (++at; at < text.size() && isHexDigit(text[at]);)
            ++at;
    if (at == text.size() || (text[at] != 'p' && text[at] != 'P'))
        return text.substr(0, at);
    std::size_t digits = at + 1;
    if (digits < text.size() && (text[digits] == '+' || text[digits] == '-'))
        ++digits;
    return digits < text.size() && isDigit(text[digits]) ? text : text.substr(0, at);
}

// atof of the text after its sign, as a double: decimal, hexadecimal after "0x", "inf" and "nan" forms;
// overflow gives infinity and underflow zero, as strtod does; no value when the text holds no number (which the
// sign before it then does not make -0).
std::optional<double> unsignedReal(std::string_view text)
{
    if (text.empty() || text[0] == '+' || text[0] == '-')
        return std::nullopt;
    std::chars_format format = std::chars_format::general;
    char exponentMark = 'e';
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')
        && (isHexDigit(text[2]) || (text[2] == '.' && text.size() > 3 && isHexDigit(text[3])))) {
        text = hexNumber(text.substr(2));
        format = std::chars_format::hex;
        exponentMark = 'p';
    } else if (std::optional<double> plain = plainDecimal(text)) {
        return *plain;
    }
    double value = 0;
    std::from_chars_result result = std::from_chars(text.data(), text.data() + text.size(), value, format);
    if (result.ec == std::errc::result_out_of_range)
        return tooLarge(text, exponentMark) ? std::numeric_limits<double>::infinity() : 0.0;
    if (result.ec != std::errc{})
        return std::nullopt;
    return value;
}

}  // namespace

// [SECTION] Splitting a line

std::string_view Fields::splitTo(std::size_t field) const
{
    // Each ";" ends a field, and an empty field ends the line, as its first NUL byte does. Every reader of a line reads
    // its event word and kind: they are found together.
    const std::size_t last = std::min(std::max<std::size_t>(field, 1), fieldCount - 1);
    std::size_t found = found_;
    std::size_t start = found == 0 ? 0 : ends_[found - 1] + std::size_t{1};
    std::string_view text = text_;
    while (!ended_ && found <= last) {
        const std::size_t end = findEither(text, std::min(start, text.size()), ';', '\0');
        if (end < text.size() && text[end] == '\0')
            text = text.substr(0, end);
        ended_ = end <= start;
        if (!ended_)
            ends_[found++] = static_cast<std::uint32_t>(end);
        start = end + 1;
    }
    found_ = static_cast<std::uint8_t>(found);
    text_ = text;
    return field < found ? this->found(field) : std::string_view();
}

std::optional<SplitLine> splitLine(std::string_view line)
{
    // A line is a C string: it ends at its first NUL byte, which ends the token as a space does and is looked for by
    // the fields after it. Numbers and stamps need no cut: a NUL byte ends them as any character outside their syntax
    // does.
    const std::size_t tokenEnd = findEither(line, 0, ' ', '\0');
    if (tokenEnd == 0)
        return std::nullopt;
    const std::string_view rest = tokenEnd < line.size() && line[tokenEnd] == ' ' ? line.substr(tokenEnd) : "";
    return std::optional<SplitLine>(std::in_place, line.substr(0, std::min(tokenEnd, stampTokenLimit)),
                                    skipBlanks(rest));
}

// [SECTION] Stamps

std::int64_t stampSeconds(std::string_view line)
{
    if (line.empty() || line[0] != '[')
        return noStamp;
    // The stamp as loggers write it, "[hh:mm:ss" with two digits each and no third digit after the seconds, read
    // straight away; the same numbers as the reading below gives.
    auto two = [&line](std::size_t at) { return (line[at] - '0') * 10 + (line[at + 1] - '0'); };
    if (line.size() >= 9 && line[3] == ':' && line[6] == ':' && isDigit(line[1]) && isDigit(line[2]) && isDigit(line[4])
        && isDigit(line[5]) && isDigit(line[7]) && isDigit(line[8]) && (line.size() == 9 || !isDigit(line[9])))
        return std::int64_t{3600} * two(1) + 60 * two(4) + two(7);
    line.remove_prefix(1);

    // Hours, minutes and seconds as "%d" reads them, separated by ':'; reading stops at the first mismatch.
    std::int64_t parts[3] = {0, 0, 0};
    for (int i = 0; i < 3; ++i) {
        if (i > 0) {
            if (line.empty() || line[0] != ':')
                break;
            line.remove_prefix(1);
        }
        line = skipBlanks(line);
        std::size_t used = 0;
        parts[i] = leadingInt(line, used);
        if (used == 0) {
            if (i == 0)
                return noStamp;
            break;
        }
        line.remove_prefix(used);
    }
    return 3600 * parts[0] + 60 * parts[1] + parts[2];
}

std::int64_t stampGap(std::int64_t current, std::int64_t next)
{
    std::int64_t gap = next - current;
    return gap < 0 ? gap + twelveHours : gap;
}

// [SECTION] Values

std::int32_t readInt(std::string_view field)
{
    std::size_t used = 0;
    return leadingInt(skipBlanks(field), used);
}

double readDouble(std::string_view field)
{
    std::string_view text = skipBlanks(field);
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    const std::optional<double> value = unsignedReal(text);
    if (!value)
        return 0;
    return negative ? -*value : *value;
}

float readReal(std::string_view field)
{
    const double value = readDouble(field);
    // A double beyond the float range would make the narrowing undefined: it reads as an infinity.
    if (value > std::numeric_limits<float>::max())
        return std::numeric_limits<float>::infinity();
    if (value < -std::numeric_limits<float>::max())
        return -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}

// libFuzzer target: the block line reader, the stamp reader and the splitter on arbitrary bytes, each checked against
// a plain reading of its rules (lines, offsets, line numbers; the stamp's %d fields; the split), and the reader against
// itself: a file read whole gives the lines of its halves, and reads stopped every few bytes those of whole reads. An
// input opening with the byte 1 pads the file by its next two bytes so that the rest straddles the 64 KiB block.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "world/line_reader.h"
#include "world/log_format.h"
#include "world/text_rules.h"

namespace {

struct ReadLine {
    std::string text;
    std::int64_t offset;  // the reader's offset after the line
    std::int64_t nextNumber;  // the number of the line after it
};

// Every line of the bytes through the reader, read from memory as from a file, each read given `budget` bytes.
std::vector<ReadLine> readAll(std::string bytes, std::int64_t budget = std::numeric_limits<std::int64_t>::max())
{
    std::vector<ReadLine> lines;
    std::FILE* file = bytes.empty() ? nullptr : fmemopen(bytes.data(), bytes.size(), "r");
    if (!bytes.empty() && file == nullptr)
        std::abort();
    LineReader reader(file);
    std::int64_t lastOffset = 0;
    std::int64_t lastNumber = 1;
    for (std::string line;;) {
        std::int64_t left = budget;
        const std::int64_t before = reader.offset();
        const ReadStatus status = reader.read(line, left);
        // A read takes no more than its budget, but for the line feed after a carriage return.
        if (reader.offset() - before - 1 > budget || reader.offset() - before != budget - left)
            std::abort();
        if (status == ReadStatus::unfinished)
            continue;
        if (status == ReadStatus::end)
            break;
        // A line is at most 1,023 characters and a C string without its line feed.
        if (line.size() > lineLimit || line.find_first_of(std::string_view("\n\0", 2)) != std::string::npos)
            std::abort();
        // Offsets and line numbers never go back, and never past the file.
        if (reader.offset() < lastOffset || reader.nextLineNumber() < lastNumber
            || reader.offset() > static_cast<std::int64_t>(bytes.size()))
            std::abort();
        lastOffset = reader.offset();
        lastNumber = reader.nextLineNumber();
        lines.push_back({line, reader.offset(), reader.nextLineNumber()});
    }
    // At the end every byte has been consumed.
    if (reader.offset() != static_cast<std::int64_t>(bytes.size()))
        std::abort();
    return lines;
}

// [SECTION] The rules read plainly

std::size_t skipBlanksFrom(std::string_view bytes, std::size_t at)
{
    while (at < bytes.size() && isBlank(bytes[at]))
        ++at;
    return at;
}

// The lines as the rules state them: blanks skipped before the first line and after every line; a line runs to its
// line feed, a carriage return before which is not text; 1,023 characters kept; the line ends at its first NUL.
std::vector<ReadLine> plainLines(std::string_view bytes)
{
    std::vector<ReadLine> lines;
    std::size_t at = skipBlanksFrom(bytes, 0);
    std::size_t counted = 0;
    std::int64_t lineFeeds = 0;
    while (at < bytes.size()) {
        const std::size_t newline = bytes.find('\n', at);
        std::string_view text =
            bytes.substr(at, newline == std::string_view::npos ? std::string_view::npos : newline - at);
        at = newline == std::string_view::npos ? bytes.size() : newline + 1;
        if (newline != std::string_view::npos && !text.empty() && text.back() == '\r')
            text.remove_suffix(1);
        text = text.substr(0, lineLimit);
        text = text.substr(0, text.find('\0'));
        at = skipBlanksFrom(bytes, at);
        for (; counted < at; ++counted)
            lineFeeds += bytes[counted] == '\n' ? 1 : 0;
        lines.push_back({std::string(text), static_cast<std::int64_t>(at), lineFeeds + 1});
    }
    return lines;
}

bool sameLines(const std::vector<ReadLine>& a, const std::vector<ReadLine>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const ReadLine& x, const ReadLine& y) {
        return x.text == y.text && x.offset == y.offset && x.nextNumber == y.nextNumber;
    });
}

bool sameTexts(const std::vector<ReadLine>& a, const std::vector<ReadLine>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const ReadLine& x, const ReadLine& y) { return x.text == y.text; });
}

// A "%d" as the C library reads it from a NUL-terminated copy, saturated to 32 bits; none without digits.
std::optional<std::int64_t> plainInt(const std::string& text, std::size_t& at)
{
    const char* start = text.c_str() + at;
    char* end = nullptr;
    const long long value = std::strtoll(start, &end, 10);
    if (end == start)
        return std::nullopt;
    at += static_cast<std::size_t>(end - start);
    return std::clamp<long long>(value, INT_MIN, INT_MAX);
}

// "[%d:%d:%d]" read as far as it matches; none unless the hours are read.
std::optional<std::int64_t> plainStamp(std::string_view line)
{
    const std::string text(line.substr(0, line.find('\0')));
    if (text.empty() || text[0] != '[')
        return std::nullopt;
    std::size_t at = 1;
    std::int64_t parts[3] = {0, 0, 0};
    for (int i = 0; i < 3; ++i) {
        if (i > 0 && (at >= text.size() || text[at++] != ':'))
            break;
        const std::optional<std::int64_t> part = plainInt(text, at);
        if (!part) {
            if (i == 0)
                return std::nullopt;
            break;
        }
        parts[i] = *part;
    }
    return 3600 * parts[0] + 60 * parts[1] + parts[2];
}

// The token up to the first space, then the ";"-separated fields after the blanks, up to the first empty one.
void checkSplit(std::string_view line)
{
    const std::optional<SplitLine> split = splitLine(line);
    const std::string_view text = line.substr(0, line.find('\0'));
    const std::size_t tokenEnd = std::min(text.find(' '), text.size());
    if (tokenEnd == 0) {
        if (split)
            std::abort();
        return;
    }
    if (!split || split->stampToken != text.substr(0, std::min(tokenEnd, stampTokenLimit)))
        std::abort();
    std::string_view rest = text.substr(skipBlanksFrom(text, tokenEnd));
    bool ended = false;
    // The fields are split as far as they are read: the split read from the last field down gives the same.
    const std::optional<SplitLine> again = splitLine(line);
    const Fields& backwards = again->fields;
    for (std::size_t k = fieldCount; k-- > 0;)
        (void)backwards[k];
    for (std::size_t k = 0; k < fieldCount; ++k) {
        const std::string_view field = split->fields[k];
        if (field != backwards[k])
            std::abort();
        if (field.size() > fieldLimit || field.find(';') != std::string::npos)
            std::abort();
        const std::string_view piece = ended ? std::string_view() : rest.substr(0, rest.find(';'));
        ended = ended || piece.empty();
        if (field != piece.substr(0, fieldLimit))
            std::abort();
        rest.remove_prefix(std::min(piece.size() + 1, rest.size()));
        // The field's numbers read as atoi does, saturated.
        std::size_t at = 0;
        const std::string copy(field);
        if (readInt(field) != plainInt(copy, at).value_or(0))
            std::abort();
        (void)readReal(field);
    }
}

void checkLine(std::string_view line)
{
    if (stampTime(line) != plainStamp(line))
        std::abort();
    checkSplit(line);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::string bytes;
    if (size >= 3 && data[0] == 1) {
        constexpr std::string_view fills(" x\n\r;\0\t", 7);
        bytes.assign(65536 - 48 + data[1] % 96, fills[data[2] % fills.size()]);
        input.remove_prefix(3);
    }
    bytes.append(input);

    const std::vector<ReadLine> lines = readAll(bytes);
    if (!sameLines(lines, plainLines(bytes)))
        std::abort();
    if (size > 0 && !sameLines(readAll(bytes, 1 + data[size - 1] % 1500), lines))
        std::abort();
    std::optional<std::int64_t> previous;
    for (const ReadLine& line : lines) {
        checkLine(line.text);
        const std::optional<std::int64_t> stamp = stampTime(line.text);
        if (stamp && previous)
            (void)stampGap(*previous, *stamp);
        previous = stamp;
    }
    checkLine(input);

    // Read whole, the file gives the lines of its two halves read apart, with a line feed between them, unless the
    // first half ends in a carriage return (which the line feed would take off its last line).
    const std::size_t half = input.size() / 2;
    const std::string first(input.substr(0, half));
    const std::string second(input.substr(half));
    if (first.empty() || first.back() != '\r') {
        std::vector<ReadLine> apart = readAll(first);
        const std::vector<ReadLine> after = readAll(second);
        apart.insert(apart.end(), after.begin(), after.end());
        if (!sameTexts(readAll(first + '\n' + second), apart))
            std::abort();
    }
    return 0;
}

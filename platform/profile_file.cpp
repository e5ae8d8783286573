// The profile (INI) reader for Linux, giving the results of the Windows profile API for key=value lines:
// names compared without regard to case, blanks trimmed, one pair of surrounding quotes removed, ";" comments.
// The whole file is read anew at every call; nothing is cached, so edits show at once.
#include <algorithm>
#include <fstream>
#include <iterator>
#include <optional>
#include <string_view>

#include "platform/platform.h"
#include "world/text_rules.h"

namespace {

// The Windows API writes into a 256-character buffer: longer values come back cut.
constexpr std::size_t valueLimit = 255;

std::string_view trim(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// The value as the API hands it back: one pair of matching quotes around it removed, cut to the buffer.
std::string profileValue(std::string_view value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::string(value.substr(0, valueLimit));
}

// The value of the key in the first section of that name: the first line naming the key decides; a line
// naming it without "=" has no value, so the default stands.
std::optional<std::string_view> findValue(std::string_view text, std::string_view section, std::string_view key)
{
    bool inSection = false;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        const std::string_view line = trim(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
        if (line.empty() || line.front() == ';')
            continue;
        if (line.front() == '[') {
            const std::size_t close = line.rfind(']');
            if (close == std::string_view::npos)
                continue;
            // Only the first section of a name is read, as the Windows API does.
            if (inSection)
                return std::nullopt;
            inSection = sameIgnoringCase(line.substr(1, close - 1), section);
            continue;
        }
        if (!inSection)
            continue;
        const std::size_t equals = line.find('=');
        if (!sameIgnoringCase(trim(line.substr(0, equals)), key))
            continue;
        if (equals == std::string_view::npos)
            return std::nullopt;
        return trim(line.substr(equals + 1));
    }
    return std::nullopt;
}

}  // namespace

std::string readProfileString(const std::string& section, const std::string& key, const std::string& fallback,
                              const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return fallback.substr(0, valueLimit);
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::string_view contents = text;
    constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";
    if (contents.substr(0, byteOrderMark.size()) == byteOrderMark)
        contents.remove_prefix(byteOrderMark.size());
    const std::optional<std::string_view> value = findValue(contents, section, key);
    return value ? profileValue(*value) : fallback.substr(0, valueLimit);
}

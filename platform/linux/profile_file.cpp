// The profile (INI) reader for Linux, giving the results of the Windows profile API for key=value lines:
// names compared without regard to case, blanks trimmed, one pair of surrounding quotes removed, ";" comments.
// The file is parsed once per version (device, inode, size, modification and change times to the nanosecond, mode),
// which is looked up at every call, so a call answers as reading the whole file at that moment would. Relies on
// POSIX stat/open/read.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <mutex>
#include <optional>
#include <string_view>
#include <unordered_map>

#include "seam/platform.h"
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

std::string folded(std::string_view name)
{
    std::string text(name);
    for (char& c : text)
        c = foldCase(c);
    return text;
}

// The value as the API hands it back: one pair of matching quotes around it removed, cut to the buffer.
std::string profileValue(std::string_view value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::string(value.substr(0, valueLimit));
}

// [SECTION] The parsed file

// Names folded to lower case. A section holds the lines up to the next header; only the first section of a name
// counts, and in it the first line naming a key decides: a line naming it without "=" has no value.
using Section = std::unordered_map<std::string, std::optional<std::string>>;
using Sections = std::unordered_map<std::string, Section>;

Sections parse(std::string_view text)
{
    constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";
    if (text.substr(0, byteOrderMark.size()) == byteOrderMark)
        text.remove_prefix(byteOrderMark.size());
    Sections sections;
    Section* current = nullptr;
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
            auto [section, first] = sections.try_emplace(folded(line.substr(1, close - 1)));
            current = first ? &section->second : nullptr;
            continue;
        }
        if (current == nullptr)
            continue;
        const std::size_t equals = line.find('=');
        std::optional<std::string> value;
        if (equals != std::string_view::npos)
            value = std::string(trim(line.substr(equals + 1)));
        current->try_emplace(folded(trim(line.substr(0, equals))), std::move(value));
    }
    return sections;
}

// [SECTION] Versions of the file

struct FileVersion {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;
    std::int64_t changedSeconds = 0;
    std::int64_t changedNanoseconds = 0;
    mode_t mode = 0;
    bool operator==(const FileVersion&) const = default;
};

FileVersion versionOf(const struct stat& status)
{
    return {status.st_dev,          status.st_ino,         status.st_size,         status.st_mtim.tv_sec,
            status.st_mtim.tv_nsec, status.st_ctim.tv_sec, status.st_ctim.tv_nsec, status.st_mode};
}

// The file's bytes and the version they were read from; none when the file cannot be opened.
std::optional<std::pair<std::string, FileVersion>> readWhole(const std::string& path)
{
    const int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        return std::nullopt;
    struct stat status {};
    std::optional<std::pair<std::string, FileVersion>> read;
    if (fstat(descriptor, &status) == 0) {
        read.emplace(std::string(), versionOf(status));
        char block[1 << 16];
        // A read error ends the text where it happened (a folder reads as empty), as a stream would.
        for (ssize_t got = 0; (got = ::read(descriptor, block, sizeof block)) > 0;)
            read->first.append(block, static_cast<std::size_t>(got));
    }
    close(descriptor);
    return read;
}

// The last file parsed. Calls may come from more than one thread (a second reader of the log loads maps too).
struct ParsedFile {
    std::mutex mutex;
    std::string path;
    FileVersion version;
    Sections sections;
    bool held = false;
};

ParsedFile parsed;

}  // namespace

std::string readProfileString(const std::string& section, const std::string& key, const std::string& fallback,
                              const std::string& path)
{
    const std::lock_guard<std::mutex> lock(parsed.mutex);
    struct stat status {};
    const bool current =
        stat(path.c_str(), &status) == 0 && parsed.held && parsed.path == path && parsed.version == versionOf(status);
    if (!current) {
        parsed.held = false;
        parsed.sections.clear();
        std::optional<std::pair<std::string, FileVersion>> read = readWhole(path);
        if (!read)
            return fallback.substr(0, valueLimit);
        parsed.sections = parse(read->first);
        parsed.path = path;
        parsed.version = read->second;
        parsed.held = true;
    }
    const auto foundSection = parsed.sections.find(folded(section));
    if (foundSection == parsed.sections.end())
        return fallback.substr(0, valueLimit);
    const auto foundKey = foundSection->second.find(folded(key));
    if (foundKey == foundSection->second.end() || !foundKey->second)
        return fallback.substr(0, valueLimit);
    return profileValue(*foundKey->second);
}

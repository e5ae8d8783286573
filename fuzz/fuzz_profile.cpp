// libFuzzer target: the Linux profile reader on arbitrary file contents. The input's first line names the section,
// its second the key, and the rest is the file, written anew to a scratch file for every input. A value is never
// over 255 characters, never holds a line feed and comes from the file; names match whatever their case; a byte
// order mark in front, or a second section of the same name after the file, changes no value that was found.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz/scratch_folder.h"
#include "seam/platform.h"
#include "world/text_rules.h"

namespace {

// The input's text up to its next line feed, taken off the front.
std::string takeLine(std::string_view& input)
{
    const std::size_t end = std::min(input.find('\n'), input.size());
    std::string line(input.substr(0, end));
    input.remove_prefix(std::min(end + 1, input.size()));
    return line;
}

std::string upperCase(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

// Not a value the file could give for a key, so a found value always differs from it.
const std::string fallback = "\n(no value)";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const ScratchFolder folder("kelo-fuzz-profile");
    std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::string section = takeLine(input);
    const std::string key = takeLine(input);
    const std::string contents(input);
    const std::string path = folder.write("Kelo.ini", contents);

    const std::string value = readProfileString(section, key, fallback, path);
    if (value.size() > 255)
        std::abort();
    if (value == fallback)
        return 0;
    if (value.find('\n') != std::string::npos || contents.find(value) == std::string::npos)
        std::abort();
    if (readProfileString(upperCase(section), upperCase(key), fallback, path) != value)
        std::abort();
    // (A file that has a mark already would show the second one as text.)
    constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";
    if (contents.substr(0, byteOrderMark.size()) != byteOrderMark) {
        folder.write("Kelo.ini", std::string(byteOrderMark) + contents);
        if (readProfileString(section, key, fallback, path) != value)
            std::abort();
    }
    folder.write("Kelo.ini", contents + "\n[" + section + "]\n" + key + "=another value\n");
    if (readProfileString(section, key, fallback, path) != value)
        std::abort();
    // A fallback longer than a value can be comes back cut as well.
    if (readProfileString(section, key + "\n", std::string(300, 'x'), path).size() != 255)
        std::abort();
    return 0;
}

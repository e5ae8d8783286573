// The decoding of texts from the log into code points, written out as UTF-16, UTF-8 or folded for comparison.
// Validation follows the Unicode definition of well-formed UTF-8 (the table of ranges for each lead byte).
#include "world/text_decoding.h"

#include <algorithm>
#include <vector>

namespace {

// The code points of the text when it reads as UTF-8; empty (and false) otherwise.
bool utf8CodePoints(std::string_view text, std::vector<char32_t>* out)
{
    bool high = false;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            if (out)
                out->push_back(lead);
            ++i;
            continue;
        }
        high = true;
        int length = 0;
        unsigned char low = 0x80;
        unsigned char top = 0xBF;
        char32_t point = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            point = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            point = lead & 0x0F;
            low = lead == 0xE0 ? 0xA0 : 0x80;  // no overlong form
            top = lead == 0xED ? 0x9F : 0xBF;  // no surrogate
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            point = lead & 0x07;
            low = lead == 0xF0 ? 0x90 : 0x80;
            top = lead == 0xF4 ? 0x8F : 0xBF;  // nothing past U+10FFFF
        } else {
            return false;
        }
        if (i + static_cast<std::size_t>(length) > text.size())
            return false;
        for (int k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? top : 0xBF))
                return false;
            point = point << 6 | (next & 0x3F);
        }
        if (out)
            out->push_back(point);
        i += static_cast<std::size_t>(length);
    }
    return high;
}

std::vector<char32_t> codePoints(std::string_view text)
{
    std::vector<char32_t> points;
    points.reserve(text.size());
    if (utf8CodePoints(text, &points))
        return points;
    points.assign(text.begin(), text.end());
    for (char32_t& point : points)
        point &= 0xFF;  // a char of 0x80 or more is negative where char is signed
    return points;
}

// Capital letters of Latin-1, Greek and Cyrillic to their small ones; anything else as it is.
char32_t folded(char32_t c)
{
    if ((c >= U'A' && c <= U'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3AB && c != 0x3A2)
        || (c >= 0x410 && c <= 0x42F))
        return c + 0x20;
    if (c >= 0x400 && c <= 0x40F)
        return c + 0x50;
    return c;
}

}  // namespace

bool readsAsUtf8(std::string_view text)
{
    return utf8CodePoints(text, nullptr);
}

std::u16string decodeText(std::string_view text)
{
    std::u16string wide;
    wide.reserve(text.size());
    for (char32_t point : codePoints(text)) {
        if (point < 0x10000) {
            wide.push_back(static_cast<char16_t>(point));
        } else {
            point -= 0x10000;
            wide.push_back(static_cast<char16_t>(0xD800 + (point >> 10)));
            wide.push_back(static_cast<char16_t>(0xDC00 + (point & 0x3FF)));
        }
    }
    return wide;
}

std::string textAsUtf8(std::string_view text)
{
    if (readsAsUtf8(text))
        return std::string(text);
    std::string utf8;
    utf8.reserve(text.size());
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            utf8.push_back(c);
        } else {
            utf8.push_back(static_cast<char>(0xC0 | (byte >> 6)));
            utf8.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
        }
    }
    return utf8;
}

bool holdsText(std::string_view text, std::string_view part)
{
    std::vector<char32_t> whole = codePoints(text);
    std::vector<char32_t> sought = codePoints(part);
    std::transform(whole.begin(), whole.end(), whole.begin(), folded);
    std::transform(sought.begin(), sought.end(), sought.begin(), folded);
    return std::search(whole.begin(), whole.end(), sought.begin(), sought.end()) != whole.end();
}

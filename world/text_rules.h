// The character rules that every reader of text in Kelo shares: the C locale's white space and ASCII case
// folding. The process locale (which the toolkits may change) never changes how a log or a settings file reads.
#pragma once

#include <algorithm>
#include <string_view>

// Space, tab, line feed, vertical tab, form feed and carriage return.
constexpr bool isBlank(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

constexpr char foldCase(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Equal but for the case of ASCII letters.
inline bool sameIgnoringCase(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return foldCase(x) == foldCase(y); });
}

// How a text from the log becomes characters: UTF-8 when its bytes are valid UTF-8 and one of them is 0x80 or more,
// else each byte the character of the same code (Latin-1). The one rule for drawing, the JSON and the search; a text
// in Latin-1 that happens to be valid UTF-8 (rare: it takes an accented capital followed by a symbol) reads as UTF-8.
#pragma once

#include <string>
#include <string_view>

// Whether the text reads as UTF-8: valid (no overlong form, no surrogate, nothing past U+10FFFF, no cut sequence) and
// holding a byte of 0x80 or more.
bool readsAsUtf8(std::string_view text);

// The text's characters as UTF-16 (what GDI+ draws); never fails, whatever the bytes.
std::u16string decodeText(std::string_view text);
// The text's characters as UTF-8 (what the JSON writes); never fails, whatever the bytes.
std::string textAsUtf8(std::string_view text);

// Whether `text` holds `part`, letters compared without case (Latin, Greek and Cyrillic); both read by the rule above.
bool holdsText(std::string_view text, std::string_view part);

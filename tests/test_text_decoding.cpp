// Tests of reading texts from the log: UTF-8 where the bytes are valid UTF-8 with a byte of 0x80 or more, Latin-1
// otherwise, for any bytes; names in Cyrillic, Greek, Chinese and emoji drawn as their characters, not their bytes;
// the search's comparison without case.
#include <random>

#include "tests/kelo_test.h"
#include "view/kept_text.h"
#include "world/text_decoding.h"

namespace {

// UTF-16 back to UTF-8, to check that a text read as UTF-8 keeps every character.
std::string utf8Of(const std::u16string& wide)
{
    std::string out;
    for (std::size_t i = 0; i < wide.size(); ++i) {
        char32_t c = wide[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < wide.size())
            c = 0x10000 + ((c - 0xD800) << 10) + (wide[++i] - 0xDC00);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

const std::string cyrillic = "\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD";  // Иван
const std::string greek = "\xCE\x91\xCE\xBB\xCE\xAD\xCE\xBE\xCE\xB7\xCF\x82";  // Αλέξης
const std::string chinese = "\xE5\xBC\xA0\xE4\xBC\x9F";  // 张伟
const std::string emoji = "\xF0\x9F\x98\x80";  // U+1F600

}  // namespace

// Random texts, half of them made of valid sequences and half of any bytes: a text reads as UTF-8 exactly when it
// is valid and not plain ASCII, keeps its characters then, and is widened byte by byte otherwise; the JSON's form
// is always valid UTF-8 with the same characters.
TEST(TextDecodingTest, AnyBytesReadAsUtf8WhenValidAndByteByByteOtherwise)
{
    std::mt19937 random(7);
    auto pick = [&random](std::uint32_t n) { return random() % n; };
    int asUtf8 = 0;
    int asLatin1 = 0;
    for (int round = 0; round < 4000; ++round) {
        std::u16string made;
        std::string bytes;
        const bool valid = pick(2) == 0;
        for (std::uint32_t i = pick(12); i > 0; --i) {
            if (valid) {
                const char32_t c = std::array<char32_t, 6>{0x41, 0xE9, 0x416, 0x4E2D, 0x1F600, 0x10FFFF}[pick(6)];
                const std::u16string one = c < 0x10000
                                             ? std::u16string(1, static_cast<char16_t>(c))
                                             : std::u16string{static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)),
                                                              static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF))};
                made += one;
                bytes += utf8Of(one);
            } else {
                bytes += static_cast<char>(pick(256));
            }
        }
        const std::u16string wide = decodeText(bytes);
        const bool high = std::any_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) != 0; });
        if (valid) {
            EXPECT_EQ(wide, made);
            EXPECT_EQ(readsAsUtf8(bytes), high);
        }
        if (readsAsUtf8(bytes)) {
            ++asUtf8;
            EXPECT_EQ(utf8Of(wide), bytes);
            EXPECT_EQ(textAsUtf8(bytes), bytes);
        } else {
            ++asLatin1;
            ASSERT_EQ(wide.size(), bytes.size());
            for (std::size_t i = 0; i < bytes.size(); ++i)
                EXPECT_EQ(wide[i], static_cast<unsigned char>(bytes[i]));
            EXPECT_EQ(textAsUtf8(bytes), utf8Of(wide));
        }
        EXPECT_TRUE(textAsUtf8(bytes).empty() || readsAsUtf8(textAsUtf8(bytes)) || !high);
    }
    EXPECT_GT(asUtf8, 1000);
    EXPECT_GT(asLatin1, 1000);
}

TEST(TextDecodingTest, InvalidSequencesAreReadByteByByte)
{
    for (const std::string& bytes :
         {std::string("\xC3"), std::string("caf\xE9"), std::string("\xC0\xAF"), std::string("\xE0\x80\xAF"),
          std::string("\xED\xA0\x80"), std::string("\xF4\x90\x80\x80"), std::string("\xF8\x88\x80\x80\x80"),
          cyrillic.substr(0, 3), std::string("\x80") + cyrillic}) {
        EXPECT_FALSE(readsAsUtf8(bytes)) << bytes;
        EXPECT_EQ(decodeText(bytes).size(), bytes.size()) << bytes;
    }
    EXPECT_EQ(decodeText(cyrillic), u"\u0418\u0432\u0430\u043D");
    EXPECT_EQ(decodeText(chinese), u"\u5F20\u4F1F");
    EXPECT_EQ(decodeText(emoji), u"\U0001F600");
    EXPECT_EQ(textAsUtf8("caf\xE9"), "caf\xC3\xA9");
}

TEST(TextDecodingTest, TheSearchComparesLettersWithoutCase)
{
    EXPECT_TRUE(holdsText("Alpha", "LPH"));
    EXPECT_TRUE(holdsText(cyrillic, "\xD0\xB8\xD0\xB2"));  // "ив" in "Иван"
    EXPECT_TRUE(holdsText(greek, "\xCE\xB1\xCE\xBB"));  // "αλ" in "Αλέξης"
    EXPECT_TRUE(holdsText(chinese, "\xE4\xBC\x9F"));
    EXPECT_TRUE(holdsText("Ren\xC3\xA9", "REN\xC3\x89"));  // UTF-8 "René" and "RENÉ"
    EXPECT_TRUE(holdsText("Ren\xE9", "ren\xC3\xA9"));  // Latin-1 "René", UTF-8 "rené"
    EXPECT_FALSE(holdsText("Bravo", "alpha"));
    EXPECT_TRUE(holdsText("anything", ""));
}

// A name drawn as its characters is narrower than the same bytes drawn one character a byte, in every script: a
// glyph that no font has may show as a box, but never as a run of Latin-1 characters.
TEST_F(KeloTest, NamesInAnyScriptAreDrawnAsTheirCharacters)
{
    Surface surface(backBufferDC());
    KeptText texts;
    const Font& font = texts.font("Arial", 8);
    const GpRectF box{0, 0, 400, 400};
    for (const std::string& name : {cyrillic, greek, chinese, emoji}) {
        const float drawn = surface.measure(name, font, box).Width;
        // The Latin-1 reading of the same bytes, written so that it draws as those characters.
        const float asBytes = surface.measure(utf8Of(decodeText(name + "\xFF")), font, box).Width;
        EXPECT_GT(drawn, 0) << name;
        EXPECT_LT(drawn, asBytes * 0.8f) << name;
    }
}

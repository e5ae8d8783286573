// Tests of the replay log's line format: splitting, stamps and gaps, and the integer and real value syntax.
// Pure functions, so the cases only build texts; the fixture is used for a clean state all the same.
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "tests/kelo_test.h"
#include "world/log_format.h"

namespace {

constexpr std::int32_t intMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t intMin = std::numeric_limits<std::int32_t>::min();

// A line's fields as texts of their own, which outlive the line.
using FieldTexts = std::array<std::string, fieldCount>;

FieldTexts textsOf(const Fields& fields)
{
    FieldTexts texts;
    for (std::size_t k = 0; k < fieldCount; ++k)
        texts[k] = fields[k];
    return texts;
}

FieldTexts splitFields(std::string_view line)
{
    std::optional<SplitLine> split = splitLine(line);
    EXPECT_TRUE(split.has_value()) << line;
    return split ? textsOf(split->fields) : FieldTexts{};
}

}  // namespace

using LogFormatTest = KeloTest;

// [SECTION] Splitting

TEST_F(LogFormatTest, SplitsStampTokenAndFields)
{
    std::optional<SplitLine> split =
        splitLine("[9:15:02] CREATED;SOLDIER;17;ClassA;5120.5;3400.25;12;90;1;0.5;0;Alpha");
    ASSERT_TRUE(split);
    EXPECT_EQ(split->stampToken, "[9:15:02]");
    EXPECT_EQ(split->fields[0], "CREATED");
    EXPECT_EQ(split->fields[4], "5120.5");
    EXPECT_EQ(split->fields[11], "Alpha");
    EXPECT_EQ(split->fields[12], "");

    // Any run of white space after the token leads to the same fields; a field keeps its own blanks.
    EXPECT_EQ(splitFields("[1:0:0]    \t POS;SOLDIER;3"), splitFields("[1:0:0] POS;SOLDIER;3"));
    FieldTexts blanks = splitFields("[1:0:0] CHAT; PUBLIC ;2;hello there");
    EXPECT_EQ(blanks[1], " PUBLIC ");
    EXPECT_EQ(blanks[3], "hello there");
}

TEST_F(LogFormatTest, EmptyFieldEndsTheSplit)
{
    FieldTexts fields = splitFields("[1:0:0] A;B;;D;E");
    EXPECT_EQ(fields[0], "A");
    EXPECT_EQ(fields[1], "B");
    EXPECT_EQ(fields[2], "");
    EXPECT_EQ(fields[3], "");

    FieldTexts trailing = splitFields("[1:0:0] WIN;");
    EXPECT_EQ(trailing[0], "WIN");
    EXPECT_EQ(trailing[1], "");

    // A ";" cannot be escaped: it always ends a field.
    EXPECT_EQ(splitFields("[1:0:0] CHAT;TEAM;2;a;b")[3], "a");
    EXPECT_EQ(splitFields("[1:0:0] ;A")[0], "");
}

TEST_F(LogFormatTest, NoTokenWithoutLeadingCharacters)
{
    EXPECT_FALSE(splitLine(""));
    EXPECT_FALSE(splitLine(" [1:0:0] WIN"));
    EXPECT_FALSE(splitLine(std::string(64, '\0')));

    std::optional<SplitLine> tokenOnly = splitLine("[1:0:0]");
    ASSERT_TRUE(tokenOnly);
    EXPECT_EQ(tokenOnly->stampToken, "[1:0:0]");
    EXPECT_EQ(textsOf(tokenOnly->fields), FieldTexts{});
}

TEST_F(LogFormatTest, LineEndsAtItsFirstNulByte)
{
    const std::string line = std::string("[1:0:0] WIN") + '\0' + ";SOLDIER;3";
    FieldTexts fields = splitFields(line);
    EXPECT_EQ(fields[0], "WIN");
    EXPECT_EQ(fields[1], "");
    EXPECT_EQ(stampTime(std::string("[1") + '\0' + ":5:0]"), 3600);
}

TEST_F(LogFormatTest, TextsAreCutToTheirLimits)
{
    const std::string longTokenLine = std::string(300, 'T') + " A";
    std::optional<SplitLine> longToken = splitLine(longTokenLine);
    ASSERT_TRUE(longToken);
    EXPECT_EQ(longToken->stampToken, std::string(255, 'T'));
    EXPECT_EQ(longToken->fields[0], "A");

    // The rest of an over-long field is dropped; the following fields still count.
    FieldTexts fields = splitFields("[1:0:0] " + std::string(600, 'a') + ";" + std::string(511, 'b') + ";c");
    EXPECT_EQ(fields[0], std::string(511, 'a'));
    EXPECT_EQ(fields[1], std::string(511, 'b'));
    EXPECT_EQ(fields[2], "c");
}

TEST_F(LogFormatTest, AtMostTwentyOneFields)
{
    std::string line = "[1:0:0] ";
    for (int i = 0; i < 30; ++i)
        line += "f" + std::to_string(i) + ";";
    FieldTexts fields = splitFields(line);
    EXPECT_EQ(fields[0], "f0");
    EXPECT_EQ(fields[20], "f20");

    // A line of 100 KB splits into at most 21 cut fields and nothing more.
    FieldTexts huge = splitFields("[1:0:0] " + std::string(100 * 1024, 'x'));
    EXPECT_EQ(huge[0].size(), fieldLimit);
    EXPECT_EQ(huge[1], "");
    FieldTexts many = splitFields("[1:0:0] " + std::string(100 * 1024, ';'));
    EXPECT_EQ(many, FieldTexts{});
}

TEST_F(LogFormatTest, FieldsOfOneLineNeverReachTheNext)
{
    FieldTexts first = splitFields("[1:0:0] CREATED;SOLDIER;1;C;1;2;3;4;5;6;0;Name");
    FieldTexts second = splitFields("[1:0:1] WIN");
    EXPECT_EQ(first[11], "Name");
    EXPECT_EQ(second[0], "WIN");
    for (std::size_t k = 1; k < fieldCount; ++k)
        EXPECT_EQ(second[k], "") << k;
}

// The split read lazily, in any order, gives the fields that the rules written out plainly give: the line ends at its
// first NUL byte, the token at the first space, and the fields after the blanks at each ";", up to the first empty one.
TEST_F(LogFormatTest, LazySplitInAnyOrderIsThePlainSplit)
{
    std::mt19937 random(5);
    const std::string_view alphabet("ab;;;  \t\r\n:[]09\0", 16);
    for (int round = 0; round < 20000; ++round) {
        std::string line;
        const std::size_t pieces = random() % 40;
        for (std::size_t i = 0; i < pieces; ++i) {
            const std::size_t run = random() % 8 == 0 ? random() % 700 : random() % 4;
            line.append(run, alphabet[random() % alphabet.size()]);
        }
        const std::string_view text(line.data(), std::min(line.find('\0'), line.size()));
        const std::size_t tokenEnd = std::min(text.find(' '), text.size());
        const std::optional<SplitLine> split = splitLine(line);
        ASSERT_EQ(split.has_value(), tokenEnd > 0) << round;
        if (!split)
            continue;
        EXPECT_EQ(split->stampToken, text.substr(0, std::min(tokenEnd, stampTokenLimit))) << round;
        std::size_t restStart = tokenEnd;
        while (restStart < text.size() && std::string_view(" \t\n\v\f\r").find(text[restStart]) != std::string::npos)
            ++restStart;
        std::string_view rest = text.substr(restStart);
        FieldTexts plain;
        for (std::size_t k = 0; k < fieldCount && !rest.empty() && rest[0] != ';'; ++k) {
            const std::string_view piece = rest.substr(0, rest.find(';'));
            plain[k] = piece.substr(0, fieldLimit);
            rest.remove_prefix(std::min(piece.size() + 1, rest.size()));
        }
        for (int read = 0; read < 30; ++read) {
            const std::size_t k = random() % fieldCount;
            ASSERT_EQ(split->fields[k], plain[k]) << round << " field " << k;
        }
        ASSERT_EQ(textsOf(split->fields), plain) << round;
    }
}

// [SECTION] Stamps and gaps

TEST_F(LogFormatTest, StampValues)
{
    EXPECT_EQ(stampTime("[9:15:02] CREATED"), 9 * 3600 + 15 * 60 + 2);
    EXPECT_EQ(stampTime("[ 1: 2: 3]"), 3723);
    EXPECT_EQ(stampTime("[+1:-2:3]"), 3600 - 120 + 3);
    EXPECT_EQ(stampTime("[0:0:0] x"), 0);
}

TEST_F(LogFormatTest, HoursAloneMakeAStamp)
{
    EXPECT_EQ(stampTime("[2] WIN"), 7200);
    EXPECT_EQ(stampTime("[2:30 WIN"), 9000);
    EXPECT_EQ(stampTime("[2:x:5]"), 7200);
    EXPECT_EQ(stampTime("[2;5:5]"), 7200);

    EXPECT_FALSE(stampTime(""));
    EXPECT_FALSE(stampTime("9:15:02 WIN"));
    EXPECT_FALSE(stampTime(" [9:15:02] WIN"));
    EXPECT_FALSE(stampTime("[x:1:2]"));
    EXPECT_FALSE(stampTime("[-:1:2]"));
    EXPECT_FALSE(stampTime("WIN"));
}

TEST_F(LogFormatTest, StampNumbersSaturate)
{
    EXPECT_EQ(stampTime("[99999999999:0:0]"), std::int64_t{intMax} * 3600);
    EXPECT_EQ(stampTime("[-99999999999:-99999999999:-99999999999]"), std::int64_t{intMin} * 3661);
    EXPECT_EQ(stampTime("[" + std::string(10000, '9') + "]"), std::int64_t{intMax} * 3600);
}

TEST_F(LogFormatTest, GapWrapsTwelveHoursOnce)
{
    auto gap = [](std::string_view current, std::string_view next) {
        return stampGap(*stampTime(current), *stampTime(next));
    };
    EXPECT_EQ(gap("[11:59:58]", "[12:00:03]"), 5);
    EXPECT_EQ(gap("[12:59:58]", "[1:00:03]"), 5);
    EXPECT_EQ(gap("[12:59:59]", "[1:00:00]"), 1);
    EXPECT_EQ(gap("[1:00:00]", "[1:00:00]"), 0);
    // More than twelve hours backwards stays negative: the twelve hours are added once.
    EXPECT_EQ(stampGap(50000, 0), -50000 + twelveHours);
    EXPECT_EQ(stampGap(0, -1), twelveHours - 1);
}

// [SECTION] Values

TEST_F(LogFormatTest, IntegersReadLikeAtoi)
{
    EXPECT_EQ(readInt("17"), 17);
    EXPECT_EQ(readInt("017"), 17);
    EXPECT_EQ(readInt(" \t-42"), -42);
    EXPECT_EQ(readInt("+7"), 7);
    EXPECT_EQ(readInt("12abc"), 12);
    EXPECT_EQ(readInt("3.9"), 3);
    EXPECT_EQ(readInt("abc"), 0);
    EXPECT_EQ(readInt(""), 0);
    EXPECT_EQ(readInt("- 5"), 0);
    EXPECT_EQ(readInt("--5"), 0);
}

TEST_F(LogFormatTest, IntegersSaturate)
{
    EXPECT_EQ(readInt("2147483647"), intMax);
    EXPECT_EQ(readInt("2147483648"), intMax);
    EXPECT_EQ(readInt("-2147483648"), intMin);
    EXPECT_EQ(readInt("-2147483649"), intMin);
    EXPECT_EQ(readInt(std::string(10000, '9')), intMax);
    EXPECT_EQ(readInt("-" + std::string(10000, '9')), intMin);
    EXPECT_EQ(readInt(std::string(10000, '0') + "5"), 5);
}

TEST_F(LogFormatTest, RealsReadLikeAtof)
{
    EXPECT_FLOAT_EQ(readReal("3400.25"), 3400.25f);
    EXPECT_FLOAT_EQ(readReal("  -3"), -3.0f);
    EXPECT_FLOAT_EQ(readReal("+2.5"), 2.5f);
    EXPECT_FLOAT_EQ(readReal("1e3"), 1000.0f);
    EXPECT_FLOAT_EQ(readReal("1E-2"), 0.01f);
    EXPECT_FLOAT_EQ(readReal(".5"), 0.5f);
    EXPECT_FLOAT_EQ(readReal("5."), 5.0f);
    EXPECT_FLOAT_EQ(readReal("12abc"), 12.0f);
    EXPECT_FLOAT_EQ(readReal("1e"), 1.0f);
    EXPECT_FLOAT_EQ(readReal("2,5"), 2.0f);
    EXPECT_FLOAT_EQ(readReal("0x10"), 16.0f);
    EXPECT_FLOAT_EQ(readReal("-0x1.8p1"), -3.0f);
    EXPECT_FLOAT_EQ(readReal("0xz"), 0.0f);
    EXPECT_EQ(readReal("abc"), 0.0f);
    EXPECT_EQ(readReal(""), 0.0f);
    EXPECT_EQ(readReal("."), 0.0f);
    EXPECT_EQ(readReal("--5"), 0.0f);
    EXPECT_EQ(readReal("+-5"), 0.0f);
    EXPECT_EQ(readReal("- 5"), 0.0f);
    EXPECT_EQ(readReal("inf"), std::numeric_limits<float>::infinity());
    EXPECT_TRUE(std::isnan(readReal("nan")));
}

TEST_F(LogFormatTest, RealsBeyondTheirRange)
{
    const float infinity = std::numeric_limits<float>::infinity();
    EXPECT_EQ(readReal("1e39"), infinity);
    EXPECT_EQ(readReal("-1e39"), -infinity);
    EXPECT_EQ(readReal("1e400"), infinity);
    EXPECT_EQ(readReal("-1e99999999999999"), -infinity);
    EXPECT_EQ(readReal("0x1p99999"), infinity);
    EXPECT_EQ(readReal("1e-400"), 0.0f);
    EXPECT_EQ(readReal("0x1p-99999"), 0.0f);
    EXPECT_EQ(readReal(std::string(10000, '9')), infinity);
    EXPECT_EQ(readReal("0." + std::string(10000, '0') + "1"), 0.0f);
    EXPECT_EQ(readReal("0.000001e" + std::string(10000, '9')), infinity);
    EXPECT_FLOAT_EQ(readReal(std::string(10000, '0') + "1.5"), 1.5f);
    // The double keeps what the float cannot: such a field is a number other than zero.
    EXPECT_NE(readDouble("1e-50"), 0.0);
    EXPECT_EQ(readReal("1e-50"), 0.0f);
}

TEST_F(LogFormatTest, RealsIgnoreTheProcessLocale)
{
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    const char* decimalComma = nullptr;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8"})
        if ((decimalComma = std::setlocale(LC_ALL, name)) != nullptr)
            break;
    if (decimalComma == nullptr)
        GTEST_SKIP() << "no locale with a decimal comma on this machine";
    const float read = readReal("2.5");
    const float comma = readReal("2,5");
    std::setlocale(LC_ALL, previous.c_str());
    EXPECT_FLOAT_EQ(read, 2.5f);
    EXPECT_FLOAT_EQ(comma, 2.0f);
}

// [SECTION] Plain decimals and stamps read without the general reading

TEST(LogFormatPlainTest, PlainDecimalsReadAsTheLibraryReadsThem)
{
    std::mt19937 random(7);
    for (int i = 0; i < 200000; ++i) {
        std::string text;
        const int length = 1 + static_cast<int>(random() % 19);
        const int point = static_cast<int>(random() % (length + 2)) - 1;  // -1: no point
        for (int at = 0; at < length; ++at) {
            if (at == point)
                text += '.';
            text += static_cast<char>('0' + random() % 10);
        }
        if (random() % 4 == 0)
            text += "e" + std::to_string(static_cast<int>(random() % 40) - 20);
        if (random() % 8 == 0)
            text += ";x";
        double expected = 0;
        std::from_chars(text.data(), text.data() + text.size(), expected);
        const double read = readDouble(text);
        ASSERT_EQ(std::memcmp(&read, &expected, sizeof read), 0) << text << ": " << read << " against " << expected;
        ASSERT_EQ(readDouble("-" + text), -expected) << text;
    }
    EXPECT_EQ(readDouble("0x1p3"), 8.0);
    EXPECT_EQ(readDouble("12.5e"), 12.5);
}

TEST(LogFormatPlainTest, StampsOfTwoDigitsReadAsStampsOfAnyForm)
{
    EXPECT_EQ(stampTime("[20:15:30] POS"), 20 * 3600 + 15 * 60 + 30);
    EXPECT_EQ(stampTime("[20:15:305] POS"), 20 * 3600 + 15 * 60 + 305);
    EXPECT_EQ(stampTime("[20:15:3] POS"), 20 * 3600 + 15 * 60 + 3);
    EXPECT_EQ(stampTime("[20:15:30"), 20 * 3600 + 15 * 60 + 30);
    EXPECT_EQ(stampTime("[99:99:99]"), 99 * 3600 + 99 * 60 + 99);
    EXPECT_EQ(stampTime("[20:1x:30]"), 20 * 3600 + 1 * 60);
}

// The log's numbers against the C library itself: over random texts built from the pieces numbers are made of
// (signs, blanks, digits, points, exponents, "0x", "inf", "nan(...)") and hostile bytes, readInt gives what atoi
// gives (saturated to 32 bits where atoi is undefined) and readDouble what atof gives, bit for bit, in the C locale.
#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "world/log_format.h"

namespace {

// atoi with its undefined range made saturation: strtoll saturates at its own range, then the 32-bit clamp.
std::int32_t libraryInt(const std::string& text)
{
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    constexpr long long low = std::numeric_limits<std::int32_t>::min();
    constexpr long long high = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(value < low ? low : value > high ? high : value);
}

// A text that is often a number, a near miss or the start of one, followed by anything.
std::string numberish(std::mt19937& random)
{
    static const char* const pieces[] = {"0",
                                         "1",
                                         "7",
                                         "9",
                                         "00",
                                         "123456789",
                                         "4294967296",
                                         "2147483647",
                                         "2147483648",
                                         "99999999999999999999",
                                         ".",
                                         ".",
                                         "e",
                                         "E",
                                         "e+",
                                         "e-",
                                         "e308",
                                         "e-308",
                                         "e-324",
                                         "e400",
                                         "p",
                                         "P",
                                         "p-1074",
                                         "x",
                                         "0x",
                                         "0X",
                                         "0x.",
                                         "0x1p",
                                         "ff",
                                         "A",
                                         "+",
                                         "-",
                                         "+-",
                                         " ",
                                         "\t",
                                         "\n",
                                         "\v",
                                         "\f",
                                         "\r",
                                         "inf",
                                         "INF",
                                         "infinity",
                                         "InFiNiTy",
                                         "infinit",
                                         "nan",
                                         "NaN",
                                         "nan(",
                                         "nan(12ab_)",
                                         "nan()",
                                         ")",
                                         ",",
                                         ";",
                                         "_",
                                         "\xA0",
                                         "\xC2\xA0",
                                         "\x80",
                                         "\xFF",
                                         "1e",
                                         "0.000000000000000000001",
                                         "1797693134862315708",
                                         "22250738585072014",
                                         "4.9406564584124654e-324",
                                         "2.4703282292062327e-324",
                                         "2.4703282292062328e-324",
                                         "0x1.fffffffffffffp1023",
                                         "0x1.ffffffffffffffp1023",
                                         "0x0.0000000000001p-1022",
                                         "123456789012345678901234567890"};
    std::string text;
    const int count = 1 + static_cast<int>(random() % 8);
    for (int i = 0; i < count; ++i) {
        if (random() % 6 == 0) {
            // A run of digits of any length, the hostile long ones included.
            const std::size_t length = random() % 40 == 0 ? 300 + random() % 800 : 1 + random() % 25;
            for (std::size_t at = 0; at < length; ++at)
                text += static_cast<char>('0' + random() % 10);
        } else if (random() % 10 == 0) {
            text += static_cast<char>(1 + random() % 255);  // any byte but NUL, which ends a field before it is read
        } else {
            text += pieces[random() % std::size(pieces)];
        }
    }
    return text;
}

bool sameDouble(double a, double b)
{
    if (std::isnan(a) || std::isnan(b))
        return std::isnan(a) && std::isnan(b) && std::signbit(a) == std::signbit(b);
    return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST(NumberSyntaxTest, NumbersReadAsTheCLibraryReadsThemInTheCLocale)
{
    ASSERT_STREQ(std::setlocale(LC_ALL, nullptr), "C");
    std::mt19937 random(20261208);
    for (int i = 0; i < 300000; ++i) {
        const std::string text = numberish(random);
        ASSERT_EQ(readInt(text), libraryInt(text)) << '"' << text << '"';
        const double expected = std::atof(text.c_str());
        const double read = readDouble(text);
        ASSERT_TRUE(sameDouble(read, expected)) << '"' << text << "\": " << read << " against atof's " << expected;
    }
}

}  // namespace

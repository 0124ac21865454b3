#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>

#include "table/numeric_reading.h"

using quillet::NumericReading;

namespace {

// The decimal the text spells, with blanks dropped, as the C library reads it (correctly rounded).
double Reference(const std::string& text) {
    std::string compact;
    for (char c : text) {
        if (c != ' ') compact += c;
    }
    return std::strtod(compact.c_str(), nullptr);
}

}  // namespace

TEST(NumericReading, PlainDecimalsOfAnyLengthReadToTheCorrectlyRoundedDouble) {
    std::mt19937 random(20240501);
    for (int i = 0; i < 200000; ++i) {
        const int length = 1 + static_cast<int>(random() % 26);
        std::string text(random() % 4, ' ');
        if (random() % 3 == 0) text += random() % 2 ? '-' : '+';
        const int point = static_cast<int>(random() % (length + 2)) - 1;
        for (int d = 0; d < length; ++d) {
            if (d == point) text += '.';
            text += static_cast<char>('0' + random() % 10);
        }
        text += std::string(random() % 4, ' ');
        const double got = NumericReading(text);
        const double want = Reference(text);
        ASSERT_EQ(got, want) << '"' << text << '"';
        ASSERT_EQ(std::signbit(got), std::signbit(want)) << '"' << text << '"';
    }
}

TEST(NumericReading, EdgesOfTheExactRangeAgreeWithTheFullReading) {
    const char* cases[] = {
        "9007199254740991",        "9007199254740992",          "9007199254740993",     "0.9007199254740993",
        "1.0000000000000000000001", "0.0000000000000000000001", "0.00000000000000000000001",
        "123456789012345678901234", "-0",                       "-.5",                  "  12.50  ",
    };
    for (const char* text : cases) EXPECT_EQ(NumericReading(text), Reference(text)) << text;
    EXPECT_EQ(NumericReading("-"), 0);
    EXPECT_FALSE(std::signbit(NumericReading("-")));
    EXPECT_EQ(NumericReading("1 2.5"), 12.5);
    EXPECT_EQ(NumericReading("1.5E2"), 150);
    EXPECT_EQ(NumericReading("2d1"), 20);
    EXPECT_EQ(NumericReading("&HFF"), 255);
    EXPECT_EQ(NumericReading("12&HFF"), 12);
    EXPECT_EQ(NumericReading("1.2.3"), 1.2);
}

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <random>
#include <string>

#include "table/cell_text.h"

using quillet::FormatNumber;
using quillet::kNumberTextCapacity;

namespace {

std::string Formatted(double value, char separator = '.') {
    char text[kNumberTextCapacity];
    return std::string(text, FormatNumber(text, value, separator));
}

// The 15-digit general form by the library's own conversion, the rule every number follows.
std::string General(double value) {
    if (value == 0) value = 0;
    char text[64];
    return std::string(text, std::to_chars(text, text + sizeof text, value, std::chars_format::general, 15).ptr);
}

}  // namespace

TEST(FormatNumber, ShortDecimalsOfEveryScaleMatchTheGeneralForm) {
    std::mt19937_64 random(20240501);
    const double powers[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e12, 1e15, 1e16};
    for (int i = 0; i < 300000; ++i) {
        const auto digits = static_cast<int>(random() % 17);
        const auto mantissa = static_cast<std::int64_t>(random() % static_cast<std::uint64_t>(std::pow(10.0, digits) + 1));
        const double value = (random() % 2 ? -1.0 : 1.0) * static_cast<double>(mantissa) / powers[random() % std::size(powers)];
        ASSERT_EQ(Formatted(value), General(value)) << value;
    }
}

TEST(FormatNumber, AnyDoubleMatchesTheGeneralForm) {
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> exponent(-8, 17);
    for (int i = 0; i < 300000; ++i) {
        const double value = (random() % 2 ? -1.0 : 1.0) * std::pow(10.0, exponent(random));
        ASSERT_EQ(Formatted(value), General(value)) << value;
    }
}

TEST(FormatNumber, EdgesOfTheFixedForm) {
    const double cases[] = {0.0001,           0.00009999,        0.000123,  999999999999999.0, 999999999999999.9,
                            1e15,             123456789012345.6, 0.1 + 0.2, 1.0 / 3,           2.5,
                            100,              -0.25,             12.5,      1e-5,              4503599627370497.0,
                            0.30000000000000004};
    for (const double value : cases) EXPECT_EQ(Formatted(value), General(value)) << value;
    EXPECT_EQ(Formatted(-0.0), "0");
    EXPECT_EQ(Formatted(-1234.05, ','), "-1234,05");
    EXPECT_EQ(Formatted(0.0005, ','), "0,0005");
    EXPECT_EQ(Formatted(1e20, ','), "1e+20");
}

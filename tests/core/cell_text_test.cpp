#include <gtest/gtest.h>

#include <cmath>

#include "table/cell_text.h"
#include "table/numeric_reading.h"

using namespace quillet;

TEST(CellText, NumbersInShortestFormWithEitherSeparator) {
    const std::tuple<double, const char*, const char*> cases[] = {
        {12.5, "12.5", "12,5"},
        {100, "100", "100"},
        {-0.25, "-0.25", "-0,25"},
        {0, "0", "0"},
        {-0.0, "0", "0"},
        {0.1 + 0.2, "0.3", "0,3"},
        {123456789012345.0, "123456789012345", "123456789012345"},
        {1e15, "1e+15", "1e+15"},
        {0.0001, "0.0001", "0,0001"},
        {0.00001234, "1.234e-05", "1,234e-05"},
        {2.0 / 3.0, "0.666666666666667", "0,666666666666667"},
    };
    for (const auto& [value, point, comma] : cases) {
        EXPECT_EQ(CellText(CellValue::OfNumber(value), '.'), point) << value;
        EXPECT_EQ(CellText(CellValue::OfNumber(value), ','), comma) << value;
    }
}

TEST(CellText, OtherKinds) {
    EXPECT_EQ(CellText(CellValue::OfText("ab  "), ','), "ab  ");
    EXPECT_EQ(CellText(CellValue::OfTruth(true), '.'), "True");
    EXPECT_EQ(CellText(CellValue::OfTruth(false), '.'), "False");
    EXPECT_EQ(CellText(CellValue::Empty(), '.'), "");
}

TEST(NumericReading, ReadsTheNumberAtTheStart) {
    const std::pair<const char*, double> cases[] = {
        {"   12.50", 12.5}, {"-3", -3}, {"", 0}, {"abc", 0}, {"1 2", 12}, {"+7", 7},
        {"- 3", -3}, {"1.5.6", 1.5}, {"1e3", 1000}, {"2D2", 200}, {"1.5E-2", 0.015},
        {"1E", 1}, {"12abc", 12}, {"&H1F", 31}, {"&o17", 15}, {"\t4\n2", 42},
        {".5", 0.5}, {"5.", 5}, {"1,5", 1}, {"********", 0},
    };
    for (const auto& [text, value] : cases) EXPECT_DOUBLE_EQ(NumericReading(text), value) << '"' << text << '"';
    EXPECT_EQ(NumericReading(std::string_view("\0\0\0", 3)), 0);
    EXPECT_TRUE(std::isinf(NumericReading(std::string(500, '9'))));
    EXPECT_EQ(NumericReading("1e-999"), 0);
    EXPECT_DOUBLE_EQ(NumericReading(std::string(300, '1') + "e-299"), 1.1111111111111111);
}

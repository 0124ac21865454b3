#include "export/sql_column.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "export/sql_text.h"
#include "support/opened_table.h"

using namespace quillet;
using quillet::testing::OpenBuilt;
using quillet::testing::TableBuilder;
using quillet::testing::TempDir;

namespace {

// A value fits Numeric(precision, scale) when the text the script writes for it has no more
// decimals than the scale and no more integer digits than the rest.
bool Fits(double value, int precision, int scale) {
    char text[kSqlNumberCapacity];
    const DecimalShape shape = ShapeOf(std::string_view(text, FormatSqlNumber(text, value) - text));
    return shape.FractionDigits <= scale && shape.IntegerDigits <= precision - scale;
}

std::string RandomNumber(std::mt19937& random, int length) {
    std::string text = random() % 4 == 0 ? "-" : "";
    const int digits = 1 + static_cast<int>(random() % static_cast<unsigned>(length - 1));
    const int point = static_cast<int>(random() % static_cast<unsigned>(digits + 1));
    for (int i = 0; i < digits && static_cast<int>(text.size()) < length; ++i) {
        if (i == point && i > 0) text += '.';
        text += static_cast<char>('0' + (i == 0 ? random() % 3 : random() % 10));
    }
    return text.substr(0, static_cast<std::size_t>(length));
}

}  // namespace

// Each field holds one value, so the type each gets tells whether that value fits.
TEST(SqlColumns, ANumericTypeIsWidenedExactlyWhenAWrittenValueWouldNotFit) {
    TempDir dir;
    std::mt19937 random(12);
    for (int round = 0; round < 40; ++round) {
        TableBuilder t;
        std::vector<std::string> cells;
        for (int f = 0; f < 120; ++f) {
            const int length = 10 + static_cast<int>(random() % 11);
            const int decimals = static_cast<int>(random() % 12);
            t.Field("F" + std::to_string(f), 'N', static_cast<std::uint8_t>(length),
                    static_cast<std::uint8_t>(decimals));
            cells.push_back(RandomNumber(random, length));
        }
        t.Record(cells);
        const OpenTable table = OpenBuilt(t, dir);
        std::vector<int> fields(cells.size());
        for (std::size_t f = 0; f < fields.size(); ++f) fields[f] = static_cast<int>(f);
        const std::vector<SqlColumn> columns = PlanSqlColumns(table, ExportSettings(), fields);
        for (std::size_t f = 0; f < fields.size(); ++f) {
            const FieldDescriptor& d = table.FieldDescriptors[f];
            const double value = table.Cell(0, static_cast<int>(f)).Number;
            const std::string bounded = "Numeric(" + std::to_string(d.Length) + "," + std::to_string(d.Decimals) + ")";
            const bool fits = value == 0 || Fits(value, d.Length, d.Decimals);
            ASSERT_EQ(columns[f].TypeText, fits ? bounded : "Numeric") << cells[f] << " in " << bounded;
        }
    }
}

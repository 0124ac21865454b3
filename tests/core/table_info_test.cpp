#include <gtest/gtest.h>

#include "support/table_builder.h"
#include "table/read_table.h"
#include "table/table_info.h"

using namespace quillet;
using quillet::testing::TableBuilder;
using quillet::testing::TempDir;

namespace {

OpenTable Open(const TableBuilder& builder, TempDir& dir) {
    const std::string path = (dir / "sales.dbf").string();
    builder.WriteTo(path);
    OpenTable table = ReadTableFile(path);
    table.ListColumns();
    table.SetSource(path);
    return table;
}

}  // namespace

TEST(InformationLines, NameVersionRecordsAndDayMonthYearWithoutLeadingZeros) {
    TempDir dir;
    TableBuilder t;
    t.Date(105, 1, 31).Field("A", 'C', 1).Field("B", 'C', 1).Field("C", 'C', 1).Record({"x"}).Deleted({"y"});
    const OpenTable table = Open(t, dir);

    const auto lines = InformationLines(table);
    EXPECT_EQ(lines[0], "File name: " + (dir / "sales.dbf").string());
    EXPECT_EQ(lines[1], "Version: FoxBASE+/Dbase III plus, no memo");
    EXPECT_EQ(lines[2], "Total records: 2");
    EXPECT_EQ(lines[3], "Last Update: 31/1/2005");

    EXPECT_EQ(InformationText(table), lines[0] + "\r\n" + lines[1] + "\r\n" + lines[2] + "\r\n" + lines[3] + "\r\n");
}

TEST(InformationLines, EmptyTableAndTwoDigitMonthsAndEarlyYears) {
    TempDir dir;
    TableBuilder t;
    t.Date(99, 12, 9).Field("A", 'C', 1);
    const auto lines = InformationLines(Open(t, dir));
    EXPECT_EQ(lines[2], "Total records: 0");
    EXPECT_EQ(lines[3], "Last Update: 9/12/1999");
}

TEST(InformationLines, CountsTheRecordsTheFileReallyHolds) {
    TempDir dir;
    TableBuilder t;
    t.Field("A", 'C', 4).Record({"one"}).Record({"two"}).RecordCount(1000).EndMarker(false);
    EXPECT_EQ(InformationLines(Open(t, dir))[2], "Total records: 2");
}

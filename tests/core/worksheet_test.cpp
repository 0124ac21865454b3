// What a worksheet cannot hold: more rows or columns than a sheet has are refused before
// anything is written, with a message that suggests CSV; a field's longest text goes in whole.

#include <gtest/gtest.h>

#include "support/exported_formats.h"

using namespace quillet;
using namespace quillet::testing;

TEST(Worksheet, SheetLimitsRefuseBeforeWriting) {
    TempDir dir;
    TableBuilder rows;
    rows.Field("N", 'C', 255).Record({std::string(250, 'x') + "12345"});
    for (int r = 2; r <= 16383; ++r) rows.Record({"y"});
    const ExportSettings settings = SettingsFor("to=xls", dir.Path());
    const std::string path = OutputPath(OpenBuilt(rows, dir), settings, settings.OutputFormat);
    ExportTable(OpenBuilt(rows, dir), settings);
    EXPECT_EQ(ReadBack(path), "N\n" + std::string(250, 'x') + "12345\n" + [] {
        std::string more;
        for (int r = 2; r <= 16383; ++r) more += "y\n";
        return more;
    }());

    rows.Deleted({"z"});
    const OpenTable table = OpenBuilt(rows, dir);
    WriteFileBytes(path, "earlier");
    EXPECT_EQ(FailureOf(table, settings), "Cannot write \"" + path + "\": an Excel worksheet holds at most 16384 rows, the header and "
                                          "records 1 to 16383, and record 16384 is to be written. Export the table as CSV instead.");
    EXPECT_EQ(ReadFileBytes(path), "earlier");
    EXPECT_EQ(FolderEntries(dir.Path()).size(), 2u);
    ExportTable(table, SettingsFor("to=xls records=live", dir.Path()));
    const std::string live = ReadBack(path);
    EXPECT_EQ(std::count(live.begin(), live.end(), '\n'), 16384);

    TempDir wide;
    TableBuilder columns;
    for (int f = 1; f <= 257; ++f) columns.Field("F" + std::to_string(f), 'C', 1);
    OpenTable widest = OpenBuilt(columns.Record({}), wide);
    EXPECT_EQ(FailureOf(widest, SettingsFor("to=xls", wide.Path())),
              "Cannot write \"" + (wide / "t.xls").string() + "\": an Excel worksheet holds at most 256 columns, and the selected "
              "column \"F257\" is column 257. Leave out the columns beyond 256, or export the table as CSV.");
    EXPECT_EQ(FolderEntries(wide.Path()).size(), 1u);
    widest.ColumnSelected[255] = widest.ColumnSelected[256] = 0;
    ExportTable(widest, SettingsFor("to=xls", wide.Path()));
    EXPECT_EQ(ReadBack(wide / "t.xls").substr(0, 20), "F1\tF2\tF3\tF4\tF5\tF6\tF7");
    EXPECT_NE(ReadBack(wide / "t.xls").find("\tF254\tF255\n"), std::string::npos);
}

// The workbook and the database take their cells' types from the fields, read back by openpyxl
// and the sqlite3 program; and what the formats' limits cut or refuse, the worksheet's among them.

#include <gtest/gtest.h>

#include "support/exported_formats.h"

using namespace quillet;
using namespace quillet::testing;

namespace {

// What openpyxl and sqlite3 find in the table's workbook and database.
std::string Typed(const OpenTable& table, const TempDir& dir) {
    ExportTable(table, SettingsFor("to=xlsx", dir.Path()));
    ExportTable(table, SettingsFor("to=sqlite", dir.Path()));
    const std::string base = (dir / table.TableBaseName).string();
    return Output("/usr/bin/python3 " + ShellQuoted(QUILLET_TEST_DATA "/../support/sheet_reader.py") + " typed " +
                  ShellQuoted(base + ".xlsx")) +
           Output("sqlite3 " + ShellQuoted(base + ".sqlite") + " .schema " + ShellQuoted(".mode quote") + " " +
                  ShellQuoted("select * from \"" + table.TableBaseName + "\""));
}

}  // namespace

// Long numbers, blanks, impossible and early dates, truths, control characters, a sheet name
// Excel would refuse; and the sample of every binary type.
TEST(ExportTyped, CellsTakeTheTypesOfTheirFields) {
    TempDir dir;
    TableBuilder edge;
    edge.Field("ACCOUNT", 'N', 20).Field("SMALL", 'N', 5).Field("PRICE", 'N', 8, 2).Field("PAID", 'L', 1);
    edge.Field("DAY", 'D', 8).Field("NOTE", 'C', 12).Field("select", 'C', 4).LanguageDriver(0x03);
    edge.Record({"12345678901234567890", "-42", "12.50", "T", "20240229", "a\x01" "b\tc\r\nd", "x"});
    edge.Record({"123456789012345", "", "", "?", "20230231", "", ""});
    edge.Record({"", "0", "-0.25", "f", "18991231", "caf\xE9", "y"});
    OpenTable edgeTable = OpenBuilt(edge, dir, "edge[1] of a name of 32 letters+.dbf");  // a sheet's name holds 31
    edgeTable.LastUpdate = {1980, 1, 31};  // the workbook's creation time: the first year it takes, a January
    ExpectGolden(Typed(edgeTable, dir) + Typed(OpenTableAt(QUILLET_SAMPLES_DIR "/types.dbf"), dir),
                 "exports/typed_cells.seen");
}

// A cell longer than a format keeps (a memo text) is cut, and the export says how many.
TEST(ExportTyped, TextsBeyondACellsLimitAreCutAndCounted) {
    TempDir dir;
    OpenTable table = OpenBuilt(TableBuilder().Field("F", 'C', 5).Record({"long"}).Record({"short"}), dir);
    constexpr std::uint32_t kWidth = 40000;
    table.Fields[0].Storage = FieldStorage::Derived;
    table.Fields[0].DerivedWidth = kWidth;
    table.Fields[0].DerivedText = std::string(kWidth, 'x') + "short" + std::string(kWidth - 5, ' ');
    for (const auto& [word, limit] : {std::pair{"xls", 255}, std::pair{"xlsx", 32767}}) {
        const ExportSettings settings = SettingsFor(std::string("to=") + word, dir.Path());
        const ExportResult result = ExportTable(table, settings);
        const std::string path = OutputPath(table, settings, settings.OutputFormat);
        EXPECT_EQ(result.Notes, std::vector<std::string>{"\"" + path + "\" was written, but 1 of its cells held more than " +
                                                         std::to_string(limit) +
                                                         " characters, the most this format keeps in a cell; the rest was cut off."});
        EXPECT_EQ(ReadBack(path), "F\n" + std::string(static_cast<std::size_t>(limit), 'x') + "\nshort\n");
    }
    EXPECT_TRUE(ExportTable(table, SettingsFor("to=sqlite", dir.Path())).Notes.empty());
}

TEST(ExportTyped, AWorkbookRefusesMoreRecordsThanASheetHolds) {
    TempDir dir;
    constexpr int kRecords = 1048576;
    std::string bytes = TableBuilder().Field("A", 'C', 1).RecordCount(kRecords).Bytes();
    bytes.pop_back();  // the end-of-file mark goes after the records
    for (int r = 0; r < kRecords; ++r) bytes += " a";
    WriteFileBytes(dir / "big.dbf", bytes);
    EXPECT_EQ(FailureOf(OpenTableAt(dir / "big.dbf"), SettingsFor("to=xlsx", dir.Path())),
              "Cannot write \"" + (dir / "big.xlsx").string() +
                  "\": an Excel workbook sheet holds at most 1048575 records below its header, and 1048576 are to be "
                  "written. Export the table as CSV instead.");
    EXPECT_EQ(FolderEntries(dir.Path()), std::set<std::string>{"big.dbf"});
}

// What a worksheet cannot hold: more rows or columns than a sheet has are refused before
// anything is written, with a message that suggests CSV; a field's longest text goes in whole.
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

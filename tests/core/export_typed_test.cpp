// The workbook and the database take their cells' types from the fields, read back by openpyxl
// and sqlite3; and both say what a format's limits cut or refuse.

#include <gtest/gtest.h>

#include <string>

#include "support/exported_formats.h"
#include "support/opened_table.h"

using namespace quillet;
using namespace quillet::testing;
using namespace std::string_literals;

namespace {

// The edge cells: long numbers, blanks, impossible and early dates, truths, control characters.
TableBuilder EdgeTable() {
    TableBuilder t;
    t.Field("ACCOUNT", 'N', 20).Field("SMALL", 'N', 5).Field("PRICE", 'N', 8, 2).Field("PAID", 'L', 1);
    t.Field("DAY", 'D', 8).Field("NOTE", 'C', 12).Field("select", 'C', 4);
    t.Record({"12345678901234567890", "-42", "12.50", "T", "20240229", "a\x01" "b\tc\r\nd", "x"});
    t.Record({"123456789012345", "", "", "?", "20230231", "", ""});
    t.Record({"", "0", "-0.25", "f", "18991231", "caf\xE9", "y"});
    return t;
}

std::string Dump(const OpenTable& table, const TempDir& dir) {
    const ExportSettings settings = SettingsInto(dir.Path());
    ExportXlsx(table, settings, {});
    ExportSqlite(table, settings, {});
    const std::string base = (dir / table.TableBaseName).string();
    return RunSheetReader("typed", ShellQuoted(base + ".xlsx")).Output + "\n" +
           RunProgram("sqlite3 " + ShellQuoted(base + ".sqlite") + " .schema " + ShellQuoted(".mode quote") + " " +
                      ShellQuoted("select * from \"" + table.TableBaseName + "\""))
               .Output;
}

}  // namespace

TEST(ExportTyped, CellsTakeTheTypesOfTheirFields) {
    TempDir dir;
    const OpenTable edge = OpenBuilt(EdgeTable().LanguageDriver(0x03), dir, "edge[1].dbf");
    const OpenTable types = OpenTableAt(QUILLET_SAMPLES_DIR "/types.dbf");
    EXPECT_EQ(Dump(edge, dir) + Dump(types, dir), ReadFileBytes(QUILLET_TEST_DATA_DIR "/typed_cells.txt"));
}

// A cell longer than a format keeps (memo texts will be) is cut, and the export says how many.
TEST(ExportTyped, TextsBeyondACellsLimitAreCutAndCounted) {
    TempDir dir;
    TableBuilder t;
    t.Field("F", 'C', 5).Record({"long"}).Record({"short"});
    OpenTable table = OpenBuilt(t, dir);
    constexpr std::uint32_t kWidth = 40000;
    table.Fields[0].Storage = FieldStorage::Derived;
    table.Fields[0].DerivedWidth = kWidth;
    table.Fields[0].DerivedText = std::string(kWidth, 'x') + "short" + std::string(kWidth - 5, ' ');
    const ExportSettings settings = SettingsInto(dir.Path());
    for (const auto& [kind, limit] : {std::pair{OutputFormat::Excel, 255}, std::pair{OutputFormat::Xlsx, 32767}}) {
        const ExportedFormat& format = ExportedFormats()[static_cast<std::size_t>(kind)];
        const ExportResult result = format.Export(table, settings, {});
        const std::string path = OutputPath(table, settings, kind);
        ASSERT_EQ(result.Notes.size(), 1u);
        EXPECT_EQ(result.Notes[0], "\"" + path + "\": 1 cell held more than " + std::to_string(limit) +
                                       " characters, the most this format keeps in a cell; the rest was cut off.");
        const Sheet sheet = format.Read(path);
        EXPECT_EQ(sheet.Rows.at(0).at(0).size(), static_cast<std::size_t>(limit));
    }
    EXPECT_TRUE(ExportSqlite(table, settings, {}).Notes.empty());
}

TEST(ExportTyped, AWorkbookRefusesMoreRecordsThanASheetHolds) {
    TempDir dir;
    constexpr int kRecords = 1048576;
    TableBuilder t;
    t.Field("A", 'C', 1).RecordCount(kRecords).EndMarker(false);
    std::string bytes = t.Bytes();
    for (int r = 0; r < kRecords; ++r) bytes += " a";
    std::ofstream(dir / "big.dbf", std::ios::binary) << bytes;
    const OpenTable table = OpenTableAt(dir / "big.dbf");
    EXPECT_EQ(FailureOf(ExportedFormats()[static_cast<std::size_t>(OutputFormat::Xlsx)], table, SettingsInto(dir.Path())),
              "Cannot write \"" + (dir / "big.xlsx").string() +
                  "\": an Excel workbook sheet holds at most 1048575 records below its header, and 1048576 are to be "
                  "written. Export the table as CSV instead.");
    EXPECT_EQ(FolderEntries(dir.Path()), std::set<std::string>{"big.dbf"});
}

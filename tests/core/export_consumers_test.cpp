// Faults found by reading outputs back through their consumers: what each format makes of NULs
// and line breaks, a table without a base name, a replaced file that is read-only, a symbolic
// link or has its own permissions, and a column selection longer than the table.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "support/exported_formats.h"
#include "support/opened_table.h"

using namespace quillet;
using namespace quillet::testing;
using namespace std::string_literals;

namespace {

std::string Visible(const std::string& text) {
    std::string out;
    for (char c : text) out += c == '\n' ? "\\n" : c == '\r' ? "\\r" : c == '\0' ? "\\0" : std::string(1, c);
    return out;
}

Sheet ExportAndRead(const ExportedFormat& format, const OpenTable& table, const ExportSettings& settings) {
    format.Export(table, settings, {});
    return format.Read(OutputPath(table, settings, format.Format));
}

}  // namespace

// Real tables pad text with NULs, and memo texts hold line breaks.
TEST(ExportConsumers, NulsAndLineBreaksInEveryFormat) {
    TempDir dir;
    TableBuilder t;
    t.Field("TEXT", 'C', 8).Field("CODE", 'C', 8).Record({"l\r\nf  ", "8116\0\0\0\0"s});
    const OpenTable table = OpenBuilt(t, dir);
    std::string got;
    for (const ExportedFormat& format : ExportedFormats()) {
        const Sheet sheet = ExportAndRead(format, table, SettingsInto(dir.Path()));
        got += format.Name;
        for (const std::string& cell : sheet.Rows.at(0)) got += " [" + Visible(cell) + "]";
        got += "\n";
    }
    ExportSettings unquoted = SettingsInto(dir.Path());
    unquoted.Delimited.QuoteItems = false;
    got += "Text unquoted [" + Visible(ExportedBytes(ExportText, ".txt", table, unquoted, dir)) + "]\n";
    EXPECT_EQ(got, ReadFileBytes(QUILLET_TEST_DATA_DIR "/nuls_and_line_breaks.txt"));
}

TEST(ExportConsumers, ATableNamedDotDbfIsWrittenAsTable) {
    TempDir dir;
    TableBuilder t;
    t.Field("A", 'C', 2).Record({"x"});
    const OpenTable table = OpenBuilt(t, dir, ".dbf");
    for (const ExportedFormat& format : ExportedFormats()) {
        SCOPED_TRACE(format.Name);
        const Sheet sheet = ExportAndRead(format, table, SettingsInto(dir.Path()));
        EXPECT_EQ(std::filesystem::path(OutputPath(table, SettingsInto(dir.Path()), format.Format)).stem(), "table");
        EXPECT_EQ(sheet.Rows, (std::vector<std::vector<std::string>>{{"x"}}));
    }
}

// A read-only file is refused, even for root; a link is written through to its file, which
// keeps its permissions.
TEST(ExportConsumers, ReplacingReadOnlyLinkedAndPrivateFiles) {
    TempDir dir, elsewhere;
    TableBuilder t;
    t.Field("A", 'C', 2).Record({"x"});
    const OpenTable table = OpenBuilt(t, dir);
    const ExportSettings settings = SettingsInto(dir.Path());
    for (const ExportedFormat& format : ExportedFormats()) {
        SCOPED_TRACE(format.Name);
        const std::filesystem::path target = OutputPath(table, settings, format.Format);
        std::ofstream(target) << "earlier";
        std::filesystem::permissions(target, std::filesystem::perms(0444));
        const std::set<std::string> before = FolderEntries(dir.Path());
        const std::string message = FailureOf(format, table, settings);
        EXPECT_EQ(message, "Cannot write \"" + target.string() + "\": the file is marked read-only.");
        EXPECT_EQ(ReadFileBytes(target), "earlier");
        EXPECT_EQ(FolderEntries(dir.Path()), before);

        const std::filesystem::path real = elsewhere / ("real" + target.extension().string());
        std::ofstream(real) << "earlier";
        std::filesystem::permissions(real, std::filesystem::perms(0640));
        std::filesystem::remove(target);
        std::filesystem::create_symlink(real, target);
        format.Export(table, settings, {});
        EXPECT_TRUE(std::filesystem::is_symlink(target));
        EXPECT_EQ(format.Read(target).Rows.size(), 1u);
        struct stat info {};
        ::stat(real.c_str(), &info);
        EXPECT_EQ(info.st_mode & 07777, 0640u);
        std::filesystem::remove(real);
        EXPECT_TRUE(FolderEntries(elsewhere.Path()).empty());
    }
}

// ReadTable keeps the columns the caller listed for an earlier table of more fields.
TEST(ExportConsumers, ColumnsListedBeyondTheTableAreLeftOut) {
    TempDir dir;
    TableBuilder wide, narrow;
    wide.Field("A", 'C', 2).Field("B", 'C', 2).Field("C", 'C', 2).Field("D", 'C', 2);
    narrow.Field("X", 'C', 2).Field("Y", 'N', 3).Record({"x", "7"});
    OpenTable table = OpenBuilt(wide, dir, "wide.dbf");
    narrow.WriteTo(dir / "narrow.dbf");
    ReadTable((dir / "narrow.dbf").string(), table);
    ASSERT_EQ(table.ColumnCount, 4);
    for (const ExportedFormat& format : ExportedFormats()) {
        SCOPED_TRACE(format.Name);
        const Sheet sheet = ExportAndRead(format, table, SettingsInto(dir.Path()));
        EXPECT_EQ(sheet.Names, format.NamesInFile({"X", "Y"}));
        EXPECT_EQ(sheet.Rows, (std::vector<std::vector<std::string>>{{"x", "7"}}));
    }
}

TEST(ExportConsumers, LibreOfficeKeepsAnRtfLineBreak) {
    if (RunProgram("command -v soffice").ExitCode != 0) GTEST_SKIP() << "no LibreOffice (soffice) to read the RTF";
    TempDir dir;
    TableBuilder t;
    t.Field("TEXT", 'C', 4).Record({"l\nf"});
    const OpenTable table = OpenBuilt(t, dir);
    ExportRtf(table, SettingsInto(dir.Path()), {});
    const ProgramRun run = RunProgram("cd " + ShellQuoted(dir.Path().string()) + " && soffice --headless --convert-to txt t.rtf");
    ASSERT_EQ(run.ExitCode, 0) << run.Output;
    EXPECT_NE(ReadFileBytes(dir / "t.txt").find("l\nf"), std::string::npos);
}

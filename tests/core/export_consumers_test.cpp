// Faults found by reading outputs back through their consumers: what each format makes of NULs
// and line breaks, a table without a base name, a replaced file that is read-only, a symbolic
// link or has its own permissions, and a column selection longer than the table.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/exported_formats.h"

using namespace quillet;
using namespace quillet::testing;
using namespace std::string_literals;

// Real tables pad text with NULs, and memo texts hold line breaks.
TEST(ExportConsumers, NulsAndLineBreaksInEveryFormat) {
    TempDir dir;
    const OpenTable table =
        OpenBuilt(TableBuilder().Field("TEXT", 'C', 8).Field("CODE", 'C', 8).Record({"l\r\nf  ", "8116\0\0\0\0"s}), dir);
    std::string seen;
    for (const ExportedFormat& format : ExportedFormats()) {
        const ExportSettings settings = SettingsFor(WordsFor(format), dir.Path());
        ExportTable(table, settings);
        seen += std::string("== ") + format.Word + "\n" + ReadBack(OutputPath(table, settings, settings.OutputFormat));
    }
    seen += "== txt no-quotes\n" + Exported(table, SettingsFor("to=txt no-quotes", dir.Path()));
    ExpectGolden(seen, "exports/nuls_and_line_breaks.seen");
}

TEST(ExportConsumers, ATableNamedDotDbfIsWrittenAsTable) {
    TempDir dir;
    const OpenTable table = OpenBuilt(TableBuilder().Field("A", 'C', 2).Record({"x"}), dir, ".dbf");
    for (const ExportedFormat& format : ExportedFormats()) {
        const ExportSettings settings = SettingsFor(WordsFor(format), dir.Path());
        ExportTable(table, settings);
        EXPECT_EQ(ReadBack(dir / (std::string("table.") + format.Word)), "A\nx\n") << format.Word;
    }
}

// A read-only file is refused, even for root; a link is written through to its file, which
// keeps its permissions.
TEST(ExportConsumers, ReplacingReadOnlyLinkedAndPrivateFiles) {
    TempDir dir, elsewhere;
    const OpenTable table = OpenBuilt(TableBuilder().Field("A", 'C', 2).Record({"x"}), dir);
    for (const ExportedFormat& format : ExportedFormats()) {
        SCOPED_TRACE(format.Word);
        const ExportSettings settings = SettingsFor(WordsFor(format), dir.Path());
        const std::filesystem::path target = OutputPath(table, settings, settings.OutputFormat);
        WriteFileBytes(target, "earlier");
        std::filesystem::permissions(target, std::filesystem::perms(0444));
        const auto before = FolderEntries(dir.Path());
        EXPECT_EQ(FailureOf(table, settings), "Cannot write \"" + target.string() + "\": the file is marked read-only.");
        EXPECT_EQ(ReadFileBytes(target), "earlier");
        EXPECT_EQ(FolderEntries(dir.Path()), before);

        const std::filesystem::path real = elsewhere / (std::string("real.") + format.Word);
        WriteFileBytes(real, "earlier");
        std::filesystem::permissions(real, std::filesystem::perms(0640));
        std::filesystem::remove(target);
        std::filesystem::create_symlink(real, target);
        ExportTable(table, settings);
        EXPECT_TRUE(std::filesystem::is_symlink(target));
        EXPECT_EQ(ReadBack(target), "A\nx\n");
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
    OpenTable table = OpenBuilt(TableBuilder().Field("A", 'C', 2).Field("B", 'C', 2).Field("C", 'C', 2).Field("D", 'C', 2), dir, "w.dbf");
    TableBuilder().Field("X", 'C', 2).Field("Y", 'N', 3).Record({"x", "7"}).WriteTo(dir / "narrow.dbf");
    ReadTable((dir / "narrow.dbf").string(), table);
    ASSERT_EQ(table.ColumnCount, 4);
    for (const ExportedFormat& format : ExportedFormats()) {
        const ExportSettings settings = SettingsFor(WordsFor(format), dir.Path());
        ExportTable(table, settings);
        EXPECT_EQ(ReadBack(OutputPath(table, settings, settings.OutputFormat)), "X\tY\nx\t7\n") << format.Word;
    }
}

TEST(ExportConsumers, LibreOfficeKeepsAnRtfLineBreak) {
    if (std::system("command -v soffice >/dev/null") != 0) GTEST_SKIP() << "no LibreOffice (soffice) to read the RTF";
    TempDir dir;
    const OpenTable table = OpenBuilt(TableBuilder().Field("TEXT", 'C', 4).Record({"l\nf"}), dir);
    ExportTable(table, SettingsFor("to=rtf", dir.Path()));
    Output("cd " + ShellQuoted(dir.Path().string()) + " && soffice --headless --convert-to txt t.rtf");
    EXPECT_NE(ReadFileBytes(dir / "t.txt").find("l\nf"), std::string::npos);
}

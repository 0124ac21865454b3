#include <gtest/gtest.h>

#include <string>

#include "export/document_templates.h"
#include "export/exporters.h"
#include "support/opened_table.h"

using namespace quillet;
using namespace std::string_literals;
using quillet::testing::ExportedBytes;
using quillet::testing::OpenBuilt;
using quillet::testing::SettingsInto;
using quillet::testing::TableBuilder;
using quillet::testing::TempDir;

namespace {

std::string Rtf(const OpenTable& table, const ExportSettings& settings, const TempDir& dir) {
    return ExportedBytes(ExportRtf, ".rtf", table, settings, dir);
}

std::string Head() { return std::string(RtfHead) + "\r\n"; }

// The row block of the given cell lines (each already ending in "\cell ").
std::string Block(int cells, const std::string& cellLines) {
    std::string boundaries;
    for (int k = 1; k <= cells; ++k) boundaries += "\\cellx" + std::to_string(k) + "\r\n";
    return "\\trowd\\trautofit1\\intbl\r\n" + boundaries + "{\r\n" + cellLines + "}\r\n{\r\n" +
           "\\trowd\\trautofit1\\intbl\r\n" + boundaries + "\\row }\r\n";
}

// Group depth of an RTF text, honouring escapes; -1 when a group closes that never opened.
int FinalDepth(const std::string& rtf) {
    int depth = 0;
    for (std::size_t i = 0; i < rtf.size(); ++i) {
        if (rtf[i] == '\\') {
            ++i;
        } else if (rtf[i] == '{') {
            ++depth;
        } else if (rtf[i] == '}' && --depth < 0) {
            return -1;
        }
    }
    return depth;
}

}  // namespace

TEST(RtfExport, HeadAndTheWorkedHeaderBlock) {
    EXPECT_EQ(RtfHead.size(), 1532u);
    EXPECT_TRUE(RtfHead.starts_with("{\\rtf1\\adeflang1025\\ansi\\ansicpg1252\\uc1"));
    EXPECT_TRUE(RtfHead.ends_with("\\red128\\green128\\blue128;\\red192\\green192\\blue192;}"));
    EXPECT_EQ(FinalDepth(std::string(RtfHead)), 1);

    TempDir dir;
    TableBuilder t;
    t.Field("NAME", 'C', 10).Field("CITY", 'C', 10).Record({"Smith", "Leeds"});
    const OpenTable table = OpenBuilt(t, dir);
    const std::string twelveLines =
        "\\trowd\\trautofit1\\intbl\r\n"
        "\\cellx1\r\n"
        "\\cellx2\r\n"
        "{\r\n"
        "NAME\\cell \r\n"
        "CITY\\cell \r\n"
        "}\r\n"
        "{\r\n"
        "\\trowd\\trautofit1\\intbl\r\n"
        "\\cellx1\r\n"
        "\\cellx2\r\n"
        "\\row }\r\n";
    const std::string file = Rtf(table, SettingsInto(dir.Path()), dir);
    EXPECT_EQ(file, Head() + twelveLines + Block(2, "Smith\\cell \r\nLeeds\\cell \r\n") + "}\r\n");
    EXPECT_EQ(FinalDepth(file), 0);
}

TEST(RtfExport, CellsEmptyCellsAndSelection) {
    TempDir dir;
    TableBuilder t;
    t.Field("A", 'C', 8).Field("B", 'N', 4).Field("C", 'L', 1);
    t.Record({"   ", "", "T"}).Record({" a\0b\rc\nd "s, "7", "?"});
    OpenTable table = OpenBuilt(t, dir);
    ExportSettings settings = SettingsInto(dir.Path());
    settings.Rtf.IncludeHeader = false;
    EXPECT_EQ(Rtf(table, settings, dir),
              Head() + Block(3, " \\cell \r\n0\\cell \r\nTrue\\cell \r\n") +
                  Block(3, "abc\\line d\\cell \r\n7\\cell \r\nFalse\\cell \r\n") + "}\r\n");

    table.ColumnSelected = {0, 0, 0};
    settings.Rtf.IncludeHeader = true;
    EXPECT_EQ(Rtf(table, settings, dir), Head() + Block(0, "") + Block(0, "") + Block(0, "") + "}\r\n");

    table.ColumnSelected = {1, 1, 1};
    settings.Rtf.IncludeHeader = false;
    settings.RecordFilter = RecordFilter::OnlyDeleted;
    EXPECT_EQ(Rtf(table, settings, dir), Head() + "}\r\n");
}

TEST(RtfExport, BackslashesAndBracesAreEscapedSoTheDocumentHoldsTogether) {
    TempDir dir;
    TableBuilder t;
    t.Field("A{B}", 'C', 24).Field("C\\D", 'C', 24);
    t.Record({"}}} \\par {", "caf\xE9 \\'e9"});
    const OpenTable table = OpenBuilt(t, dir);
    const std::string file = Rtf(table, SettingsInto(dir.Path()), dir);
    EXPECT_EQ(file, Head() + Block(2, "A\\{B\\}\\cell \r\nC\\\\D\\cell \r\n") +
                        Block(2, "\\}\\}\\} \\\\par \\{\\cell \r\ncaf\xE9 \\\\'e9\\cell \r\n") + "}\r\n");
    EXPECT_EQ(FinalDepth(file), 0);
}

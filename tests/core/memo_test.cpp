// Memo files, sound and damaged: each case is one table of one memo cell and its memo file.

#include <gtest/gtest.h>

#include "support/files.h"
#include "support/table_builder.h"
#include "table/cell_text.h"
#include "table/read_table.h"

using namespace quillet;
using namespace quillet::testing;

TEST(Memo, EachCellShowsItsMemoOrStaysEmptyWithOneWarning) {
    for (auto row : DataRows(QUILLET_TEST_DATA "/memo/cases.tsv")) {
        row.resize(7);
        const std::string &version = row[1], &memoFile = row[4], &shown = row[5], &warning = row[6];
        SCOPED_TRACE(row[0]);
        TableBuilder t;
        t.Version(static_cast<std::uint8_t>(HexBytes(version)[0])).Field("NAME", 'C', 3);
        t.Field("NOTE", row[2].at(0), version == "30" ? 4 : 10);
        t.Record({"abc", TextBytes(row[3])});
        const std::string memo = Changed("", memoFile);
        const std::string_view memoView(memo);
        const OpenTable table = ReadTableBytes(t.Bytes(), "t.dbf", {}, memoFile == "none" ? nullptr : &memoView);
        const CellValue cell = table.Cell(0, 1);
        EXPECT_EQ(cell.Kind == CellKind::Binary ? BinaryCellText(cell.ByteSize) : CellText(cell, '.'),
                  Changed("", shown));
        EXPECT_EQ(table.Warnings, warning.empty() ? std::vector<std::string>{} : std::vector<std::string>{warning});
        EXPECT_EQ(CellText(table.Cell(0, 0), '.'), "abc");
    }
}

TEST(Memo, TheMemoFileIsFoundWhateverTheCaseOfItsName) {
    TempDir dir;
    TableBuilder t;
    t.Version(0xF5).Field("NOTE", 'M', 10).Record({"8"}).Record({"9"}).WriteTo(dir / "t.dbf");
    // Blocks of 64 bytes: "found" in block 8, "too" in block 9.
    WriteFileBytes(dir / "T.FPT", Changed("", R"(fill=512:\x00 @6=0040 append=0000000100000005 text=found )"
                                              R"(fill=51:\x00 append=0000000100000003 text=too)"));
    const OpenTable table = ReadTableFile((dir / "t.dbf").string());
    EXPECT_EQ(CellText(table.Cell(0, 0), '.'), "found");
    EXPECT_EQ(CellText(table.Cell(1, 0), '.'), "too");
    EXPECT_EQ(table.MemoPath, (dir / "T.FPT").string());
    EXPECT_TRUE(table.Warnings.empty());
}

#include <gtest/gtest.h>

#include <filesystem>

#include "export/excel_file_v2.h"
#include "export/export_error.h"
#include "support/hex.h"
#include "support/table_builder.h"
#include "support/xlrd_sheet.h"

using namespace quillet;
using quillet::testing::Hex;
using quillet::testing::ReadFileBytes;
using quillet::testing::TempDir;
using quillet::testing::XlrdSheet;

namespace {

constexpr const char* kHead = "09 00 04 00 02 00 10 00 42 00 02 00 E4 04";
constexpr const char* kTail = "0A 00 00 00";

// The bytes one cell call adds between the head (BOF, CODEPAGE) and EOF.
template <typename Write>
std::string CellBytes(TempDir& dir, Write write) {
    const auto path = dir / "cell.xls";
    ExcelFileV2 sheet;
    sheet.OpenFile(path.string());
    write(sheet);
    sheet.CloseFile();
    const std::string bytes = ReadFileBytes(path);
    EXPECT_EQ(Hex(bytes.substr(0, 14)), kHead);
    EXPECT_EQ(Hex(bytes.substr(bytes.size() - 4)), kTail);
    return bytes.substr(14, bytes.size() - 18);
}

}  // namespace

TEST(ExcelFileV2, WholeFilesOfTheWorkedExamples) {
    TempDir dir;
    {
        ExcelFileV2 sheet;
        sheet.OpenFile((dir / "abc.xls").string());
        sheet.EWriteString(1, 1, "abc");
        sheet.CloseFile();
    }
    const std::string abc = ReadFileBytes(dir / "abc.xls");
    EXPECT_EQ(abc.size(), 33u);
    EXPECT_EQ(Hex(abc),
              "09 00 04 00 02 00 10 00 42 00 02 00 E4 04 04 00 0B 00 00 00 00 00 00 00 00 03 61 62 63 0A 00 00 00");
    EXPECT_EQ(XlrdSheet(dir / "abc.xls"), "encoding cp1252\n1 1 text abc\n");

    {
        ExcelFileV2 sheet;
        sheet.OpenFile((dir / "none.xls").string());
        sheet.CloseFile();
    }
    EXPECT_EQ(Hex(ReadFileBytes(dir / "none.xls")), "09 00 04 00 02 00 10 00 42 00 02 00 E4 04 0A 00 00 00");
    EXPECT_EQ(XlrdSheet(dir / "none.xls"), "encoding cp1252\n");
}

TEST(ExcelFileV2, CellRecordsAreLaidOutPacked) {
    TempDir dir;
    EXPECT_EQ(Hex(CellBytes(dir, [](ExcelFileV2& s) { s.EWriteInteger(2, 3, 7); })),
              "02 00 09 00 01 00 02 00 00 00 00 07 00");
    EXPECT_EQ(Hex(CellBytes(dir, [](ExcelFileV2& s) { s.EWriteInteger(1, 1, 65535); })),
              "02 00 09 00 00 00 00 00 00 00 00 FF FF");
    EXPECT_EQ(Hex(CellBytes(dir, [](ExcelFileV2& s) { s.EWriteDouble(2, 1, 1.5); })),
              "03 00 0F 00 01 00 00 00 00 00 00 00 00 00 00 00 00 F8 3F");
    EXPECT_EQ(Hex(CellBytes(dir, [](ExcelFileV2& s) { s.EWriteDouble(1, 1, 12.25); })).substr(33),
              "00 00 00 00 00 80 28 40");
    EXPECT_EQ(Hex(CellBytes(dir, [](ExcelFileV2& s) { s.EWriteString(300, 20, ""); })),
              "04 00 08 00 2B 01 13 00 00 00 00 00");
    // Each record carries only its own call's fields, whatever came before.
    EXPECT_EQ(Hex(CellBytes(dir,
                            [](ExcelFileV2& s) {
                                s.EWriteString(9, 9, "long text");
                                s.EWriteString(1, 2, "x");
                            })
                      .substr(21)),
              "04 00 09 00 00 00 01 00 00 00 00 01 78");
}

TEST(ExcelFileV2, TextsAreCutAt255Bytes) {
    TempDir dir;
    const std::string full(255, 'w');
    const std::string bytes = CellBytes(dir, [&](ExcelFileV2& s) {
        s.EWriteString(1, 1, full);
        s.EWriteString(2, 1, full + "zzz");
        s.EWriteString(3, 1, "after");
    });
    ASSERT_EQ(bytes.size(), 267u + 267u + 17u);
    EXPECT_EQ(Hex(bytes.substr(0, 12)), "04 00 07 01 00 00 00 00 00 00 00 FF");
    EXPECT_EQ(bytes.substr(12, 255), full);
    EXPECT_EQ(Hex(bytes.substr(267, 12)), "04 00 07 01 01 00 00 00 00 00 00 FF");
    EXPECT_EQ(bytes.substr(279, 255), full);
    EXPECT_EQ(bytes.substr(534 + 12), "after");

}

TEST(ExcelFileV2, CodePageRecordNamesTheTextsEncoding) {
    TempDir dir;
    const auto path = dir / "cyrillic.xls";
    ExcelFileV2 sheet;
    sheet.OpenFile(path.string(), 1251);
    sheet.EWriteString(1, 1, "\xCF\xF0\xE8\xE2\xE5\xF2");
    sheet.CloseFile();
    EXPECT_EQ(Hex(ReadFileBytes(path).substr(0, 14)), "09 00 04 00 02 00 10 00 42 00 02 00 E3 04");
    EXPECT_EQ(XlrdSheet(path), "encoding cp1251\n1 1 text Привет\n");
}

TEST(ExcelFileV2, FailureNamesThePathAndLeavesNoFile) {
    TempDir dir;
    const auto missing = dir / "no-such-folder" / "t.xls";
    try {
        ExcelFileV2 sheet;
        sheet.OpenFile(missing.string());
        FAIL() << "opened a file in a missing folder";
    } catch (const ExportError& e) {
        EXPECT_NE(std::string(e.what()).find(missing.string()), std::string::npos) << e.what();
    }

    // A writer dropped before CloseFile (its caller failed) leaves the earlier file as it was.
    const auto path = dir / "t.xls";
    { std::ofstream(path) << "earlier"; }
    {
        ExcelFileV2 sheet;
        sheet.OpenFile(path.string());
        sheet.EWriteString(1, 1, "half");
    }
    EXPECT_EQ(ReadFileBytes(path), "earlier");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

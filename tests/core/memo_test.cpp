// Memo files, sound and damaged: each case is one table of one memo cell and its memo file.

#include <gtest/gtest.h>

#include <optional>

#include "support/files.h"
#include "support/table_builder.h"
#include "table/cell_text.h"
#include "table/read_table.h"

using namespace quillet;
using namespace quillet::testing;

namespace {

std::string BE(std::uint64_t value, int size) {
    const std::string little = TableBuilder::LE(value, size);
    return {little.rbegin(), little.rend()};
}

// FoxPro: a 512-byte header naming the block size, then memos (type, length, bytes) from block 512 / size on.
std::string Fpt(std::uint32_t blockSize, const std::string& memos) {
    return BE(0, 4) + BE(0, 2) + BE(blockSize, 2) + std::string(504, '\0') + memos;
}
std::string FptMemo(std::uint32_t type, const std::string& text, std::uint64_t length = ~0ull) {
    return BE(type, 4) + BE(length == ~0ull ? text.size() : length, 4) + text;
}
// dBASE: a 512-byte header with the block size at byte 20 (dBASE IV and later), then the memos.
std::string Dbt(const std::string& memos) { return std::string(20, '\0') + TableBuilder::LE(512, 2) + std::string(490, '\0') + memos; }
std::string Dbt4Memo(const std::string& text, std::uint32_t length) {
    return std::string("\xFF\xFF\x08\x00", 4) + TableBuilder::LE(length, 4) + text + "tail";
}

struct MemoCase {
    const char* What;
    std::uint8_t Version;
    char Type;
    std::string Pointer;
    std::optional<std::string> MemoFile;
    std::string Shown;  // CellText, or BinaryCellText for binary memos
    const char* Warning;
};

}  // namespace

TEST(Memo, EachCellShowsItsMemoOrStaysEmptyWithOneWarning) {
    const std::string text = FptMemo(1, "two\r\nlines");
    const std::string unreadable = "1 memo in \"t.fpt\" could not be read and is shown empty.";
    const MemoCase cases[] = {
        {"FoxPro text", 0xF5, 'M', "8", Fpt(64, text), "two\r\nlines", ""},
        {"FoxPro picture in a memo field", 0xF5, 'M', "8", Fpt(64, FptMemo(0, "\x89PNG")), "(binary, 4 bytes)", ""},
        {"general field", 0xF5, 'G', "8", Fpt(64, text), "(binary, 10 bytes)", ""},
        {"Visual FoxPro 4-byte pointer", 0x30, 'M', TableBuilder::LE(8, 4), Fpt(64, text), "two\r\nlines", ""},
        {"blank pointer, no memo file", 0xF5, 'M', "", std::nullopt, "", ""},
        {"missing memo file", 0xF5, 'M', "8", std::nullopt, "", "The memo file \"t.fpt\" is missing. 1 memo is shown empty."},
        {"pointer past the end", 0xF5, 'M', "99", Fpt(64, text), "", unreadable.c_str()},
        {"pointer not a number", 0xF5, 'M', "8x", Fpt(64, text), "", unreadable.c_str()},
        {"block size 0", 0xF5, 'M', "8", Fpt(0, text), "", unreadable.c_str()},
        {"block size 1: memos placed to the byte", 0xF5, 'M', "512", Fpt(1, text), "two\r\nlines", ""},
        {"length 2^31", 0xF5, 'M', "8", Fpt(64, FptMemo(1, "abc", 1ull << 31)), "", unreadable.c_str()},
        {"cut short", 0xF5, 'M', "8", Fpt(64, text).substr(0, 512 + 12), "", unreadable.c_str()},
        {"dBASE III text up to 0x1A", 0x83, 'M', "1", std::string(512, '\0') + "first\r\n\x1A\x1Agarbage", "first\r\n", ""},
        {"dBASE III text to the end of the file", 0x83, 'M', "1", std::string(512, '\0') + "no marker", "no marker", ""},
        {"dBASE III text longer than a read", 0x83, 'M', "1", std::string(512, '\0') + std::string(300000, 'y') + "\x1A", std::string(300000, 'y'), ""},
        {"dBASE IV text of its length", 0x8B, 'M', "1", Dbt(Dbt4Memo("hello", 13)), "hello", ""},
        {"dBASE IV binary memo", 0x8B, 'B', "1", Dbt(Dbt4Memo("hello", 13)), "(binary, 5 bytes)", ""},
        {"dBASE IV length below its header", 0x8B, 'M', "1", Dbt(Dbt4Memo("hello", 7)), "",
         "1 memo in \"t.dbt\" could not be read and is shown empty."},
        {"dBASE IV length past the end", 0x8B, 'M', "1", Dbt(Dbt4Memo("hello", 1u << 31)), "",
         "1 memo in \"t.dbt\" could not be read and is shown empty."},
    };
    for (const MemoCase& c : cases) {
        SCOPED_TRACE(c.What);
        TableBuilder t;
        t.Version(c.Version).Field("NAME", 'C', 3).Field("NOTE", c.Type, static_cast<std::uint8_t>(c.Version == 0x30 ? 4 : 10));
        t.Record({"abc", c.Pointer});
        const std::string_view memo = c.MemoFile ? std::string_view(*c.MemoFile) : std::string_view();
        const OpenTable table = ReadTableBytes(t.Bytes(), "t.dbf", {}, c.MemoFile ? &memo : nullptr);
        const CellValue cell = table.Cell(0, 1);
        EXPECT_EQ(cell.Kind == CellKind::Binary ? BinaryCellText(cell.ByteSize) : CellText(cell, '.'), c.Shown);
        EXPECT_EQ(table.Warnings, std::string(c.Warning).empty() ? std::vector<std::string>{} : std::vector<std::string>{c.Warning});
        EXPECT_EQ(CellText(table.Cell(0, 0), '.'), "abc");
    }
}

TEST(Memo, TheMemoFileIsFoundWhateverTheCaseOfItsName) {
    TempDir dir;
    TableBuilder t;
    t.Version(0xF5).Field("NOTE", 'M', 10).Record({"8"}).Record({"9"}).WriteTo(dir / "t.dbf");
    std::ofstream(dir / "T.FPT", std::ios::binary) << Fpt(64, FptMemo(1, "found") + std::string(51, '\0') + FptMemo(1, "too"));
    const OpenTable table = ReadTableFile((dir / "t.dbf").string());
    EXPECT_EQ(CellText(table.Cell(0, 0), '.'), "found");
    EXPECT_EQ(CellText(table.Cell(1, 0), '.'), "too");
    EXPECT_EQ(table.MemoPath, (dir / "T.FPT").string());
    EXPECT_TRUE(table.Warnings.empty());
}

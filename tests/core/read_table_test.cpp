#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "support/table_builder.h"
#include "table/cell_text.h"
#include "table/read_table.h"

using namespace quillet;
using quillet::testing::TableBuilder;
using quillet::testing::TempDir;

namespace {

OpenTable Read(const TableBuilder& builder, TempDir& dir, const std::string& name = "t.dbf") {
    builder.WriteTo(dir / name);
    return ReadTableFile((dir / name).string());
}

std::string Text(const OpenTable& t, std::int64_t r, int f) { return CellText(t.Cell(r, f), '.'); }

TableBuilder TwoFields() {
    TableBuilder t;
    t.Field("NAME", 'C', 10).Field("BORN", 'D', 8);
    return t;
}

}  // namespace

TEST(ReadTable, VersionTableGivesTextsAndRejectsOthers) {
    TempDir dir;
    const std::pair<std::uint8_t, const char*> known[] = {
        {0x02, "FoxBASE"},
        {0x03, "FoxBASE+/Dbase III plus, no memo"},
        {0x30, "Visual FoxPro"},
        {0x31, "Visual FoxPro, autoincrement enabled"},
        {0x32, "Visual FoxPro with field type Varchar or Varbinary"},
        {0x43, "dBASE IV SQL table files, no memo"},
        {0x63, "dBASE IV SQL system files, no memo"},
        {0x83, "FoxBASE+/dBASE III PLUS, with memo"},
        {0x8B, "dBASE IV with memo"},
        {0xCB, "dBASE IV SQL table files, with memo"},
        {0xF5, "FoxPro 2.x (or earlier) with memo"},
        {0xE5, "HiPer-Six format with SMT memo file"},
        {0xFB, "FoxBASE"},
    };
    for (const auto& [byte, text] : known) {
        EXPECT_EQ(Read(TwoFields().Version(byte), dir).VersionText, text) << int(byte);
    }
    int accepted = 0;
    for (int byte = 0; byte < 256; ++byte) {
        accepted += VersionTextOf(static_cast<std::uint8_t>(byte)) != nullptr;
    }
    EXPECT_EQ(accepted, 16);

    try {
        Read(TwoFields().Version(0x05), dir);
        FAIL() << "version 0x05 was accepted";
    } catch (const TableError& e) {
        EXPECT_EQ(e.ErrorKind(), TableError::Kind::UnknownVersion);
        EXPECT_EQ(std::string(e.what()), std::string("This is not a dBASE III file & ") + '\x05');
    }
}

TEST(ReadTable, RejectedFileLeavesPreviousTableWhole) {
    TempDir dir;
    TwoFields().Record({"Alice", "20031231"}).WriteTo(dir / "good.dbf");
    OpenTable table;
    ReadTable((dir / "good.dbf").string(), table);
    table.ListColumns();
    table.SetSource((dir / "good.dbf").string());
    table.ColumnSelected[1] = 0;
    const TableHeader before = table.Header;

    TableBuilder bad;
    bad.Version(0x05).Field("OTHER", 'N', 5).Record({"1"}).Record({"2"});
    bad.WriteTo(dir / "bad.dbf");
    EXPECT_THROW(ReadTable((dir / "bad.dbf").string(), table), TableError);
    EXPECT_THROW(ReadTable((dir / "missing.dbf").string(), table), TableError);

    EXPECT_EQ(table.Header.Version, before.Version);
    EXPECT_EQ(table.Header.RecordCount, 1);
    EXPECT_EQ(table.FieldNames, (std::vector<std::string>{"NAME", "BORN"}));
    EXPECT_EQ(Text(table, 0, 0), "Alice     ");
    EXPECT_EQ(table.TableBaseName, "good");
    EXPECT_EQ(table.ColumnSelected, (std::vector<std::uint8_t>{1, 0}));

    ReadTable("", table);  // nothing happens
    EXPECT_EQ(table.TableBaseName, "good");
}

TEST(ReadTable, MissingPathOrFolderCreatesNothingAndNamesThePath) {
    TempDir dir;
    const std::string missing = (dir / "nothing.dbf").string();
    try {
        ReadTableFile(missing);
        FAIL();
    } catch (const TableError& e) {
        EXPECT_EQ(e.ErrorKind(), TableError::Kind::CannotOpen);
        EXPECT_NE(std::string(e.what()).find(missing), std::string::npos);
        EXPECT_NE(std::string(e.what()).find("No such file"), std::string::npos);
    }
    EXPECT_FALSE(std::filesystem::exists(missing));

    try {
        ReadTableFile(dir.Path().string());
        FAIL();
    } catch (const TableError& e) {
        EXPECT_NE(std::string(e.what()).find("folder"), std::string::npos);
    }
}

TEST(ReadTable, LastUpdateDates) {
    TempDir dir;
    const std::array<std::array<int, 6>, 5> cases = {{
        {5, 1, 31, 2005, 1, 31},
        {99, 12, 31, 1999, 12, 31},
        {19, 6, 1, 2019, 6, 1},
        {124, 2, 29, 2024, 2, 29},
        {0, 13, 40, 2000, 13, 40},
    }};
    for (const auto& c : cases) {
        const OpenTable t = Read(TwoFields().Date(c[0], c[1], c[2]), dir);
        EXPECT_EQ(t.LastUpdate.Year, c[3]);
        EXPECT_EQ(t.LastUpdate.Month, c[4]);
        EXPECT_EQ(t.LastUpdate.Day, c[5]);
    }
}

TEST(ReadTable, FieldNamesAreCleaned) {
    TempDir dir;
    TableBuilder t;
    t.Field(std::string("CODE\0\0\0\0\0\0\0", 11), 'C', 1)
        .Field("           ", 'C', 1)
        .Field(std::string(" A\rB\0C ", 7), 'C', 1)
        .Field(std::string("\0\0X", 3), 'C', 1);
    const OpenTable table = Read(t, dir);
    EXPECT_EQ(table.FieldNames, (std::vector<std::string>{"CODE", "", "AB", ""}));
}

TEST(ReadTable, TwoFieldHeaderAndRecordLayout) {
    TempDir dir;
    const OpenTable t = Read(TwoFields().Record({"Alice", "20031231"}).Deleted({"Bob", ""}), dir);
    EXPECT_EQ(t.Header.HeaderLength, 97);
    EXPECT_EQ(t.Header.RecordLength, 19);
    EXPECT_EQ(t.FieldCount, 2);
    EXPECT_EQ(t.RecordCount(), 2);
    EXPECT_EQ(Text(t, 0, 0), "Alice     ");  // trailing blanks kept
    EXPECT_EQ(Text(t, 0, 1), "20031231");    // dates are not reformatted
    EXPECT_FALSE(t.IsDeleted(0));
    EXPECT_TRUE(t.IsDeleted(1));
}

TEST(ReadTable, NumericAndLogicalFields) {
    TempDir dir;
    TableBuilder t;
    t.Field("AMOUNT", 'N', 8, 2).Field("RATE", 'F', 10, 3).Field("OK", 'L', 1).Field("DIV", 'N', 6, '2');
    for (const char* truth : {"T", "Y", "F", "N", "t", "y", "?", " "}) t.Record({"   12.50", "-3", truth, "125"});
    t.Record({"", "abc", "", "1 2"});
    const OpenTable table = Read(t, dir);
    EXPECT_EQ(table.Cell(0, 0).Kind, CellKind::Number);
    EXPECT_EQ(table.Cell(0, 0).Number, 12.5);  // the binary decimal count divides by 1
    EXPECT_EQ(table.Cell(0, 1).Number, -3);
    EXPECT_EQ(table.Cell(0, 3).Number, 1.25);  // a digit character divides
    const bool expected[] = {true, true, false, false, false, false, false, false};
    for (int r = 0; r < 8; ++r) {
        EXPECT_EQ(table.Cell(r, 2).Kind, CellKind::Truth);
        EXPECT_EQ(table.Cell(r, 2).Truth, expected[r]) << r;
    }
    EXPECT_EQ(table.Cell(8, 0).Number, 0);
    EXPECT_EQ(table.Cell(8, 1).Number, 0);
    EXPECT_EQ(table.Cell(8, 3).Number, 0.12);
}

TEST(ReadTable, BinaryFieldTypesBecomeNumbersAndDateTimes) {
    TempDir dir;
    TableBuilder t;
    t.Version(0x30)
        .Field("ID", 'I', 4).BinaryField(0)
        .Field("PRICE", 'Y', 8).BinaryField(1)
        .Field("RATIO", 'B', 8).BinaryField(2)
        .Field("STAMP", 'T', 8).BinaryField(3)
        .Field("NOTE", 'M', 4).BinaryField(4)
        .Field("TEXTI", 'I', 3);
    double ratio = -2.5;
    std::uint64_t bits;
    std::memcpy(&bits, &ratio, 8);
    // 2451545 is 2000-01-01; 45296789 ms is 12:34:56.789.
    t.Record({TableBuilder::LE(static_cast<std::uint32_t>(-7), 4), TableBuilder::LE(123456, 8), TableBuilder::LE(bits, 8),
              TableBuilder::LE(2451545, 4) + TableBuilder::LE(45296789, 4), "0001", " 42"});
    t.Record({"", "", "", "", "", ""});
    const OpenTable table = Read(t, dir);
    EXPECT_EQ(table.Cell(0, 0).Number, -7);
    EXPECT_EQ(table.Cell(0, 1).Number, 12.3456);
    EXPECT_EQ(table.Cell(0, 2).Number, -2.5);
    EXPECT_EQ(Text(table, 0, 3), "2000-01-01 12:34:56");
    EXPECT_EQ(table.Cell(0, 4).Kind, CellKind::Empty);
    EXPECT_EQ(table.Cell(0, 5).Number, 42);
    EXPECT_EQ(Text(table, 1, 3), "");
    EXPECT_EQ(table.Cell(1, 0).Number, 0);

    // B outside Visual FoxPro tables is a memo block number: left empty.
    TableBuilder dbase;
    dbase.Version(0x8B).Field("B", 'B', 10).Field("G", 'G', 10).Field("LOW", 'c', 3).Record({"1", "2", "abc"});
    const OpenTable other = Read(dbase, dir);
    for (int f = 0; f < 3; ++f) EXPECT_EQ(other.Cell(0, f).Kind, CellKind::Empty) << f;
}

TEST(ReadTable, ExtraDescriptorsFromTheHeaderTailStayEmpty) {
    TempDir dir;
    TableBuilder t;
    t.Version(0x30).Field("A", 'C', 2).Field("B", 'N', 3).HeaderTail(263).Record({"xy", "7"});
    OpenTable table = Read(t, dir);
    EXPECT_EQ(table.Header.HeaderLength, 296 + 64);
    EXPECT_EQ(table.FieldCount, 2);
    for (int f = 2; f < table.FieldCount; ++f) {
        EXPECT_EQ(table.FieldNames[static_cast<std::size_t>(f)], "");
        EXPECT_EQ(table.Cell(0, f).Kind, CellKind::Empty);
    }
    EXPECT_EQ(Text(table, 0, 0), "xy");
    EXPECT_EQ(table.Cell(0, 1).Number, 7);
    table.ListColumns();
    EXPECT_EQ(table.ColumnCount, 2);
}

TEST(ReadTable, FieldsBeyondTheRecordGetShortTexts) {
    TempDir dir;
    TableBuilder t;
    t.Field("A", 'C', 4).Field("B", 'C', 4).Field("C", 'C', 4).RecordLength(7).Record({"abcd", "efgh", "ijkl"});
    const std::string bytes = t.Bytes();
    // Recorded 13 bytes per record but the header says 7: the table holds the first 7 as record 1.
    const OpenTable table = Read(t.RecordCount(1), dir);
    EXPECT_EQ(Text(table, 0, 0), "abcd");
    EXPECT_EQ(Text(table, 0, 1), "ef");
    EXPECT_EQ(Text(table, 0, 2), "");
}

TEST(ReadTable, ShortFileKeepsTheRecordsItHolds) {
    TempDir dir;
    TableBuilder t;
    t.Field("NAME", 'C', 6).Field("N", 'N', 3).EndMarker(false).RecordCount(5).Record({"one", "1"}).Record({"two", "2"});
    std::string bytes = t.Bytes();
    bytes.resize(bytes.size() - 7);  // cut into the second record's NAME
    std::ofstream(dir / "short.dbf", std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    const OpenTable table = ReadTableFile((dir / "short.dbf").string());
    EXPECT_EQ(table.RecordsPromised, 5);
    EXPECT_EQ(table.RecordCount(), 2);
    EXPECT_EQ(Text(table, 1, 0), "tw    ");
    EXPECT_EQ(table.Cell(1, 1).Number, 0);
}

TEST(ReadTable, HugeOrNegativeCountsReserveNothingTheFileLacks) {
    TempDir dir;
    OpenTable huge = Read(TwoFields().RecordCount(2147483647).Record({"a", "20000101"}), dir);
    EXPECT_EQ(huge.RecordCount(), 1);
    EXPECT_EQ(huge.RecordsPromised, 2147483647);
    EXPECT_LE(huge.RecordBytes.size(), 64u);

    OpenTable negative = Read(TwoFields().RecordCount(-5).Record({"a", "20000101"}), dir);
    EXPECT_EQ(negative.RecordCount(), 0);
    EXPECT_EQ(negative.FieldNames.size(), 2u);
}

TEST(ReadTable, DamagedHeadersAreRefusedWithTheFault) {
    TempDir dir;
    auto message = [&](const TableBuilder& t) -> std::string {
        try {
            Read(t, dir, "damaged.dbf");
        } catch (const TableError& e) {
            EXPECT_EQ(e.ErrorKind(), TableError::Kind::Damaged) << e.what();
            EXPECT_NE(std::string(e.what()).find("damaged.dbf"), std::string::npos);
            return e.what();
        }
        return "accepted";
    };
    EXPECT_NE(message(TwoFields().HeaderLength(63)).find("header length 63"), std::string::npos);
    EXPECT_NE(message(TwoFields().HeaderLength(0)).find("header length 0"), std::string::npos);
    EXPECT_NE(message(TwoFields().HeaderLength(-300)).find("header length"), std::string::npos);
    EXPECT_NE(message(TwoFields().HeaderLength(30000)).find("beyond the end"), std::string::npos);
    EXPECT_NE(message(TwoFields().RecordLength(0)).find("record length 0"), std::string::npos);
    EXPECT_NE(message(TwoFields().HeaderLength(31)).find("header length 31"), std::string::npos);

    std::ofstream(dir / "empty.dbf").close();
    EXPECT_THROW(ReadTableFile((dir / "empty.dbf").string()), TableError);
    std::ofstream(dir / "stub.dbf", std::ios::binary) << '\x03' << "abc";
    try {
        ReadTableFile((dir / "stub.dbf").string());
        FAIL();
    } catch (const TableError& e) {
        EXPECT_NE(std::string(e.what()).find("32-byte header"), std::string::npos);
    }
}

TEST(ReadTable, CodePageFromDriverByteOrCpgFile) {
    TempDir dir;
    EXPECT_EQ(Read(TwoFields(), dir).TableCodePage->Number(), 1252);
    EXPECT_EQ(Read(TwoFields().LanguageDriver(0xC9), dir).TableCodePage->Number(), 1251);
    EXPECT_EQ(Read(TwoFields().LanguageDriver(0x65), dir, "dos.dbf").TableCodePage->Number(), 866);

    TwoFields().LanguageDriver(0xC9).WriteTo(dir / "shape.dbf");
    std::ofstream(dir / "shape.cpg") << "UTF-8";
    const OpenTable utf8 = ReadTableFile((dir / "shape.dbf").string());
    EXPECT_TRUE(utf8.TableCodePage->IsUtf8());
    std::ofstream(dir / "shape.cpg") << "<!DOCTYPE html> nonsense";
    EXPECT_EQ(ReadTableFile((dir / "shape.dbf").string()).TableCodePage->Number(), 1251);
}

TEST(OpenTable, ColumnsStopAtTheFirstEmptyNameAndBaseNameAtTheFirstDot) {
    TempDir dir;
    TableBuilder t;
    t.Field("A", 'C', 1).Field("B", 'C', 1).Field("", 'C', 1).Field("D", 'C', 1);
    OpenTable table = Read(t, dir);
    table.ListColumns();
    EXPECT_EQ(table.ColumnCount, 2);
    EXPECT_EQ(table.ColumnSelected.size(), 2u);

    EXPECT_EQ(BaseNameOf("/data/my.data.dbf"), "my");
    EXPECT_EQ(BaseNameOf("/data/README"), "README");
    EXPECT_EQ(BaseNameOf("sales.dbf"), "sales");
    EXPECT_EQ(BaseNameOf("/a.b/plain"), "plain");
}

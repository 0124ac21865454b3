#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "export/exporters.h"
#include "support/hex.h"
#include "support/opened_table.h"
#include "support/xlrd_sheet.h"

using namespace quillet;
using quillet::testing::FolderEntries;
using quillet::testing::Hex;
using quillet::testing::OpenBuilt;
using quillet::testing::OpenTableAt;
using quillet::testing::ReadFileBytes;
using quillet::testing::SettingsInto;
using quillet::testing::TableBuilder;
using quillet::testing::TempDir;
using quillet::testing::XlrdSheet;

namespace {

// The file's records, each as hexadecimal bytes, split by their own length words.
std::vector<std::string> Records(const std::string& bytes) {
    std::vector<std::string> records;
    std::size_t at = 0;
    while (at + 4 <= bytes.size()) {
        const std::size_t length = static_cast<unsigned char>(bytes[at + 2]) | static_cast<unsigned char>(bytes[at + 3]) << 8;
        records.push_back(Hex(bytes.substr(at, 4 + length)));
        at += 4 + length;
    }
    EXPECT_EQ(at, bytes.size()) << "the last record runs past the end of the file";
    return records;
}

}  // namespace

TEST(ExportExcel, CellTextsBecomeTheirRecords) {
    TempDir dir;
    TableBuilder t;
    t.Field("V", 'C', 10);
    const std::pair<const char*, const char*> cases[] = {
        {"12", "02 00 09 00 01 00 00 00 00 00 00 0C 00"},
        {"32766", "02 00 09 00 02 00 00 00 00 00 00 FE 7F"},
        {"32767", "04 00 0D 00 03 00 00 00 00 00 00 05 33 32 37 36 37"},
        {"20240131", "04 00 10 00 04 00 00 00 00 00 00 08 32 30 32 34 30 31 33 31"},
        {"12.50", "03 00 0F 00 05 00 00 00 00 00 00 00 00 00 00 00 00 29 40"},
        {"T", "04 00 09 00 06 00 00 00 00 00 00 01 54"},
        {"abc", "04 00 0B 00 07 00 00 00 00 00 00 03 61 62 63"},
        {"1.2.3", "04 00 0D 00 08 00 00 00 00 00 00 05 31 2E 32 2E 33"},
        {"", "04 00 08 00 09 00 00 00 00 00 00 00"},
        {"007", "02 00 09 00 0A 00 00 00 00 00 00 07 00"},
        // Negative whole numbers are NUMBER cells: an INTEGER holds no sign.
        {"-5", "03 00 0F 00 0B 00 00 00 00 00 00 00 00 00 00 00 00 14 C0"},
        // Trimmed of blanks only; what else the text holds stays.
        {"  0 ", "02 00 09 00 0C 00 00 00 00 00 00 00 00"},
        {"1 2", "04 00 0B 00 0D 00 00 00 00 00 00 03 31 20 32"},
        {"1e3", "02 00 09 00 0E 00 00 00 00 00 00 E8 03"},
        // A fraction written without a point is still no integer.
        {"5e-1", "03 00 0F 00 0F 00 00 00 00 00 00 00 00 00 00 00 00 E0 3F"},
        {"nan", "04 00 0B 00 10 00 00 00 00 00 00 03 6E 61 6E"},
        {"12,5", "04 00 0C 00 11 00 00 00 00 00 00 04 31 32 2C 35"},
    };
    for (const auto& [text, record] : cases) t.Record({text});
    const OpenTable table = OpenBuilt(t, dir);
    ExportExcel(table, SettingsInto(dir.Path()));

    const std::vector<std::string> records = Records(ReadFileBytes(dir / "t.xls"));
    ASSERT_EQ(records.size(), std::size(cases) + 4);
    EXPECT_EQ(records[0], "09 00 04 00 02 00 10 00");
    EXPECT_EQ(records[1], "42 00 02 00 E4 04");
    EXPECT_EQ(records[2], "04 00 09 00 00 00 00 00 00 00 00 01 56");
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(records[3 + i], cases[i].second) << '"' << cases[i].first << '"';
    }
    EXPECT_EQ(records.back(), "0A 00 00 00");

    EXPECT_EQ(XlrdSheet(dir / "t.xls"),
              "encoding cp1252\n1 1 text V\n2 1 number 12.0\n3 1 number 32766.0\n4 1 text 32767\n"
              "5 1 text 20240131\n6 1 number 12.5\n7 1 text T\n8 1 text abc\n9 1 text 1.2.3\n10 1 text \n"
              "11 1 number 7.0\n12 1 number -5.0\n13 1 number 0.0\n14 1 text 1 2\n15 1 number 1000.0\n"
              "16 1 number 0.5\n17 1 text nan\n18 1 text 12,5\n");
}

TEST(ExportExcel, CommaDecimalLocaleKeepsFractions) {
    TempDir dir;
    TableBuilder t;
    t.Field("AMOUNT", 'N', 12, 5).Field("TEXT", 'C', 8);
    t.Record({"12.5", "12,5"}).Record({"12", "12.5"}).Record({"-3.25", "1,2,3"}).Record({"0.00001", "7"});
    const OpenTable table = OpenBuilt(t, dir);
    ExportSettings settings = SettingsInto(dir.Path());
    settings.DecimalSeparator = ',';
    ExportExcel(table, settings);

    const std::vector<std::string> records = Records(ReadFileBytes(dir / "t.xls"));
    ASSERT_EQ(records.size(), 2u + 2u + 8u + 1u);
    // CellText gave "12,5": a NUMBER, not the INTEGER 12.
    EXPECT_EQ(records[4], "03 00 0F 00 01 00 00 00 00 00 00 00 00 00 00 00 00 29 40");
    EXPECT_EQ(records[5], "03 00 0F 00 01 00 01 00 00 00 00 00 00 00 00 00 00 29 40");
    EXPECT_EQ(records[6], "02 00 09 00 02 00 00 00 00 00 00 0C 00");
    EXPECT_EQ(records[7], "03 00 0F 00 02 00 01 00 00 00 00 00 00 00 00 00 00 29 40");
    EXPECT_EQ(records[8], "03 00 0F 00 03 00 00 00 00 00 00 00 00 00 00 00 00 0A C0");
    EXPECT_EQ(records[9], "04 00 0D 00 03 00 01 00 00 00 00 05 31 2C 32 2C 33");
    // 0.00001 has the text "1e-05": no separator, but no whole number either.
    EXPECT_EQ(records[10].substr(0, 32), "03 00 0F 00 04 00 00 00 00 00 00");
    EXPECT_EQ(XlrdSheet(dir / "t.xls"),
              "encoding cp1252\n1 1 text AMOUNT\n1 2 text TEXT\n2 1 number 12.5\n2 2 number 12.5\n"
              "3 1 number 12.0\n3 2 number 12.5\n4 1 number -3.25\n4 2 text 1,2,3\n5 1 number 1e-05\n"
              "5 2 number 7.0\n");
}

TEST(ExportExcel, SamplesReadBackInXlrd) {
    TempDir dir;
    const std::filesystem::path samples = QUILLET_SAMPLES_DIR;

    ExportExcel(OpenTableAt(samples / "customers.dbf"), SettingsInto(dir.Path()));
    EXPECT_EQ(XlrdSheet(dir / "customers.xls"),
              "encoding cp1252\n"
              "1 1 text NAME\n1 2 text CITY\n1 3 text BALANCE\n1 4 text JOINED\n1 5 text ACTIVE\n"
              "2 1 text Ana Müller\n2 2 text Zürich\n2 3 number 1250.5\n2 4 text 20190314\n2 5 text True\n"
              "3 1 text François Dupré\n3 2 text Besançon\n3 3 number -42.25\n3 4 text 20211102\n3 5 text True\n"
              "4 1 text Old Account\n4 2 text Århus\n4 3 number 0.0\n4 4 text 20031231\n4 5 text False\n"
              "5 1 text José Núñez\n5 2 text Málaga\n5 3 number 980.0\n5 4 text \n5 5 text False\n"
              "6 1 text Pat \"the Cat\" O'Neil\n6 2 text Köln\n6 3 number 0.0\n6 4 text 20240229\n6 5 text True\n"
              "7 1 text Closed, Ltd.\n7 2 text Logroño\n7 3 number 17.1\n7 4 text 19990101\n7 5 text False\n"
              "8 1 text Søren Kierkegård\n8 2 text København\n8 3 number 123456.78\n8 4 text 20100630\n"
              "8 5 text True\n");

    ExportSettings settings = SettingsInto(dir.Path());
    settings.RecordFilter = RecordFilter::SkipDeleted;
    ExportExcel(OpenTableAt(samples / "types.dbf"), settings);
    const std::string types = XlrdSheet(dir / "types.xls");
    for (const char* cell : {"1 10 text STAMP\n", "2 2 number 12.0\n", "2 3 number 9.99\n", "2 6 text True\n",
                             "2 7 text \n", "2 10 text 2024-01-31 09:30:00\n", "4 2 text 32767\n",
                             "4 8 number -3.0\n", "4 9 number 922337203685.478\n", "5 8 text 2147483647\n"}) {
        EXPECT_NE(types.find(cell), std::string::npos) << cell << types;
    }
    EXPECT_EQ(types.find("\n3 "), std::string::npos) << "the deleted record 2 was written:\n" << types;

    ExportExcel(OpenTableAt(samples / "empty.dbf"), SettingsInto(dir.Path()));
    EXPECT_EQ(XlrdSheet(dir / "empty.xls"), "encoding cp1252\n1 1 text ID\n1 2 text LABEL\n1 3 text CREATED\n");
}

TEST(ExportExcel, TextsOutsideLatin1ReadBackInTheirCodePage) {
    TempDir dir;
    // A Windows-1251 table keeps its bytes; the sheet says 1251.
    TableBuilder cyrillic;
    cyrillic.LanguageDriver(0xC9).Field("\xC8\xCC\xDF", 'C', 12).Record({"\xCF\xF0\xE8\xE2\xE5\xF2"});
    ExportExcel(OpenBuilt(cyrillic, dir, "ru.dbf"), SettingsInto(dir.Path()));
    EXPECT_EQ(Records(ReadFileBytes(dir / "ru.xls"))[1], "42 00 02 00 E3 04");
    EXPECT_EQ(XlrdSheet(dir / "ru.xls"), "encoding cp1251\n1 1 text ИМЯ\n2 1 text Привет\n");

    // Bytes the code page leaves undefined cannot be decoded by readers: they become "?".
    TableBuilder odd;
    odd.Field("T", 'C', 6).Record({"a\x81\x8D\x9D" "b"});
    ExportExcel(OpenBuilt(odd, dir, "odd.dbf"), SettingsInto(dir.Path()));
    EXPECT_EQ(XlrdSheet(dir / "odd.xls"), "encoding cp1252\n1 1 text T\n2 1 text a???b\n");
}

TEST(ExportExcel, TablesInCodePagesReadersLackAreReencoded) {
    TempDir dir;
    TableBuilder t;
    t.Field("NAME", 'C', 40);
    t.Record({"Łódź"}).Record({"Gdańsk Świętokrzyska"}).Record({"Müller"}).Record({"日本"});
    t.Record({std::string(38, 'a') + "\xE9"});  // a stray byte, shown as Windows-1252 "é"
    t.WriteTo(dir / "pl.dbf");
    { std::ofstream(dir / "pl.cpg") << "UTF-8"; }
    ExportExcel(OpenTableAt(dir / "pl.dbf"), SettingsInto(dir.Path()));
    // Windows-1250 holds every character but the two Japanese ones.
    EXPECT_EQ(Records(ReadFileBytes(dir / "pl.xls"))[1], "42 00 02 00 E2 04");
    EXPECT_EQ(XlrdSheet(dir / "pl.xls"),
              "encoding cp1250\n1 1 text NAME\n2 1 text Łódź\n3 1 text Gdańsk Świętokrzyska\n4 1 text Müller\n"
              "5 1 text ??\n6 1 text " + std::string(38, 'a') + "é\n");

    TableBuilder greek;
    greek.Field("NAME", 'C', 20).Record({"Αθήνα"}).Record({"café"});
    greek.WriteTo(dir / "gr.dbf");
    { std::ofstream(dir / "gr.cpg") << "UTF-8"; }
    ExportExcel(OpenTableAt(dir / "gr.dbf"), SettingsInto(dir.Path()));
    EXPECT_EQ(XlrdSheet(dir / "gr.xls"), "encoding cp1253\n1 1 text NAME\n2 1 text Αθήνα\n3 1 text caf?\n");

    // An ISO 8859-1 table has its Windows twin.
    TableBuilder latin;
    latin.Field("NAME", 'C', 10).Record({"Gr\xFC\xDF" "e"});
    latin.WriteTo(dir / "de.dbf");
    { std::ofstream(dir / "de.cpg") << "ISO-8859-1"; }
    ExportExcel(OpenTableAt(dir / "de.dbf"), SettingsInto(dir.Path()));
    EXPECT_EQ(XlrdSheet(dir / "de.xls"), "encoding cp1252\n1 1 text NAME\n2 1 text Grüße\n");
}

TEST(ExportExcel, LongestFieldTextsAreWrittenWhole) {
    TempDir dir;
    TableBuilder t;
    t.Field("LONG", 'C', 255).Record({std::string(250, 'x') + "12345"}).Record({std::string(255, 'y')});
    ExportExcel(OpenBuilt(t, dir), SettingsInto(dir.Path()));
    EXPECT_EQ(XlrdSheet(dir / "t.xls"), "encoding cp1252\n1 1 text LONG\n2 1 text " + std::string(250, 'x') +
                                            "12345\n3 1 text " + std::string(255, 'y') + "\n");
}

TEST(ExportExcel, SheetLimitsRefuseBeforeWriting) {
    TempDir dir;
    TableBuilder rows;
    rows.Field("N", 'C', 1);
    for (int r = 1; r <= 16383; ++r) rows.Record({"x"});
    ExportExcel(OpenBuilt(rows, dir), SettingsInto(dir.Path()));
    const std::string last = XlrdSheet(dir / "t.xls");
    EXPECT_NE(last.find("\n16384 1 text x\n"), std::string::npos) << last.substr(0, 200);

    // One record more cannot be placed; an existing sheet of that name is kept.
    { std::ofstream(dir / "t.xls", std::ios::trunc) << "earlier"; }
    rows.Deleted({"x"});
    const OpenTable table = OpenBuilt(rows, dir);
    try {
        ExportExcel(table, SettingsInto(dir.Path()));
        FAIL() << "a sheet of 16385 rows was written";
    } catch (const ExportError& e) {
        const std::string message = e.what();
        EXPECT_NE(message.find((dir / "t.xls").string()), std::string::npos) << message;
        EXPECT_NE(message.find("16384 rows"), std::string::npos) << message;
        EXPECT_NE(message.find("record 16384"), std::string::npos) << message;
        EXPECT_NE(message.find("CSV"), std::string::npos) << message;
    }
    EXPECT_EQ(ReadFileBytes(dir / "t.xls"), "earlier");
    EXPECT_EQ(FolderEntries(dir.Path()).size(), 2u);

    // When the filter passes that record over, the sheet fits.
    ExportSettings settings = SettingsInto(dir.Path());
    settings.RecordFilter = RecordFilter::SkipDeleted;
    ExportExcel(table, settings);
    EXPECT_EQ(XlrdSheet(dir / "t.xls").substr(0, 29), "encoding cp1252\n1 1 text N\n2 ");

    TempDir wide;
    TableBuilder columns;
    for (int f = 1; f <= 257; ++f) columns.Field("F" + std::to_string(f), 'C', 1);
    columns.Record({});
    OpenTable widest = OpenBuilt(columns, wide);
    try {
        ExportExcel(widest, SettingsInto(wide.Path()));
        FAIL() << "a sheet of 257 columns was written";
    } catch (const ExportError& e) {
        const std::string message = e.what();
        EXPECT_NE(message.find("256 columns"), std::string::npos) << message;
        EXPECT_NE(message.find("\"F257\" is column 257"), std::string::npos) << message;
        EXPECT_NE(message.find("CSV"), std::string::npos) << message;
    }
    EXPECT_EQ(FolderEntries(wide.Path()).size(), 1u);

    widest.ColumnSelected[256] = 0;
    ExportExcel(widest, SettingsInto(wide.Path()));
    const std::string sheet = XlrdSheet(wide / "t.xls");
    EXPECT_NE(sheet.find("\n1 256 text F256\n2 1 text \n"), std::string::npos) << sheet.substr(0, 100);
}

// Every real table that opens either becomes a sheet xlrd reads whole, cell for cell, or is
// refused for the sheet's size.
TEST(ExportExcel, CorpusTablesReadBackInXlrd) {
    const std::filesystem::path corpus = QUILLET_CORPUS_DIR;
    if (!std::filesystem::exists(corpus)) GTEST_SKIP() << "no corpus at " << corpus;
    TempDir dir;
    int sheets = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(corpus)) {
        std::string extension = entry.path().extension().string();
        for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (extension != ".dbf" && extension != ".dbc") continue;
        SCOPED_TRACE(entry.path().string());
        OpenTable table;
        try {
            table = OpenTableAt(entry.path());
        } catch (const TableError&) {
            continue;
        }
        table.TableBaseName = "sheet" + std::to_string(sheets);
        const bool fits = table.RecordCount() <= 16383 && table.ColumnCount <= 256;
        try {
            ExportExcel(table, SettingsInto(dir.Path()));
        } catch (const ExportError& e) {
            EXPECT_FALSE(fits) << e.what();
            continue;
        }
        ASSERT_TRUE(fits);
        ++sheets;
        const std::string cells = XlrdSheet(dir / (table.TableBaseName + ".xls"));
        ASSERT_EQ(cells.rfind("encoding cp", 0), 0u) << cells.substr(0, 300);
        EXPECT_EQ(std::count(cells.begin(), cells.end(), '\n'), 1 + (table.RecordCount() + 1) * table.ColumnCount);
    }
    EXPECT_GT(sheets, 50);
}

#include <gtest/gtest.h>

#include <charconv>
#include <cstring>
#include <filesystem>
#include <sstream>

#include "export/exporters.h"
#include "support/hex.h"
#include "support/run_program.h"
#include "support/sql_sheet.h"
#include "support/opened_table.h"
#include "table/cell_text.h"

using namespace quillet;
using quillet::testing::ExportedBytes;
using quillet::testing::Hex;
using quillet::testing::OpenBuilt;
using quillet::testing::OpenTableAt;
using quillet::testing::RunProgram;
using quillet::testing::ShellQuoted;
using quillet::testing::SqlQuoted;
using quillet::testing::TableBuilder;
using quillet::testing::TempDir;

namespace {

std::string Export(const OpenTable& table, const TempDir& dir, const ExportSettings& settings) {
    return ExportedBytes(ExportSql, ".sql", table, settings, dir);
}

std::string Export(const OpenTable& table, const TempDir& dir) { return Export(table, dir, ExportSettings{}); }

// The definition line of a column: name, blanks up to character 51, type text.
std::string Definition(const std::string& name, std::size_t nameWidth, const std::string& type) {
    return name + std::string(50 - nameWidth, ' ') + type;
}

// One value as sqlite3 gives it back: its storage class and its text (hex for text values,
// 17 significant digits for reals).
struct Stored {
    std::string Class;
    std::string Text;
};

std::vector<Stored> SqliteColumn(const std::filesystem::path& db, const std::string& table, const std::string& column) {
    const std::string c = SqlQuoted(column, '"');
    const std::string query = "select typeof(" + c + ")||':'||(case typeof(" + c + ") when 'text' then hex(" + c +
                              ") when 'real' then printf('%!.17g'," + c + ") when 'null' then '' else " + c +
                              " end) from " + SqlQuoted(table, '"') + " order by rowid;";
    const auto run = RunProgram("sqlite3 -batch " + ShellQuoted(db.string()) + " " + ShellQuoted(query));
    EXPECT_EQ(run.ExitCode, 0) << run.Output;
    std::vector<Stored> values;
    std::istringstream lines(run.Output);
    for (std::string line; std::getline(lines, line);) {
        const auto colon = line.find(':');
        values.push_back({line.substr(0, colon), line.substr(colon + 1)});
    }
    return values;
}

std::filesystem::path RunInSqlite(const std::filesystem::path& script) {
    const std::filesystem::path db = script.parent_path() / (script.stem().string() + ".sqlite");
    std::filesystem::remove(db);
    const auto run = RunProgram("sqlite3 -bail -batch " + ShellQuoted(db.string()) + " < " + ShellQuoted(script.string()));
    EXPECT_EQ(run.ExitCode, 0) << run.Output;
    EXPECT_EQ(run.Output, "");
    return db;
}

double Number(const Stored& value) {
    double number = 0;
    std::from_chars(value.Text.data(), value.Text.data() + value.Text.size(), number);
    return number;
}

void ExpectText(const Stored& value, std::string_view text) {
    EXPECT_EQ(value.Class, "text");
    EXPECT_EQ(value.Text, Hex(text, "")) << text;  // as sqlite3's hex() writes them
}

void ExpectNumber(const Stored& value, double number) {
    EXPECT_TRUE(value.Class == "integer" || value.Class == "real") << value.Class;
    EXPECT_EQ(Number(value), number) << value.Text;
}

// Every written value of the table read back from sqlite3 equals the table's own.
void ExpectSqliteGivesBack(const OpenTable& table, const std::filesystem::path& db) {
    for (int f = 0; f < table.ColumnCount; ++f) {
        const std::string name = table.FieldNames[static_cast<std::size_t>(f)];
        const std::vector<Stored> values = SqliteColumn(db, table.TableBaseName, name);
        ASSERT_EQ(values.size(), static_cast<std::size_t>(table.RecordCount())) << name;
        for (std::int64_t r = 0; r < table.RecordCount(); ++r) {
            SCOPED_TRACE(name + " record " + std::to_string(r));
            const CellValue cell = table.Cell(r, f);
            const Stored& got = values[static_cast<std::size_t>(r)];
            const char type = table.FieldDescriptors[static_cast<std::size_t>(f)].Type;
            if (cell.Kind == CellKind::Number && cell.Number == 0 && (type == 'N' || type == 'F')) {
                EXPECT_EQ(got.Class, "null");
            } else if (cell.Kind == CellKind::Number) {
                ExpectNumber(got, cell.Number);
            } else if (cell.Kind == CellKind::Truth) {
                EXPECT_EQ(got.Class + got.Text, cell.Truth ? "integer1" : "integer0");
            } else {
                std::string text = CellText(cell, '.');
                text.erase(text.find_last_not_of(' ') + 1);
                text.erase(0, text.find_first_not_of(' '));
                if (type == 'T' && text.empty()) {
                    EXPECT_EQ(got.Class, "null");
                } else {
                    ExpectText(got, table.TableCodePage->ToUtf8(text));
                }
            }
        }
    }
}

}  // namespace

TEST(ExportSql, WorkedExampleAsAmended) {
    TempDir dir;
    TableBuilder t;
    t.Field("NAME", 'C', 20).Field("BORN", 'D', 8).Field("QTY", 'N', 8, 1).Field("PAID", 'L', 1);
    t.Record({"Smith", "19991231", "12.5", "T"});
    EXPECT_EQ(Export(OpenBuilt(t, dir, "customers.dbf"), dir),
              " DROP TABLE IF EXISTS customers;\r\n"
              " CREATE TABLE customers (\r\n"
              "NAME                                              Char(20),\r\n"
              "BORN                                              Char(8),\r\n"
              "QTY                                               Numeric(8,1),\r\n"
              "PAID                                              Boolean);\r\n"
              "insert into customers values('Smith','19991231',12.5,TRUE);\r\n");
}

TEST(ExportSql, TypeAndValueOfEveryFieldType) {
    TempDir dir;
    TableBuilder t;
    t.Version(0x30)
        .Field("N9", 'N', 9)
        .Field("N10", 'N', 10)
        .Field("F", 'F', 12, 4)
        .Field("I", 'I', 4)
        .Field("Y", 'Y', 8)
        .Field("B", 'B', 8)
        .Field("T", 'T', 8)
        .Field("M", 'M', 4)
        .Field("G", 'G', 4)
        .Field("L", 'L', 1)
        .Field("C", 'C', 12)
        .BinaryField(3).BinaryField(4).BinaryField(5).BinaryField(6);
    t.Record({"12", "1234567890", "  -0.0825", TableBuilder::LE(static_cast<std::uint32_t>(-5), 4),
              TableBuilder::LE(static_cast<std::uint64_t>(-12345678901234LL), 8), TableBuilder::LE(0x3FD3333333333334ULL, 8),
              TableBuilder::LE(2460341, 4) + TableBuilder::LE(34200000, 4), "  17", "   1", "F", "it's\r\n\x80"});
    t.Record({"0", "", "0", "", "", "", "", "", "", "?", std::string("\0\0", 2)});
    ExportSettings commaLocale;
    commaLocale.DecimalSeparator = ',';
    const std::string sql = Export(OpenBuilt(t, dir), dir, commaLocale);
    const std::string types[] = {"Integer,", "Numeric(10,0),", "Numeric(12,4),", "Integer,", "Numeric(19,4),",
                                 "Double precision,", "Timestamp,", "Text,", "Text,", "Boolean,", "Char(12));"};
    const char* names[] = {"N9", "N10", "F", "I", "Y", "B", "T", "M", "G", "L", "C"};
    for (std::size_t i = 0; i < std::size(types); ++i) {
        EXPECT_NE(sql.find("\r\n" + Definition(names[i], std::strlen(names[i]), types[i]) + "\r\n"), std::string::npos)
            << names[i];
    }
    EXPECT_NE(sql.find("insert into t values(12,1234567890,-0.0825,-5,-1234567890.1234,0.30000000000000004,"
                       "'2024-01-31 09:30:00','','',FALSE,'it''s\n\xE2\x82\xAC');\r\n"
                       "insert into t values(null,null,null,0,0,0,null,'','',FALSE,'');\r\n"),
              std::string::npos)
        << sql;
}

TEST(ExportSql, NumbersThatWouldNotFitWidenTheirType) {
    TempDir dir;
    TableBuilder t;
    t.Field("FRACTION", 'N', 5).Field("WIDE", 'N', 6, 2).Field("HUGE", 'N', 5).Field("FITS", 'N', 6, 2).Field("ZERO", 'N', 0, 2);
    t.Record({"12.5", "12345", "1E999", "123.45", ""});
    t.Record({"3", "1.5", "-9E99", "-1.5", ""});
    const std::string sql = Export(OpenBuilt(t, dir), dir);
    EXPECT_NE(sql.find(Definition("FRACTION", 8, "Numeric,")), std::string::npos) << sql;
    EXPECT_NE(sql.find(Definition("WIDE", 4, "Numeric,")), std::string::npos);
    EXPECT_NE(sql.find(Definition("HUGE", 4, "Numeric,")), std::string::npos);
    EXPECT_NE(sql.find(Definition("FITS", 4, "Numeric(6,2),")), std::string::npos);
    EXPECT_NE(sql.find(Definition("ZERO", 4, "Numeric);")), std::string::npos);
    EXPECT_NE(sql.find("values(12.5,12345,null,123.45,null);\r\ninsert into t values(3,1.5,-9e+99,-1.5,null);"),
              std::string::npos);
}

TEST(ExportSql, AwkwardNamesAndValuesRunInSqliteAndComeBack) {
    TempDir dir;
    TableBuilder t;
    t.Field("ORDER", 'C', 20)
        .Field("1ST", 'N', 18)
        .Field("MY NAME", 'N', 10, 3)
        .Field("select", 'L', 1)
        .Field("Gr\xFC\xDF" "e", 'C', 10)
        .Field("AMOUNT", 'N', 5)
        .Field("Order", 'C', 3);
    t.Record({"O'Brien's \"pub\"", "123456789012345678", "-1234.567", "T", "Gr\xFC\xDF Gott", "12.5", "x"})
        .Deleted({"  blanks  in  ", "0", "0.001", "F", "", "99999", ""})
        .Record({std::string("a\r\nb\0c;", 7), "-2147483649", "", "?", "\x80 'q'", "1e3", "'"});
    const OpenTable table = OpenBuilt(t, dir, "my table.dbf");
    const std::string sql = Export(table, dir);
    EXPECT_EQ(sql.substr(0, sql.find("insert")),
              " DROP TABLE IF EXISTS \"my table\";\r\n"
              " CREATE TABLE \"my table\" (\r\n" +
                  Definition("\"ORDER\"", 7, "Char(20),") + "\r\n" + Definition("\"1ST\"", 5, "Numeric(18,0),") + "\r\n" +
                  Definition("\"MY NAME\"", 9, "Numeric(10,3),") + "\r\n" + Definition("\"select\"", 8, "Boolean,") +
                  "\r\n" + Definition("\"Grüße\"", 7, "Char(10),") + "\r\n" + Definition("AMOUNT", 6, "Numeric,") +
                  "\r\n" + Definition("Order_2", 7, "Char(3));") + "\r\n");

    // Run twice: the script replaces the table it made before.
    const std::filesystem::path db = RunInSqlite(dir / "my table.sql");
    RunInSqlite(dir / "my table.sql");
    auto column = [&](const std::string& name) {
        auto values = SqliteColumn(db, "my table", name);
        EXPECT_EQ(values.size(), 3u) << name;
        values.resize(3);
        return values;
    };

    const auto order = column("ORDER");
    ASSERT_EQ(order.size(), 3u);
    ExpectText(order[0], "O'Brien's \"pub\"");
    ExpectText(order[1], "blanks  in");
    ExpectText(order[2], "a\nbc;");
    const auto first = column("1ST");
    ExpectNumber(first[0], 123456789012345678.0);
    EXPECT_EQ(first[1].Class, "null");
    ExpectNumber(first[2], -2147483649.0);
    const auto myName = column("MY NAME");
    ExpectNumber(myName[0], -1234.567);
    ExpectNumber(myName[1], 0.001);
    EXPECT_EQ(myName[2].Class, "null");
    const auto truth = column("select");
    EXPECT_EQ(truth[0].Text + truth[1].Text + truth[2].Text, "100");
    const auto greeting = column("Grüße");
    ExpectText(greeting[0], "Grüß Gott");
    ExpectText(greeting[1], "");
    ExpectText(greeting[2], "€ 'q'");
    const auto amount = column("AMOUNT");
    ExpectNumber(amount[0], 12.5);
    ExpectNumber(amount[1], 99999);
    ExpectNumber(amount[2], 1000);
    const auto order2 = column("Order_2");
    ExpectText(order2[0], "x");
    ExpectText(order2[2], "'");
}

TEST(ExportSql, SampleTablesRunInSqliteAndGiveBackEveryValue) {
    TempDir dir;
    for (const char* name : {"customers", "types", "empty"}) {
        SCOPED_TRACE(name);
        const OpenTable table = OpenTableAt(std::filesystem::path(QUILLET_SAMPLES_DIR) / (std::string(name) + ".dbf"));
        Export(table, dir);
        ExpectSqliteGivesBack(table, RunInSqlite(dir / (std::string(name) + ".sql")));
    }
}

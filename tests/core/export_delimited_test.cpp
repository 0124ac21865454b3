#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "export/exporters.h"
#include "support/opened_table.h"

using namespace quillet;
using namespace std::string_literals;
using quillet::testing::ExportedBytes;
using quillet::testing::OpenBuilt;
using quillet::testing::ReadFileBytes;
using quillet::testing::SettingsInto;
using quillet::testing::TableBuilder;
using quillet::testing::TempDir;

namespace {

TableBuilder People() {
    TableBuilder t;
    t.Field("NAME", 'C', 10).Field("CITY", 'C', 10).Field("AGE", 'N', 3);
    t.Record({"Smith", "Leeds", "42"});
    return t;
}

// Exports as text with the given options and returns the file's bytes.
std::string Text(const OpenTable& table, const ExportSettings& settings, const TempDir& dir) {
    return ExportedBytes(ExportText, ".txt", table, settings, dir);
}

ExportSettings Options(std::string delimiter, LineEnd rowEnd, bool header, bool quote) {
    ExportSettings s;
    s.Delimited.Delimiter = std::move(delimiter);
    s.Delimited.RowEnd = rowEnd;
    s.Delimited.IncludeHeader = header;
    s.Delimited.QuoteItems = quote;
    return s;
}

}  // namespace

TEST(DelimitedExport, DelimiterRowEndAndQuotingOptions) {
    TempDir dir;
    const OpenTable table = OpenBuilt(People(), dir);
    EXPECT_EQ(Text(table, Options(",", LineEnd::CRLF, true, true), dir),
              "\"NAME\",\"CITY\",\"AGE\"\r\n\"Smith\",\"Leeds\",\"42\"\r\n");
    EXPECT_EQ(Text(table, Options(",", LineEnd::LF, true, false), dir), "NAME,CITY,AGE\nSmith,Leeds,42\n");
    EXPECT_EQ(Text(table, Options(";", LineEnd::CRLF, false, false), dir), "Smith;Leeds;42\r\n");
    EXPECT_EQ(Text(table, Options(":", LineEnd::CRLF, false, false), dir), "Smith:Leeds:42\r\n");
    EXPECT_EQ(Text(table, Options(" ", LineEnd::CRLF, false, false), dir), "Smith Leeds 42\r\n");
    EXPECT_EQ(Text(table, Options("\t", LineEnd::LF, false, true), dir), "\"Smith\"\t\"Leeds\"\t\"42\"\n");
}

TEST(DelimitedExport, TextAndCsvDifferOnlyInExtension) {
    TempDir dir;
    const OpenTable table = OpenBuilt(People(), dir, "my.data.dbf");
    const ExportSettings settings = SettingsInto(dir.Path());
    ExportText(table, settings);
    ExportCsv(table, settings);
    const std::string csv = ReadFileBytes(dir / "my.csv");
    EXPECT_EQ(csv, "\"NAME\",\"CITY\",\"AGE\"\r\n\"Smith\",\"Leeds\",\"42\"\r\n");
    EXPECT_EQ(ReadFileBytes(dir / "my.txt"), csv);
}

TEST(DelimitedExport, TrailingDelimiterFollowsTheTablesLastColumnNotTheLastSelected) {
    TempDir dir;
    OpenTable table = OpenBuilt(People(), dir);
    const ExportSettings plain = Options(",", LineEnd::CRLF, true, false);

    table.ColumnSelected = {1, 1, 0};
    EXPECT_EQ(Text(table, plain, dir), "NAME,CITY,\r\nSmith,Leeds,\r\n");
    table.ColumnSelected = {1, 0, 0};
    EXPECT_EQ(Text(table, plain, dir), "NAME,\r\nSmith,\r\n");
    table.ColumnSelected = {0, 0, 1};
    EXPECT_EQ(Text(table, plain, dir), "AGE\r\n42\r\n");
    table.ColumnSelected = {0, 1, 0};
    EXPECT_EQ(Text(table, Options(",", LineEnd::CRLF, true, true), dir), "\"CITY\",\r\n\"Leeds\",\r\n");
    table.ColumnSelected = {0, 0, 0};
    EXPECT_EQ(Text(table, plain, dir), "\r\n\r\n");
}

TEST(DelimitedExport, CellsAreCleanedThenQuotedWithQuotesDoubled) {
    TempDir dir;
    TableBuilder t;
    t.Field("A", 'C', 12).Field("B", 'C', 12);
    t.Record({"ABC", ""});  // padded with blanks; empty
    t.Record({"  lead", "x\0y\rz"s});  // leading blanks; NUL and CR inside
    t.Record({"say \"hi\"", "a,b"});  // quote; the delimiter
    t.Record({"one\ntwo", "\""});  // LF kept in quotes, a blank without; a lone quote
    const OpenTable table = OpenBuilt(t, dir);

    EXPECT_EQ(Text(table, Options(",", LineEnd::CRLF, false, true), dir),
              "\"ABC\",\"\"\r\n"
              "\"lead\",\"xyz\"\r\n"
              "\"say \"\"hi\"\"\",\"a,b\"\r\n"
              "\"one\ntwo\",\"\"\"\"\r\n");
    EXPECT_EQ(Text(table, Options(",", LineEnd::CRLF, false, false), dir),
              "ABC,\r\n"
              "lead,xyz\r\n"
              "say \"hi\",a,b\r\n"
              "one two,\"\r\n");
}

TEST(DelimitedExport, TruthValuesNumbersAndTheDecimalSeparator) {
    TempDir dir;
    TableBuilder t;
    t.Field("OK", 'L', 1).Field("AMOUNT", 'N', 8, 2).Field("MEMO", 'M', 10);
    t.Record({"T", "12.50", "0000000001"}).Record({"F", "-3", ""});
    const OpenTable table = OpenBuilt(t, dir);

    ExportSettings comma = Options(",", LineEnd::LF, false, false);
    comma.DecimalSeparator = ',';
    EXPECT_EQ(Text(table, comma, dir), "True,12,5,\nFalse,-3,\n");
    comma.Delimited.QuoteItems = true;
    EXPECT_EQ(Text(table, comma, dir), "\"True\",\"12,5\",\"\"\n\"False\",\"-3\",\"\"\n");
}

TEST(DelimitedExport, EmptyFileWhenNothingIsWritten) {
    TempDir dir;
    const OpenTable table = OpenBuilt(People(), dir);
    ExportSettings settings = Options(",", LineEnd::CRLF, false, true);
    settings.RecordFilter = RecordFilter::OnlyDeleted;
    EXPECT_EQ(Text(table, settings, dir), "");
    settings.Delimited.IncludeHeader = true;
    EXPECT_EQ(Text(table, settings, dir), "\"NAME\",\"CITY\",\"AGE\"\r\n");
}

// Python's csv module reads the quoted file back item for item, whatever the cells hold.
TEST(DelimitedExport, QuotedCsvReadsBackWithPythonsCsvModule) {
    const std::filesystem::path python = "/usr/bin/python3";
    if (!std::filesystem::exists(python)) GTEST_SKIP() << "/usr/bin/python3 is not installed";

    TempDir dir;
    const std::vector<std::string> names = {"NAME", "NOTE", "AMOUNT"};
    // Each record as stored, then the items a reader must get back (comma as decimal separator).
    const std::pair<std::vector<std::string>, std::vector<std::string>> records[] = {
        {{"He said \"hi\"", "a,b;c\td", "12.5"}, {"He said \"hi\"", "a,b;c\td", "12,5"}},
        {{"line1\nline2", "\"", "-3"}, {"line1\nline2", "\"", "-3"}},
        {{"caf\xE9 \xFC\xDF", "\"\",\"", "0"}, {"caf\xE9 \xFC\xDF", "\"\",\"", "0"}},
        {{"", "x\r\ny", "1000000"}, {"", "x\ny", "1000000"}},
        {{"  padded  ", "'single'", "0.25"}, {"padded", "'single'", "0,25"}},
    };
    TableBuilder t;
    t.Field(names[0], 'C', 20).Field(names[1], 'C', 20).Field(names[2], 'N', 10, 2);
    for (const auto& [stored, read] : records) t.Record(stored);
    const OpenTable table = OpenBuilt(t, dir);

    const std::filesystem::path script = dir / "read.py";
    {
        std::ofstream out(script);
        out << "import csv, sys\n"
               "with open(sys.argv[1], newline='', encoding='latin-1') as f:\n"
               "    for row in csv.reader(f, delimiter=chr(int(sys.argv[2]))):\n"
               "        print(' '.join(item.encode('latin-1').hex() or '-' for item in row))\n";
    }
    auto hex = [](const std::string& s) {
        static const char digits[] = "0123456789abcdef";
        std::string h;
        for (unsigned char c : s) {
            h += digits[c >> 4];
            h += digits[c & 15];
        }
        return h.empty() ? std::string("-") : h;
    };
    std::string expected;
    auto expectRow = [&](const std::vector<std::string>& items) {
        for (std::size_t i = 0; i < items.size(); ++i) expected += (i ? " " : "") + hex(items[i]);
        expected += '\n';
    };
    expectRow(names);
    for (const auto& [stored, read] : records) expectRow(read);

    for (const std::string delimiter : {",", ";", "\t", " "}) {
        for (const LineEnd rowEnd : {LineEnd::CRLF, LineEnd::LF}) {
            ExportSettings settings = Options(delimiter, rowEnd, true, true);
            settings.SaveFolder = dir.Path().string();
            settings.DecimalSeparator = ',';
            ExportCsv(table, settings);
            const std::string command = python.string() + " " + script.string() + " " + (dir / "t.csv").string() +
                                        " " + std::to_string(static_cast<int>(delimiter[0])) + " 2>&1";
            FILE* pipe = ::popen(command.c_str(), "r");
            ASSERT_NE(pipe, nullptr);
            std::string output;
            char buffer[4096];
            for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
            EXPECT_EQ(::pclose(pipe), 0) << output;
            EXPECT_EQ(output, expected) << "delimiter " << int(delimiter[0]) << ", row end " << LineEndText(rowEnd);
        }
    }
}

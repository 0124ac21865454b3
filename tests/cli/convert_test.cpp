#include <gtest/gtest.h>

#include "run_cli.h"
#include "sample_tables.h"
#include "table/read_table.h"
#include "table/table_info.h"

using namespace quillet::testing;
namespace fs = std::filesystem;

namespace {

bool Mentions(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

int Lines(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

}  // namespace

TEST(CliConvert, AMissingTableIsNamedWithTheReasonAndExitsWithOne) {
    TempDir dir;
    const std::string missing = (dir / "gone.dbf").string();
    const CliRun run = RunCli({"convert", missing, "--to", "csv"});
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Err, "quillet-cli: Cannot read \"" + missing + "\": No such file or directory.\n");
    EXPECT_TRUE(run.Out.empty());

    const CliRun info = RunCli({"info", missing});
    EXPECT_EQ(info.Status, 1);
    EXPECT_EQ(info.Err, run.Err);
}

TEST(CliConvert, AFailingTableAmongGoodOnesIsReportedAndTheOthersAreStillWritten) {
    TempDir dir;
    SalesTable().WriteTo(dir / "first.dbf");
    SalesTable().WriteTo(dir / "last.dbf");
    {
        std::ofstream notATable(dir / "notes.dbf", std::ios::binary);
        notATable << "#!not a table";
    }
    const CliRun run = RunCli({"convert", (dir / "first.dbf").string(), (dir / "notes.dbf").string(),
                               (dir / "gone.dbf").string(), (dir / "last.dbf").string(), "--to", "sql"});
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Out, (dir / "first.sql").string() + "\n" + (dir / "last.sql").string() + "\n");
    EXPECT_TRUE(fs::exists(dir / "first.sql"));
    EXPECT_TRUE(fs::exists(dir / "last.sql"));
    EXPECT_FALSE(fs::exists(dir / "notes.sql"));
    EXPECT_EQ(Lines(run.Err), 2) << run.Err;
    EXPECT_TRUE(Mentions(run.Err, "\"" + (dir / "notes.dbf").string() + "\": This is not a dBASE III file (its version byte is 0x23)"))
        << run.Err;
    EXPECT_TRUE(Mentions(run.Err, "\"" + (dir / "gone.dbf").string() + "\": No such file or directory")) << run.Err;

    const CliRun info = RunCli({"info", (dir / "notes.dbf").string(), (dir / "first.dbf").string()});
    EXPECT_EQ(info.Status, 1);
    EXPECT_TRUE(Mentions(info.Out, "File name: " + (dir / "first.dbf").string()));
}

TEST(CliConvert, AnUnwritableFolderFailsTheTableWithThePathAndReason) {
    TempDir dir;
    SalesTable().WriteTo(dir / "sales.dbf");
    const CliRun run = RunCli({"convert", (dir / "sales.dbf").string(), "--to", "xls", "--out", (dir / "none").string()});
    EXPECT_EQ(run.Status, 1);
    EXPECT_TRUE(Mentions(run.Err, "Cannot write \"" + (dir / "none" / "sales.xls").string() + "\": No such file or directory"))
        << run.Err;
}

TEST(CliConvert, AnUnknownColumnIsAUsageErrorNamingTableAndColumnAndNothingIsWrittenForIt) {
    TempDir dir;
    SalesTable().WriteTo(dir / "sales.dbf");
    TableBuilder other;
    other.Field("NAME", 'C', 5).Record({"x"});
    other.WriteTo(dir / "other.dbf");

    const CliRun run = RunCli({"convert", (dir / "sales.dbf").string(), (dir / "other.dbf").string(), "--to", "csv",
                               "--columns", "name,City"});
    EXPECT_EQ(run.Status, 2);
    EXPECT_EQ(run.Err, "quillet-cli: \"" + (dir / "other.dbf").string() +
                           "\" has no column \"City\"; its columns are: NAME.\n");
    EXPECT_TRUE(fs::exists(dir / "sales.csv"));
    EXPECT_FALSE(fs::exists(dir / "other.csv"));
}

TEST(CliConvert, TwoTablesOfOneCallNeverWriteTheSameFile) {
    TempDir dir;
    fs::create_directory(dir / "a");
    fs::create_directory(dir / "b");
    SalesTable().WriteTo(dir / "a" / "sales.dbf");
    TableBuilder other;
    other.Field("NAME", 'C', 5).Record({"b"});
    other.WriteTo(dir / "b" / "sales.dbf");
    other.WriteTo(dir / "b" / "sales.old.dbf");

    const CliRun run = RunCli({"convert", (dir / "a" / "sales.dbf").string(), (dir / "b" / "sales.dbf").string(),
                               (dir / "b" / "sales.old.dbf").string(), "--to", "csv", "--out", dir.Path().string()});
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(Lines(run.Err), 2) << run.Err;
    EXPECT_TRUE(Mentions(run.Err, "it was just written from \"" + (dir / "a" / "sales.dbf").string() + "\"")) << run.Err;
    EXPECT_TRUE(Mentions(ReadFileBytes(dir / "sales.csv"), "Ana"));
}

TEST(CliConvert, ATableNamedLikeItsOutputIsNeverReplacedByIt) {
    TempDir dir;
    SalesTable().WriteTo(dir / "sales.csv");
    const std::string before = ReadFileBytes(dir / "sales.csv");
    const CliRun run = RunCli({"convert", (dir / "sales.csv").string(), "--to", "csv"});
    EXPECT_EQ(run.Status, 1);
    EXPECT_TRUE(Mentions(run.Err, "it is the table being converted")) << run.Err;
    EXPECT_EQ(ReadFileBytes(dir / "sales.csv"), before);
}

TEST(CliConvert, NothingButThePathGoesOutWhenStandardErrorIsNoTerminal) {
    TempDir dir;
    SalesTable().WriteTo(dir / "sales.dbf");
    const CliRun run = RunCli({"convert", (dir / "sales.dbf").string(), "--to", "rtf"});
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Err, "");
    EXPECT_EQ(run.Out, (dir / "sales.rtf").string() + "\n");
}

TEST(CliInfo, TheInformationBoxLinesThenOneLinePerField) {
    TempDir dir;
    SalesTable().WriteTo(dir / "sales.dbf");
    TableBuilder empty;
    empty.Date(99, 12, 31).Field("ID", 'N', 6).Field("MEMO", 'M', 10);
    empty.WriteTo(dir / "empty.dbf");

    const CliRun run = RunCli({"info", (dir / "sales.dbf").string(), (dir / "empty.dbf").string()});
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Err, "");

    quillet::OpenTable sales = quillet::ReadTableFile((dir / "sales.dbf").string());
    sales.SetSource((dir / "sales.dbf").string());
    std::string expected;
    for (const std::string& line : quillet::InformationLines(sales)) expected += line + "\n";
    EXPECT_EQ(run.Out.substr(0, expected.size()), expected);
    EXPECT_EQ(run.Out.substr(expected.size()),
              "Code page: 1252 (windows-1252), from the header byte 0x03\n"
              "NAME    C    Character        14   0\n"
              "CITY    C    Character        10   0\n"
              "AMOUNT  N    Numeric          10   2\n"
              "PAID    L    Logical           1   0\n"
              "\n"
              "File name: " + (dir / "empty.dbf").string() + "\n"
              "Version: FoxBASE+/Dbase III plus, no memo\n"
              "Total records: 0\n"
              "Last Update: 31/12/1999\n"
              "Code page: 1252 (windows-1252), the default\n"
              "ID    N    Numeric           6   0\n"
              "MEMO  M    Memo             10   0\n");
}

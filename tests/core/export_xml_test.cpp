#include <gtest/gtest.h>

#include <filesystem>

#include "export/exporters.h"
#include "support/run_program.h"
#include "support/opened_table.h"

using namespace quillet;
using quillet::testing::ExportedBytes;
using quillet::testing::OpenBuilt;
using quillet::testing::OpenTableAt;
using quillet::testing::RunProgram;
using quillet::testing::ShellQuoted;
using quillet::testing::TableBuilder;
using quillet::testing::TempDir;

namespace {

std::string Export(const OpenTable& table, const TempDir& dir, RecordFilter filter = RecordFilter::AllRecords) {
    ExportSettings settings;
    settings.RecordFilter = filter;
    return ExportedBytes(ExportXml, ".xml", table, settings, dir);
}

const std::string kHead = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\r\n";

// The string value of an XPath expression over the file, as xmllint reads it.
std::string XPath(const std::filesystem::path& file, const std::string& expression) {
    auto run = RunProgram("xmllint --xpath " + ShellQuoted("string(" + expression + ")") + " " + ShellQuoted(file.string()));
    EXPECT_EQ(run.ExitCode, 0) << run.Output;
    if (!run.Output.empty() && run.Output.back() == '\n') run.Output.pop_back();
    return run.Output;
}

void ExpectWellFormed(const std::filesystem::path& file) {
    const auto run = RunProgram("xmllint --noout " + ShellQuoted(file.string()));
    EXPECT_EQ(run.ExitCode, 0) << run.Output;
    EXPECT_EQ(run.Output, "");
}

}  // namespace

TEST(ExportXml, WorkedExampleByteForByte) {
    TempDir dir;
    TableBuilder t;
    t.Field("NAME", 'C', 20).Field("QTY", 'N', 8).Record({"Bolts & nuts <M8>", "12.5"});
    OpenTable table = OpenBuilt(t, dir, "parts.dbf");
    table.SourcePath = "C:\\data\\parts.dbf";
    EXPECT_EQ(Export(table, dir),
              kHead +
                  "<Root Database=\"C:\\data\\parts.dbf\">\r\n"
                  "<Structure>\r\n"
                  "<Field><Field_Name>NAME</Field_Name><Field_Type>CHARACTER</Field_Type><Field_Length>20</Field_Length></Field>\r\n"
                  "<Field><Field_Name>QTY</Field_Name><Field_Type>NUMERIC</Field_Type><Field_Length>8</Field_Length></Field>\r\n"
                  "</Structure>\r\n"
                  "<Records>\r\n"
                  "<Record>\r\n"
                  "<NAME>Bolts &amp; nuts &lt;M8&gt;</NAME><QTY>12.5</QTY>\r\n"
                  "</Record>\r\n"
                  "</Records>\r\n"
                  "</Root>\r\n");
}

TEST(ExportXml, CellTextsEscapedOnceAndRecordsFollowFilterAndSelection) {
    TempDir dir;
    TableBuilder t;
    t.Field("NAME", 'C', 12).Field("OK", 'L', 1).Field("NOTE", 'M', 4).Field("AMT", 'N', 6, 2);
    t.Record({"  a<b&c>d  ", "T", "12", "0.5"})
        .Record({"x\r\ny\tz\x01", "F", "", ""})
        .Record({"\"q\" 'a'", "?", "", "-3"});
    const OpenTable table = OpenBuilt(t, dir);
    const std::string all = Export(table, dir);
    EXPECT_NE(all.find("<Records>\r\n<Record>\r\n"
                       "<NAME>a&lt;b&amp;c&gt;d</NAME><OK>True</OK><NOTE></NOTE><AMT>0.5</AMT>\r\n</Record>\r\n"
                       "<Record>\r\n<NAME>x&#13;\ny\tz</NAME><OK>False</OK><NOTE></NOTE><AMT>0</AMT>\r\n</Record>\r\n"
                       "<Record>\r\n<NAME>\"q\" 'a'</NAME><OK>False</OK><NOTE></NOTE><AMT>-3</AMT>\r\n</Record>\r\n"
                       "</Records>\r\n</Root>\r\n"),
              std::string::npos)
        << all;

    EXPECT_NE(Export(table, dir, RecordFilter::OnlyDeleted).find("<Records>\r\n</Records>\r\n"), std::string::npos);

    OpenTable none = table;
    none.ColumnSelected.assign(none.ColumnSelected.size(), 0);
    const std::string empty = Export(none, dir);
    EXPECT_NE(empty.find("<Structure>\r\n</Structure>\r\n<Records>\r\n"
                         "<Record>\r\n\r\n</Record>\r\n<Record>\r\n\r\n</Record>\r\n<Record>\r\n\r\n</Record>\r\n"),
              std::string::npos)
        << empty;
}

TEST(ExportXml, NamesBecomeValidAndEveryTypeHasAWord) {
    TempDir dir;
    TableBuilder t;
    t.Version(0x30)
        .Field("1ST", 'C', 3)
        .Field("A:B", 'D', 8)
        .Field("\xC9T\xC9", 'F', 10, 2)
        .Field("#X Y", 'I', 4)
        .Field("FIELDTYPE", 'Y', 8)
        .Field("_OK-1.2", 'B', 8)
        .Field("WHEN", 'T', 8)
        .Field("PIC", 'G', 4)
        .Field("ODD", 'X', 2);
    const std::string xml = Export(OpenBuilt(t, dir), dir);
    const std::pair<const char*, const char*> expected[] = {
        {"_1ST", "CHARACTER"},  {"A_B", "CHARACTER"},   {"\xC3\x89T\xC3\x89", "NUMERIC"},
        {"_X_Y", "NUMERIC"},    {"FIELDTYPE", "NUMERIC"}, {"_OK-1.2", "NUMERIC"},
        {"WHEN", "DATETIME"},   {"PIC", "BINARY"},        {"ODD", "UNKNOWN"},
    };
    for (const auto& [name, word] : expected) {
        const std::string entry = std::string("<Field><Field_Name>") + name + "</Field_Name><Field_Type>" + word + "</Field_Type>";
        EXPECT_NE(xml.find(entry), std::string::npos) << entry;
    }
    EXPECT_EQ(xml.find("FIELDLEN"), std::string::npos);
}

TEST(ExportXml, XmllintReadsBackEveryCellText) {
    TempDir dir;
    TableBuilder t;
    t.LanguageDriver(0xC9)  // Windows-1251
        .Field("1ST", 'C', 24)
        .Field("NAME", 'C', 30)
        .Field("N", 'N', 8, 2)
        .Record({"\xCF\xF0\xE8\xE2\xE5\xF2 & <\xEC\xE8\xF0>", "Tom \"T\" O'Hara", "1.25"})
        .Record({std::string("a\x01" "b\x1F" "c\x0B" "d\0e", 9), "line1\r\nline2\ttab", "-7"});
    const std::filesystem::path source = dir / "a&b\"c<d>'e.dbf";
    t.WriteTo(source);
    const OpenTable table = OpenTableAt(source);
    Export(table, dir);
    const std::filesystem::path xml = dir / "a&b\"c<d>'e.xml";
    ExpectWellFormed(xml);

    EXPECT_EQ(XPath(xml, "/Root/@Database"), source.string());
    EXPECT_EQ(XPath(xml, "/Root/Records/Record[1]/_1ST"), "Привет & <мир>");
    EXPECT_EQ(XPath(xml, "/Root/Records/Record[1]/NAME"), "Tom \"T\" O'Hara");
    EXPECT_EQ(XPath(xml, "/Root/Records/Record[1]/N"), "1.25");
    EXPECT_EQ(XPath(xml, "/Root/Records/Record[2]/_1ST"), "abcde");
    EXPECT_EQ(XPath(xml, "/Root/Records/Record[2]/NAME"), "line1\r\nline2\ttab");
    EXPECT_EQ(XPath(xml, "/Root/Structure/Field[1]/Field_Name"), "_1ST");
}

TEST(ExportXml, SampleTablesAreWellFormed) {
    TempDir dir;
    for (const char* name : {"customers", "types", "empty"}) {
        const OpenTable table = OpenTableAt(std::filesystem::path(QUILLET_SAMPLES_DIR) / (std::string(name) + ".dbf"));
        Export(table, dir);
        ExpectWellFormed(dir / (std::string(name) + ".xml"));
    }
    EXPECT_EQ(XPath(dir / "customers.xml", "/Root/Records/Record[2]/CITY"), "Besançon");
    EXPECT_EQ(XPath(dir / "customers.xml", "/Root/Records/Record[5]/NAME"), "Pat \"the Cat\" O'Neil");
    EXPECT_EQ(XPath(dir / "types.xml", "/Root/Records/Record[1]/STAMP"), "2024-01-31 09:30:00");
    EXPECT_EQ(XPath(dir / "types.xml", "count(/Root/Records/Record)"), "4");
}

#include <gtest/gtest.h>

#include <string>

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

const std::string kHead =
    "<head><meta charset=\"utf-8\"><title></title></head><body text=\"#000000\" bgcolor=\"#FFFFFF\">\r\n"
    "<TABLE BORDER><TR> <TH COLSPAN=1 > <B></B> </TH></TR>\r\n";
const std::string kEnd = "</TABLE></body>\r\n";

std::string Html(const OpenTable& table, const ExportSettings& settings, const TempDir& dir) {
    return ExportedBytes(ExportHtml, ".htm", table, settings, dir);
}

}  // namespace

TEST(HtmlExport, WorkedExampleFiveLines) {
    TempDir dir;
    TableBuilder t;
    t.Field("NAME", 'C', 10).Field("CITY", 'C', 10).Record({"Smith", "Leeds"});
    const OpenTable table = OpenBuilt(t, dir);
    EXPECT_EQ(Html(table, SettingsInto(dir.Path()), dir),
              "<head><meta charset=\"utf-8\"><title></title></head><body text=\"#000000\" bgcolor=\"#FFFFFF\">\r\n"
              "<TABLE BORDER><TR> <TH COLSPAN=1 > <B></B> </TH></TR>\r\n"
              "<TR><TH>NAME</TH><TH>CITY</TH></TR>\r\n"
              "<TR><TD>Smith</TD><TD>Leeds</TD>\r\n"
              "</TABLE></body>\r\n");
}

TEST(HtmlExport, ColoursHeaderOptionAndEmptyCells) {
    TempDir dir;
    TableBuilder t;
    t.Field("NAME", 'C', 10).Field("N", 'N', 5).Field("MEMO", 'M', 10);
    t.Record({"", "0", "0000000001"}).Record({"    ", "", ""}).Record({"ITEM", "-1", ""});
    const OpenTable table = OpenBuilt(t, dir);
    ExportSettings settings = SettingsInto(dir.Path());
    settings.Html.TextColor = "FF0000";
    settings.Html.BackColor = "0000FF";
    settings.Html.IncludeHeader = false;
    EXPECT_EQ(Html(table, settings, dir),
              "<head><meta charset=\"utf-8\"><title></title></head><body text=\"#FF0000\" bgcolor=\"#0000FF\">\r\n"
              "<TABLE BORDER><TR> <TH COLSPAN=1 > <B></B> </TH></TR>\r\n"
              "<TR><TD>&nbsp</TD><TD>0</TD><TD>&nbsp</TD>\r\n"
              "<TR><TD>&nbsp</TD><TD>0</TD><TD>&nbsp</TD>\r\n"
              "<TR><TD>ITEM</TD><TD>-1</TD><TD>&nbsp</TD>\r\n" +
                  kEnd);
}

TEST(HtmlExport, MarkupCharactersInNamesAndCellsAreEscaped) {
    TempDir dir;
    TableBuilder t;
    t.Field("A&B", 'C', 24).Field("<Q\">", 'C', 24);
    t.Record({"<b>bold</b> & \"q\"", "&amp; stays text"});
    t.Record({" x\0y\rz\n\tw "s, "caf\xE9"});
    const OpenTable table = OpenBuilt(t, dir);
    EXPECT_EQ(Html(table, SettingsInto(dir.Path()), dir),
              kHead +
                  "<TR><TH>A&amp;B</TH><TH>&lt;Q&quot;&gt;</TH></TR>\r\n"
                  "<TR><TD>&lt;b&gt;bold&lt;/b&gt; &amp; &quot;q&quot;</TD><TD>&amp;amp; stays text</TD>\r\n" +
                  "<TR><TD>xyz<br>\tw</TD><TD>caf\xC3\xA9</TD>\r\n" + kEnd);
}

TEST(HtmlExport, NoColumnsOrNoRecords) {
    TempDir dir;
    TableBuilder t;
    t.Field("NAME", 'C', 10).Record({"a"}).Deleted({"b"});
    OpenTable table = OpenBuilt(t, dir);
    ExportSettings settings = SettingsInto(dir.Path());

    table.ColumnSelected = {0};
    EXPECT_EQ(Html(table, settings, dir), kHead + "<TR></TR>\r\n<TR>\r\n<TR>\r\n" + kEnd);

    table.ColumnSelected = {1};
    settings.RecordFilter = RecordFilter::OnlyDeleted;
    table.DeletedFlags = {0, 0};
    EXPECT_EQ(Html(table, settings, dir), kHead + "<TR><TH>NAME</TH></TR>\r\n" + kEnd);
    settings.Html.IncludeHeader = false;
    EXPECT_EQ(Html(table, settings, dir), kHead + kEnd);
}

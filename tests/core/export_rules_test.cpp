#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "support/exported_formats.h"
#include "support/opened_table.h"

using namespace quillet;
using quillet::testing::ExportedFormat;
using quillet::testing::ExportedFormats;
using quillet::testing::FailureOf;
using quillet::testing::FolderEntries;
using quillet::testing::OpenBuilt;
using quillet::testing::ReadFileBytes;
using quillet::testing::SettingsInto;
using quillet::testing::Sheet;
using quillet::testing::TableBuilder;
using quillet::testing::TempDir;

namespace {

using Rows = std::vector<std::vector<std::string>>;
using Names = std::vector<std::string>;

// Live and deleted records interleaved; MEMO is a type the reader leaves empty, and the name
// "IN STOCK" is not a valid XML name.
TableBuilder Mixed() {
    TableBuilder t;
    t.Field("NAME", 'C', 8).Field("MEMO", 'M', 10).Field("QTY", 'N', 4).Field("IN STOCK", 'L', 1);
    t.Record({"ann", "0000000001", "1", "T"});
    t.Deleted({"bob", "", "2", "F"});
    t.Record({"cy", "", "3", "Y"});
    t.Deleted({"dee", "", "4", "N"});
    return t;
}

Sheet ExportAndRead(const ExportedFormat& format, const OpenTable& table, const ExportSettings& settings,
                    const ExportProgress& progress = {}) {
    format.Export(table, settings, progress);
    return format.Read(OutputPath(table, settings, format.Format));
}

}  // namespace

TEST(ExportRules, RecordFilterTakesRecordsInFileOrderWithoutDeletedMarks) {
    TempDir dir;
    const OpenTable table = OpenBuilt(Mixed(), dir);
    const Names names = {"NAME", "MEMO", "QTY", "IN STOCK"};
    const std::vector<std::string> ann = {"ann", "", "1", "True"}, bob = {"bob", "", "2", "False"},
                                   cy = {"cy", "", "3", "True"}, dee = {"dee", "", "4", "False"};
    const struct {
        RecordFilter Filter;
        Rows Written;
        std::vector<std::int64_t> RecordNumbers;
    } cases[] = {
        {RecordFilter::AllRecords, {ann, bob, cy, dee}, {1, 2, 3, 4}},
        {RecordFilter::OnlyDeleted, {bob, dee}, {2, 4}},
        {RecordFilter::SkipDeleted, {ann, cy}, {1, 3}},
    };
    for (const ExportedFormat& format : ExportedFormats()) {
        for (const auto& [filter, rows, recordNumbers] : cases) {
            SCOPED_TRACE(std::string(format.Name) + ", filter " + std::to_string(static_cast<int>(filter)));
            ExportSettings settings = SettingsInto(dir.Path());
            settings.RecordFilter = filter;
            std::int64_t done = -1, total = -1;
            const Sheet sheet = ExportAndRead(format, table, settings, [&](std::int64_t d, std::int64_t t) {
                done = d;
                total = t;
            });
            EXPECT_EQ(sheet.Rows, rows);
            EXPECT_EQ(sheet.Names, format.NamesInFile(names));
            if (format.KeepsTablePositions) {
                EXPECT_EQ(sheet.RecordNumbers, recordNumbers);
            }
            EXPECT_EQ(done, 4);
            EXPECT_EQ(total, 4);
        }
    }
}

TEST(ExportRules, UnselectedColumnsAreMissingFromHeaderAndEveryRow) {
    TempDir dir;
    OpenTable table = OpenBuilt(Mixed(), dir);
    table.ColumnSelected = {0, 1, 1, 0};
    const ExportSettings settings = SettingsInto(dir.Path());
    for (const ExportedFormat& format : ExportedFormats()) {
        SCOPED_TRACE(format.Name);
        const Sheet sheet = ExportAndRead(format, table, settings);
        EXPECT_EQ(sheet.Rows, (Rows{{"", "1"}, {"", "2"}, {"", "3"}, {"", "4"}}));
        EXPECT_EQ(sheet.Names, (Names{"MEMO", "QTY"}));
        if (format.KeepsTablePositions) {
            EXPECT_EQ(sheet.ColumnNumbers, (std::vector<int>{2, 3}));
        }
    }
}

// Fields after the first one with an empty name are not listed, so never exported.
TEST(ExportRules, OnlyListedColumnsAreExported) {
    TempDir dir;
    TableBuilder t;
    t.Field("A", 'C', 2).Field("B", 'C', 2).Field("", 'C', 2).Field("D", 'C', 2);
    t.Record({"a", "b", "c", "d"});
    const OpenTable table = OpenBuilt(t, dir);
    ASSERT_EQ(table.ColumnCount, 2);
    for (const ExportedFormat& format : ExportedFormats()) {
        SCOPED_TRACE(format.Name);
        const Sheet sheet = ExportAndRead(format, table, SettingsInto(dir.Path()));
        EXPECT_EQ(sheet.Rows, (Rows{{"a", "b"}}));
        EXPECT_EQ(sheet.Names, (Names{"A", "B"}));
    }
}

// Each written record still gives a row, empty, so the rows follow the filter; a sheet that
// keeps table positions holds no cell at all; a format that cannot hold a table without
// columns refuses and leaves an earlier file as it was.
TEST(ExportRules, WithNoColumnSelected) {
    TempDir dir;
    OpenTable table = OpenBuilt(Mixed(), dir);
    table.ColumnSelected = {0, 0, 0, 0};
    ExportSettings settings = SettingsInto(dir.Path());
    settings.RecordFilter = RecordFilter::SkipDeleted;
    for (const ExportedFormat& format : ExportedFormats()) {
        SCOPED_TRACE(format.Name);
        if (format.RefusalWithoutColumns != nullptr) {
            const std::string path = OutputPath(table, settings, format.Format);
            std::ofstream(path) << "earlier export";
            const std::set<std::string> before = FolderEntries(dir.Path());
            EXPECT_EQ(FailureOf(format, table, settings), format.RefusalWithoutColumns);
            EXPECT_EQ(ReadFileBytes(path), "earlier export");
            EXPECT_EQ(FolderEntries(dir.Path()), before);
            continue;
        }
        const Sheet sheet = ExportAndRead(format, table, settings);
        EXPECT_EQ(sheet.Rows, format.KeepsTablePositions ? Rows() : Rows(2));
        EXPECT_TRUE(sheet.Names.empty());
    }
}

TEST(ExportRules, NoRowsWhenTheTableIsEmptyOrTheFilterSkipsEverything) {
    TempDir dir;
    TableBuilder empty;
    empty.Field("NAME", 'C', 8);
    const OpenTable none = OpenBuilt(empty, dir, "none.dbf");
    TableBuilder live;
    live.Field("NAME", 'C', 8).Record({"ann"});
    const OpenTable allLive = OpenBuilt(live, dir, "live.dbf");
    ExportSettings onlyDeleted = SettingsInto(dir.Path());
    onlyDeleted.RecordFilter = RecordFilter::OnlyDeleted;

    for (const ExportedFormat& format : ExportedFormats()) {
        for (const auto& [table, settings] : {std::pair{&none, SettingsInto(dir.Path())}, std::pair{&allLive, onlyDeleted}}) {
            SCOPED_TRACE(std::string(format.Name) + " " + table->TableBaseName);
            const Sheet sheet = ExportAndRead(format, *table, settings);
            EXPECT_TRUE(sheet.Rows.empty());
            EXPECT_EQ(sheet.Names, Names{"NAME"});
        }
    }
}

TEST(ExportRules, FileIsNamedAfterTheTableAndReplacedWholeEachTime) {
    TempDir tables;
    TempDir out;
    const OpenTable table = OpenBuilt(Mixed(), tables, "my.data.dbf");
    const ExportSettings settings = SettingsInto(out.Path());
    for (const ExportedFormat& format : ExportedFormats()) {
        SCOPED_TRACE(format.Name);
        const std::filesystem::path path = out / (std::string("my") + ExtensionOf(format.Format));
        EXPECT_EQ(OutputPath(table, settings, format.Format), path.string());
        std::ofstream(path) << std::string(100000, 'x');
        format.Export(table, settings, {});
        const std::string first = ReadFileBytes(path);
        format.Export(table, settings, {});
        EXPECT_EQ(ReadFileBytes(path), first);
        EXPECT_EQ(first.find("xxxx"), std::string::npos);
        EXPECT_EQ(format.Read(path).Rows.size(), 4u);
    }
    std::set<std::string> expected;
    for (const ExportedFormat& format : ExportedFormats()) expected.insert(std::string("my") + ExtensionOf(format.Format));
    EXPECT_EQ(FolderEntries(out.Path()), expected);
}

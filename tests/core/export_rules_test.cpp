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
using quillet::testing::OpenBuilt;
using quillet::testing::ReadFileBytes;
using quillet::testing::SettingsInto;
using quillet::testing::Sheet;
using quillet::testing::TableBuilder;
using quillet::testing::TempDir;

namespace {

using Rows = std::vector<std::vector<std::string>>;

// Live and deleted records interleaved; MEMO is a type the reader leaves empty.
TableBuilder Mixed() {
    TableBuilder t;
    t.Field("NAME", 'C', 8).Field("MEMO", 'M', 10).Field("QTY", 'N', 4).Field("OK", 'L', 1);
    t.Record({"ann", "0000000001", "1", "T"});
    t.Deleted({"bob", "", "2", "F"});
    t.Record({"cy", "", "3", "Y"});
    t.Deleted({"dee", "", "4", "N"});
    return t;
}

Sheet ExportAndRead(const ExportedFormat& format, const OpenTable& table, const ExportSettings& settings,
                    const ExportProgress& progress = {}) {
    format.Export(table, settings, progress);
    return format.Read(ReadFileBytes(OutputPath(table, settings, format.Format)));
}

std::set<std::string> FolderEntries(const std::filesystem::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.insert(entry.path().filename().string());
    return names;
}

}  // namespace

TEST(ExportRules, RecordFilterTakesRecordsInFileOrderWithoutDeletedMarks) {
    TempDir dir;
    const OpenTable table = OpenBuilt(Mixed(), dir);
    const std::vector<std::string> names = {"NAME", "MEMO", "QTY", "OK"};
    const std::vector<std::string> ann = {"ann", "", "1", "True"}, bob = {"bob", "", "2", "False"},
                                   cy = {"cy", "", "3", "True"}, dee = {"dee", "", "4", "False"};
    const std::pair<RecordFilter, Rows> cases[] = {
        {RecordFilter::AllRecords, {ann, bob, cy, dee}},
        {RecordFilter::OnlyDeleted, {bob, dee}},
        {RecordFilter::SkipDeleted, {ann, cy}},
    };
    for (const ExportedFormat& format : ExportedFormats()) {
        for (const auto& [filter, rows] : cases) {
            ExportSettings settings = SettingsInto(dir.Path());
            settings.RecordFilter = filter;
            std::int64_t done = -1, total = -1;
            const Sheet sheet = ExportAndRead(format, table, settings, [&](std::int64_t d, std::int64_t t) {
                done = d;
                total = t;
            });
            EXPECT_EQ(sheet.Rows, rows) << format.Name << ", filter " << static_cast<int>(filter);
            EXPECT_EQ(sheet.Names, names) << format.Name;
            EXPECT_EQ(done, 4) << format.Name;
            EXPECT_EQ(total, 4) << format.Name;
        }
    }
}

TEST(ExportRules, UnselectedColumnsAreMissingFromHeaderAndEveryRow) {
    TempDir dir;
    OpenTable table = OpenBuilt(Mixed(), dir);
    table.ColumnSelected = {0, 1, 1, 0};
    const ExportSettings settings = SettingsInto(dir.Path());
    for (const ExportedFormat& format : ExportedFormats()) {
        const Sheet sheet = ExportAndRead(format, table, settings);
        EXPECT_EQ(sheet.Rows, (Rows{{"", "1"}, {"", "2"}, {"", "3"}, {"", "4"}})) << format.Name;
        EXPECT_EQ(sheet.Names, (std::vector<std::string>{"MEMO", "QTY"})) << format.Name;
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
        const Sheet sheet = ExportAndRead(format, table, SettingsInto(dir.Path()));
        EXPECT_EQ(sheet.Rows, (Rows{{"a", "b"}})) << format.Name;
        EXPECT_EQ(sheet.Names, (std::vector<std::string>{"A", "B"})) << format.Name;
    }
}

TEST(ExportRules, WithNoColumnSelectedEachWrittenRecordStillGivesARow) {
    TempDir dir;
    OpenTable table = OpenBuilt(Mixed(), dir);
    table.ColumnSelected = {0, 0, 0, 0};
    ExportSettings settings = SettingsInto(dir.Path());
    settings.RecordFilter = RecordFilter::SkipDeleted;
    for (const ExportedFormat& format : ExportedFormats()) {
        if (!format.RowsWithoutColumns) continue;
        const Sheet sheet = ExportAndRead(format, table, settings);
        EXPECT_EQ(sheet.Rows, (Rows{{}, {}})) << format.Name;
        EXPECT_TRUE(sheet.Names.empty()) << format.Name;
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
            const Sheet sheet = ExportAndRead(format, *table, settings);
            EXPECT_TRUE(sheet.Rows.empty()) << format.Name << " " << table->TableBaseName;
            EXPECT_EQ(sheet.Names, std::vector<std::string>{"NAME"}) << format.Name;
        }
    }
}

TEST(ExportRules, FileIsNamedAfterTheTableAndReplacedWholeEachTime) {
    TempDir tables;
    TempDir out;
    const OpenTable table = OpenBuilt(Mixed(), tables, "my.data.dbf");
    const ExportSettings settings = SettingsInto(out.Path());
    for (const ExportedFormat& format : ExportedFormats()) {
        const std::filesystem::path path = out / (std::string("my") + ExtensionOf(format.Format));
        EXPECT_EQ(OutputPath(table, settings, format.Format), path.string());
        std::ofstream(path) << std::string(100000, 'x');
        format.Export(table, settings, {});
        const std::string first = ReadFileBytes(path);
        format.Export(table, settings, {});
        EXPECT_EQ(ReadFileBytes(path), first) << format.Name;
        EXPECT_EQ(first.find("xxxx"), std::string::npos) << format.Name;
    }
    std::set<std::string> expected;
    for (const ExportedFormat& format : ExportedFormats()) expected.insert(std::string("my") + ExtensionOf(format.Format));
    EXPECT_EQ(FolderEntries(out.Path()), expected);
}

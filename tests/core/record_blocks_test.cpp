#include "export/record_blocks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "support/exported_formats.h"
#include "support/write_limit.h"
#include "support/opened_table.h"

using namespace quillet;
using quillet::testing::ExportedBytes;
using quillet::testing::ExportedFormat;
using quillet::testing::ExportedFormats;
using quillet::testing::FailureOf;
using quillet::testing::WriteLimit;
using quillet::testing::FolderEntries;
using quillet::testing::OpenBuilt;
using quillet::testing::ReadFileBytes;
using quillet::testing::SettingsInto;
using quillet::testing::TableBuilder;
using quillet::testing::TempDir;

namespace {

constexpr int kRecords = 40000;  // about ninety blocks

// Every kind of cell, with the bytes each format escapes or drops, and deleted records spread
// unevenly so that the blocks of the filtered table differ in length.
TableBuilder LargeTable() {
    TableBuilder t;
    t.Field("NAME", 'C', 24)
        .Field("AMOUNT", 'N', 10, 2)
        .Field("PAID", 'L', 1)
        .Field("NOTE", 'C', 30)
        .Field("BORN", 'D', 8);
    const std::string notes[] = {"plain",           "say \"hi\", <b> & {x}",     "",
                                 "caf\xE9 \\ back", std::string("nul\0cr\r", 7), "  padded  "};
    for (int i = 0; i < kRecords; ++i) {
        const std::vector<std::string> cells{
            "name " + std::to_string(i), std::to_string(i % 977) + "." + std::to_string(i % 100),
            i % 3 == 0 ? "T" : "F", notes[i % std::size(notes)], "2024050" + std::to_string(i % 10)};
        if (i % 7 == 0 || (i / 1000) % 5 == 0) {
            t.Deleted(cells);
        } else {
            t.Record(cells);
        }
    }
    return t;
}

}  // namespace

TEST(RecordBlocks, TwoThreadsWriteTheSameBytesAsOne) {
    TempDir dir;
    OpenTable table = OpenBuilt(LargeTable(), dir);
    const std::vector<std::vector<std::uint8_t>> selections = {{1, 1, 1, 1, 1}, {0, 1, 0, 1, 0}, {1, 0, 1, 0, 1}};
    for (const ExportedFormat& format : ExportedFormats()) {
        if (format.OneThread) continue;
        for (const RecordFilter filter :
             {RecordFilter::AllRecords, RecordFilter::OnlyDeleted, RecordFilter::SkipDeleted}) {
            for (const auto& selection : selections) {
                SCOPED_TRACE(std::string(format.Name) + ", filter " + std::to_string(static_cast<int>(filter)));
                table.ColumnSelected = selection;
                ExportSettings settings = SettingsInto(dir.Path());
                settings.RecordFilter = filter;
                settings.DecimalSeparator = ',';
                SetTwoThreadFormatting(false);
                const std::string one = ExportedBytes(format.Export, ExtensionOf(format.Format), table, settings, dir);
                SetTwoThreadFormatting(true);
                const std::string two = ExportedBytes(format.Export, ExtensionOf(format.Format), table, settings, dir);
                ASSERT_TRUE(one == two) << "first difference at byte "
                                        << std::mismatch(one.begin(), one.end(), two.begin()).first - one.begin();
            }
        }
    }
}

TEST(RecordBlocks, ProgressComesFromTheCallingThreadInOrder) {
    TempDir dir;
    const OpenTable table = OpenBuilt(LargeTable(), dir);
    SetTwoThreadFormatting(true);
    for (const ExportedFormat& format : ExportedFormats()) {
        if (format.OneThread) continue;
        std::vector<std::int64_t> done;
        bool elsewhere = false;
        const std::thread::id caller = std::this_thread::get_id();
        format.Export(table, SettingsInto(dir.Path()), [&](std::int64_t d, std::int64_t total) {
            elsewhere = elsewhere || std::this_thread::get_id() != caller || total != kRecords;
            done.push_back(d);
        });
        EXPECT_FALSE(elsewhere) << format.Name;
        ASSERT_FALSE(done.empty()) << format.Name;
        EXPECT_TRUE(std::is_sorted(done.begin(), done.end())) << format.Name;
        EXPECT_EQ(done.back(), kRecords) << format.Name;
    }
}

// A write failing in the middle fails the export as a whole, whichever thread holds the block:
// the other thread stops, the earlier file stays and no partial file is left.
TEST(RecordBlocks, AWriteFailingMidwayStopsBothThreadsAndLeavesNoFile) {
    TempDir tables;
    TempDir out;
    const OpenTable table = OpenBuilt(LargeTable(), tables);
    SetTwoThreadFormatting(true);
    for (const ExportedFormat& format : ExportedFormats()) {
        if (format.OneThread) continue;
        const ExportSettings settings = SettingsInto(out.Path());
        const std::string path = OutputPath(table, settings, format.Format);
        const std::size_t size = ExportedBytes(format.Export, ExtensionOf(format.Format), table, settings, out).size();
        // Early in the file and further on: the failing write may fall to either thread.
        for (const std::size_t limit : {size / 10, size * 3 / 10}) {
            std::ofstream(path) << "earlier export";
            std::string message;
            {
                const WriteLimit sizeLimit(limit);
                message = FailureOf(format, table, settings);
            }
            EXPECT_EQ(message, "Cannot write \"" + path + "\": File too large.") << format.Name;
            EXPECT_EQ(ReadFileBytes(path), "earlier export") << format.Name;
            EXPECT_EQ(FolderEntries(out.Path()).size(), 1u) << format.Name;
        }
        std::filesystem::remove(path);
    }
}

// A disk that fills up at any point of an export, in every format: the export fails with a
// message naming the file, an earlier file of that name keeps its bytes, and no partial or
// temporary file stays behind.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "export/output_file.h"
#include "support/exported_formats.h"
#include "support/opened_table.h"
#include "support/write_limit.h"

using namespace quillet;
using quillet::testing::ExportedFormat;
using quillet::testing::ExportedFormats;
using quillet::testing::FailureOf;
using quillet::testing::FolderEntries;
using quillet::testing::OpenBuilt;
using quillet::testing::ReadFileBytes;
using quillet::testing::SettingsInto;
using quillet::testing::TableBuilder;
using quillet::testing::TempDir;
using quillet::testing::WriteLimit;

namespace {

// Larger than the output file's buffer in every format, so that the disk can fill up while
// records are still being written, not only at the final flush.
OpenTable LargeTable(const TempDir& dir) {
    TableBuilder t;
    t.Field("NAME", 'C', 200).Field("AMOUNT", 'N', 10, '2').Field("OK", 'L', 1);
    const std::string name(190, 'x');
    // Within the worksheet's 16384 rows.
    for (int i = 0; i < 16000; ++i) t.Record({name + std::to_string(i), std::to_string(i) + ".25", i % 2 ? "T" : "F"});
    return OpenBuilt(t, dir);
}

}  // namespace

TEST(ExportFaults, DiskFullAtAnyPointKeepsTheEarlierFileInEveryFormat) {
    TempDir tables;
    TempDir out;
    const OpenTable table = LargeTable(tables);
    const ExportSettings settings = SettingsInto(out.Path());
    for (const ExportedFormat& format : ExportedFormats()) {
        const std::filesystem::path path = OutputPath(table, settings, format.Format);
        SCOPED_TRACE(path.filename().string());
        format.Export(table, settings, {});
        const auto size = std::filesystem::file_size(path);
        ASSERT_GT(size, 256u << 10);  // beyond the output buffer; a workbook is compressed
        std::ofstream(path, std::ios::trunc) << "earlier export";

        // Nothing fits; half fits (the failure comes amid the records); all but the last byte fits.
        for (const auto limit : {std::uintmax_t{0}, size / 2, size - 1}) {
            SCOPED_TRACE(limit);
            std::string message;
            {
                const WriteLimit full(limit);
                message = FailureOf(format, table, settings);
            }
            EXPECT_NE(message.find(path.string()), std::string::npos) << message;
            EXPECT_NE(message.find("File too large"), std::string::npos) << message;
            EXPECT_EQ(ReadFileBytes(path), "earlier export");
            EXPECT_EQ(FolderEntries(out.Path()), std::set<std::string>{path.filename().string()});
        }

        // With room again the same export replaces the earlier file whole.
        format.Export(table, settings, {});
        EXPECT_EQ(std::filesystem::file_size(path), size);
        std::filesystem::remove(path);
    }
}

TEST(ExportFaults, OutputFileFailingOnItsLastFlushOrAnOversizedWrite) {
    TempDir out;
    const std::filesystem::path target = out / "t.csv";
    std::ofstream(target) << "earlier";
    const std::string big(3u << 20, 'b');
    for (const bool oversized : {false, true}) {
        SCOPED_TRACE(oversized);
        const WriteLimit full(oversized ? 1000 : 10);
        try {
            OutputFile file(target.string());
            file.WriteLine("a line that waits in the buffer until the commit");
            if (oversized) file.Write(big);  // goes past the buffer straight to the file
            file.Commit();
            ADD_FAILURE() << "the write succeeded";
        } catch (const ExportError& e) {
            EXPECT_NE(std::string(e.what()).find(target.string()), std::string::npos) << e.what();
        }
        EXPECT_EQ(ReadFileBytes(target), "earlier");
        EXPECT_EQ(FolderEntries(out.Path()), std::set<std::string>{"t.csv"});
    }
}

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "support/exported_formats.h"
#include "support/write_limit.h"
#include "support/opened_table.h"

using namespace quillet;
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

OpenTable ManyRecords(const TempDir& dir) {
    TableBuilder t;
    t.Field("NAME", 'C', 20).Field("QTY", 'N', 6);
    for (int i = 0; i < 500; ++i) t.Record({"name " + std::to_string(i), std::to_string(i)});
    return OpenBuilt(t, dir);
}

}  // namespace

TEST(ExportFailure, MissingFolderOrAFileWhereTheFolderShouldBe) {
    TempDir tables;
    TempDir out;
    const OpenTable table = OpenBuilt(TableBuilder().Field("NAME", 'C', 4).Record({"a"}), tables);
    std::ofstream(out / "plain") << "a file, not a folder";

    for (const ExportedFormat& format : ExportedFormats()) {
        for (const char* folder : {"missing", "plain", "missing/deeper"}) {
            const ExportSettings settings = SettingsInto(out / folder);
            const std::string path = OutputPath(table, settings, format.Format);
            const std::string message = FailureOf(format, table, settings);
            EXPECT_NE(message.find(path), std::string::npos) << message;
            EXPECT_EQ(FolderEntries(out.Path()), std::set<std::string>{"plain"}) << format.Name << " " << folder;
        }
    }
    EXPECT_EQ(ReadFileBytes(out / "plain"), "a file, not a folder");
}

TEST(ExportFailure, TargetThatIsAFolderIsLeftAsItWas) {
    TempDir tables;
    TempDir out;
    const OpenTable table = OpenBuilt(TableBuilder().Field("NAME", 'C', 4).Record({"a"}), tables);
    const ExportSettings settings = SettingsInto(out.Path());
    for (const ExportedFormat& format : ExportedFormats()) {
        const std::filesystem::path target = OutputPath(table, settings, format.Format);
        std::filesystem::create_directory(target);
        std::ofstream(target / "inside") << "kept";
        const std::string message = FailureOf(format, table, settings);
        EXPECT_NE(message.find(target.string()), std::string::npos) << message;
        EXPECT_NE(message.find("folder"), std::string::npos) << message;
        EXPECT_EQ(ReadFileBytes(target / "inside"), "kept");
        EXPECT_EQ(FolderEntries(out.Path()), std::set<std::string>{target.filename().string()}) << format.Name;
        std::filesystem::remove_all(target);
    }
}

TEST(ExportFailure, ReadOnlyFolderKeepsTheExistingFile) {
    TempDir tables;
    TempDir out;
    const OpenTable table = OpenBuilt(TableBuilder().Field("NAME", 'C', 4).Record({"a"}), tables);
    const ExportSettings settings = SettingsInto(out.Path());
    for (const ExportedFormat& format : ExportedFormats()) {
        std::ofstream(OutputPath(table, settings, format.Format)) << "earlier export";
    }
    const std::set<std::string> before = FolderEntries(out.Path());
    std::filesystem::permissions(out.Path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    if (std::ofstream(out / "probe")) {
        std::filesystem::remove(out / "probe");
        GTEST_SKIP() << "this user (root?) may write into a read-only folder; "
                        "ExportFailure.MissingFolderOrAFileWhereTheFolderShouldBe covers a folder that takes no file";
    }
    for (const ExportedFormat& format : ExportedFormats()) {
        const std::string path = OutputPath(table, settings, format.Format);
        const std::string message = FailureOf(format, table, settings);
        EXPECT_NE(message.find(path), std::string::npos) << message;
        EXPECT_EQ(ReadFileBytes(path), "earlier export") << format.Name;
    }
    EXPECT_EQ(FolderEntries(out.Path()), before);
}

// A write that fails halfway (the disk fills up) loses nothing: the earlier file stays and
// the partial one is removed.
TEST(ExportFailure, FailedWriteKeepsTheExistingFileAndLeavesNoPartialOne) {
    TempDir tables;
    TempDir out;
    const OpenTable table = ManyRecords(tables);
    const ExportSettings settings = SettingsInto(out.Path());
    for (const ExportedFormat& format : ExportedFormats()) {
        const std::string path = OutputPath(table, settings, format.Format);
        std::ofstream(path) << "earlier export";
        std::string message;
        {
            const WriteLimit limit(64);
            message = FailureOf(format, table, settings);
        }
        EXPECT_NE(message.find(path), std::string::npos) << message;
        EXPECT_EQ(ReadFileBytes(path), "earlier export") << format.Name;
        EXPECT_EQ(FolderEntries(out.Path()), std::set<std::string>{std::filesystem::path(path).filename().string()})
            << format.Name;
        std::filesystem::remove(path);
    }
}

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "export/export_error.h"
#include "export/output_file.h"
#include "support/write_limit.h"
#include "support/table_builder.h"

using namespace quillet;
using quillet::testing::WriteLimit;
using quillet::testing::ReadFileBytes;
using quillet::testing::TempDir;

namespace {

// Several megabytes in pieces of every size: single bytes, lines, and blocks larger than a buffer.
std::string WriteMegabytes(OutputFile& file) {
    std::string expected;
    for (int round = 0; round < 6; ++round) {
        const std::string line = "line " + std::to_string(round) + " of the export";
        for (int i = 0; i < 20000; ++i) {
            file.WriteLine(line);
            expected += line + "\r\n";
        }
        file.Write('#');
        expected += '#';
        const std::string block(1500000 + round, static_cast<char>('a' + round));
        file.Write(block);
        expected += block;
    }
    return expected;
}

std::set<std::string> Entries(const std::filesystem::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.insert(entry.path().filename().string());
    return names;
}

}  // namespace

TEST(OutputFile, BytesArriveInOrderAcrossManyBuffers) {
    TempDir dir;
    const std::string target = (dir / "big.csv").string();
    OutputFile file(target);
    const std::string expected = WriteMegabytes(file);
    file.Commit();
    EXPECT_EQ(ReadFileBytes(target), expected);
    EXPECT_EQ(Entries(dir.Path()), std::set<std::string>{"big.csv"});
}

TEST(OutputFile, AFailingWriteFailsTheExportAndLeavesNothing) {
    TempDir dir;
    const std::string target = (dir / "big.csv").string();
    std::ofstream(target) << "earlier export";

    std::string message;
    try {
        const WriteLimit limit(3u << 20);
        OutputFile file(target);
        WriteMegabytes(file);
        file.Commit();
    } catch (const ExportError& e) {
        message = e.what();
    }

    EXPECT_EQ(message, "Cannot write \"" + target + "\": File too large.");
    EXPECT_EQ(ReadFileBytes(target), "earlier export");
    EXPECT_EQ(Entries(dir.Path()), std::set<std::string>{"big.csv"});
}

TEST(OutputFile, AnExportAbandonedMidwayLeavesNoFile) {
    TempDir dir;
    {
        OutputFile file((dir / "big.csv").string());
        WriteMegabytes(file);
    }
    EXPECT_TRUE(Entries(dir.Path()).empty());
}

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "table/read_table.h"

using namespace quillet;

namespace {

struct CorpusEntry {
    std::string File;
    std::string VersionByte;
    std::string RecordCount;
    std::string Notes;
};

std::vector<CorpusEntry> LoadManifest(const std::filesystem::path& folder) {
    std::vector<CorpusEntry> entries;
    std::ifstream manifest(folder / "MANIFEST.tsv");
    std::string line;
    std::getline(manifest, line);  // column names
    while (std::getline(manifest, line)) {
        std::vector<std::string> columns;
        std::stringstream split(line);
        for (std::string column; std::getline(split, column, '\t');) columns.push_back(column);
        if (columns.size() < 12) continue;
        const std::string& file = columns[0];
        const std::string extension = file.substr(file.find_last_of('.') + 1);
        std::string lower;
        for (char c : extension) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (lower != "dbf" && lower != "dbc") continue;
        entries.push_back({file, columns[5], columns[6], columns[11]});
    }
    return entries;
}

}  // namespace

// Every real table either opens with the records it holds or is refused with a clear message.
TEST(Corpus, EveryTableOpensOrIsRefusedCleanly) {
    const std::filesystem::path folder = QUILLET_CORPUS_DIR;
    if (!std::filesystem::exists(folder / "MANIFEST.tsv")) GTEST_SKIP() << "no corpus at " << folder;
    const std::vector<CorpusEntry> entries = LoadManifest(folder);
    ASSERT_GT(entries.size(), 50u);
    int opened = 0;
    for (const CorpusEntry& entry : entries) {
        SCOPED_TRACE(entry.File);
        const std::string path = (folder / entry.File).string();
        try {
            const OpenTable table = ReadTableFile(path);
            ++opened;
            ASSERT_NE(entry.VersionByte, "-");
            EXPECT_NE(VersionTextOf(static_cast<std::uint8_t>(std::stoi(entry.VersionByte, nullptr, 16))), nullptr);
            const std::int64_t promised = std::stoll(entry.RecordCount);
            if (entry.Notes.find("truncated") != std::string::npos) {
                EXPECT_LT(table.RecordCount(), promised);
                EXPECT_EQ(table.RecordsPromised, promised);
            } else {
                EXPECT_EQ(table.RecordCount(), promised);
            }
            EXPECT_EQ(table.FieldNames.size(), static_cast<std::size_t>(table.FieldCount));
            for (std::int64_t r = 0; r < table.RecordCount(); ++r) {
                for (int f = 0; f < table.FieldCount; ++f) (void)table.Cell(r, f);
            }
        } catch (const TableError& e) {
            const std::string message = e.what();
            EXPECT_FALSE(message.empty());
            if (e.ErrorKind() == TableError::Kind::UnknownVersion) {
                EXPECT_EQ(message.rfind("This is not a dBASE III file & ", 0), 0u);
                if (entry.VersionByte != "-") {
                    EXPECT_EQ(VersionTextOf(static_cast<std::uint8_t>(std::stoi(entry.VersionByte, nullptr, 16))), nullptr);
                }
            } else {
                EXPECT_NE(message.find(entry.File.substr(entry.File.find('/') + 1)), std::string::npos) << message;
            }
        }
    }
    EXPECT_GT(opened, 40);
}

// Every real table opens with the records it holds (its first three and last in
// corpus_records.txt), also when read a few records at a time, or
// is refused with a clear message (what the exports of the readable ones give back:
// corpus_exports_test.cpp).

#include <gtest/gtest.h>

#include "support/exported_formats.h"

using namespace quillet;
using namespace quillet::testing;

TEST(Corpus, EveryTableOpensOrIsRefusedCleanly) {
    const std::filesystem::path folder = QUILLET_CORPUS_DIR;
    if (!std::filesystem::exists(folder / "MANIFEST.tsv")) GTEST_SKIP() << "no corpus at " << folder;
    int opened = 0;
    std::string dumps;
    for (const auto& columns : DataRows(folder / "MANIFEST.tsv")) {
        std::string extension = columns[0].substr(columns[0].find_last_of('.') + 1);
        for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (columns.size() < 12 || (extension != "dbf" && extension != "dbc")) continue;
        SCOPED_TRACE(columns[0]);
        const bool known = columns[5] != "-" && VersionTextOf(static_cast<std::uint8_t>(std::stoi(columns[5], nullptr, 16))) != nullptr;
        try {
            const OpenTable table = OpenTableAt(folder / columns[0]);
            ++opened;
            dumps += "== " + columns[0] + "\n" + Dump(table, 3);
            EXPECT_TRUE(known);
            const std::int64_t promised = std::stoll(columns[6]);
            EXPECT_EQ(table.RecordsPromised, promised);
            EXPECT_EQ(table.RecordCount() < promised, columns[11].find("truncated") != std::string::npos);
            // Read three records at a time, it gives the same cells, memos and warnings.
            const TempDir dir;
            const auto stream = StreamAt(folder / columns[0], 3);
            EXPECT_EQ(Exported(stream->Table(), SettingsFor("to=csv", dir.Path())), Exported(table, SettingsFor("to=csv", dir.Path())));
            EXPECT_EQ(stream->Warnings(), table.Warnings);
        } catch (const TableError& e) {
            const std::string message = e.what();
            if (e.ErrorKind() == TableError::Kind::UnknownVersion) {
                EXPECT_FALSE(known);
                EXPECT_EQ(message.rfind("This is not a dBASE III file & ", 0), 0u);
            } else {
                EXPECT_NE(message.find(columns[0].substr(columns[0].find('/') + 1)), std::string::npos) << message;
            }
        }
    }
    EXPECT_GT(opened, 40);
    ExpectGolden(dumps, "corpus_records.txt");
}

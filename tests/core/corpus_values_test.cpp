// Values of real tables, as their source projects' own tests expect them (tests/data/corpus_values.tsv),
// and which of the real tables may be refused at all.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>

#include "support/files.h"
#include "table/cell_text.h"
#include "table/read_table.h"

using namespace quillet;
using namespace quillet::testing;

namespace {

const std::filesystem::path kCorpus = QUILLET_CORPUS_DIR;

// A cell as the list shows it; "#columns", "#warnings" and "#refused" stand for the listed
// column names, the warnings and the refusal of the whole table.
std::string Shown(const std::string& file, const std::string& record, const std::string& field) {
    try {
        OpenTable table = ReadTableFile((kCorpus / file).string());
        table.ListColumns();
        std::string joined;
        if (field == "#columns") {
            for (int f = 0; f < table.ColumnCount; ++f) joined += (f > 0 ? "," : "") + table.FieldNames[static_cast<std::size_t>(f)];
            return joined;
        }
        if (field == "#warnings") {
            for (const std::string& warning : table.Warnings) joined += warning;
            return joined;
        }
        for (int f = 0; f < table.ColumnCount; ++f) {
            if (table.FieldNames[static_cast<std::size_t>(f)] != field) continue;
            const CellValue cell = table.Cell(std::stoll(record), f);
            std::string text = cell.Kind == CellKind::Binary ? BinaryCellText(cell.ByteSize) : CellText(cell, '.');
            return text.erase(text.find_last_not_of(' ') + 1);
        }
        return "no field " + field;
    } catch (const TableError& e) {
        return e.what();
    }
}

}  // namespace

TEST(CorpusValues, CellsAreWhatTheSourceProjectsExpect) {
    if (!std::filesystem::exists(kCorpus / "MANIFEST.tsv")) GTEST_SKIP() << "no corpus at " << kCorpus;
    std::set<std::string> refusable;
    int rows = 0;
    for (auto column : DataRows(QUILLET_TEST_DATA "/corpus_values.tsv")) {
        column.resize(4);
        SCOPED_TRACE(column[0] + " " + column[1]);
        ++rows;
        const std::string shown = Shown(column[0], column[1], column[2]);
        if (column[2] == "#refused" || column[2] == "#warnings") {
            EXPECT_NE(shown.find(column[3]), std::string::npos) << shown;
            if (column[2] == "#refused") refusable.insert(column[0]);
        } else {
            EXPECT_EQ(shown, column[3]);
        }
    }
    EXPECT_GT(rows, 30);

    // Every other real table opens.
    for (const auto& entry : std::filesystem::recursive_directory_iterator(kCorpus)) {
        std::string extension = entry.path().extension().string();
        for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (extension != ".dbf" && extension != ".dbc") continue;
        const std::string file = std::filesystem::relative(entry.path(), kCorpus).string();
        if (refusable.count(file) == 0) {
            EXPECT_NO_THROW(ReadTableFile(entry.path().string())) << file;
        }
    }
}

// Every real table opens with the records it holds (its first three and last in
// corpus_records.txt), also when read a few records at a time, and opens in every format's
// consumer, or is refused with a clear message; cells against the values the tables' own
// projects expect (tests/data/corpus_values.tsv).

#include <gtest/gtest.h>

#include <map>

#include "support/exported_formats.h"

using namespace quillet;
using namespace quillet::testing;

TEST(Corpus, EveryTableOpensOrIsRefusedCleanly) {
    const std::filesystem::path folder = QUILLET_CORPUS_DIR;
    if (!std::filesystem::exists(folder / "MANIFEST.tsv")) GTEST_SKIP() << "no corpus at " << folder;
    int opened = 0;
    std::string dumps;
    const TempDir out;
    std::map<std::string, std::pair<const ExportedFormat*, std::int64_t>> written;  // file: its format, records
    std::map<std::string, int> filesOf;  // format: files written
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
            // Read three records at a time, and each window twice (the SQL script looks at the
            // records before writing them), it gives the same cells, memos and warnings.
            const TempDir dir;
            const auto stream = StreamAt(folder / columns[0], 3);
            const std::string format = table.ColumnCount > 0 ? "to=sql" : "to=csv";  // a script needs a column
            EXPECT_EQ(Exported(stream->Table(), SettingsFor(format, dir.Path())), Exported(table, SettingsFor(format, dir.Path())));
            EXPECT_EQ(stream->Warnings(), table.Warnings);
            for (const ExportedFormat& f : ExportedFormats()) {
                const std::filesystem::path into = out / (std::to_string(opened) + f.Word);
                std::filesystem::create_directory(into);
                const ExportSettings settings = SettingsFor(WordsFor(f), into);
                try {
                    ExportTable(table, settings);
                    written[OutputPath(table, settings, settings.OutputFormat)] = {&f, table.RecordCount()};
                    ++filesOf[f.Word];
                } catch (const ExportError& e) {
                    // A worksheet's size, a table without columns: refused with a message, no file left.
                    EXPECT_GT(std::string(e.what()).size(), 20u) << e.what();
                    EXPECT_TRUE(std::filesystem::is_empty(into));
                }
            }
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
    for (const ExportedFormat& f : ExportedFormats()) EXPECT_GT(filesOf[f.Word], 40) << f.Word;

    // One Python for all files: starting one for each would take long. Each file gives back a
    // row per record; a worksheet keeps table positions and a workbook's reader stops at the last
    // row with a cell, so they give at most that.
    std::string files;
    for (const auto& entry : written) files += ShellQuoted(entry.first) + " ";
    std::istringstream lines(Output("/usr/bin/python3 " + ShellQuoted(QUILLET_TEST_DATA "/../support/sheet_reader.py") + " count " + files));
    for (std::string line; std::getline(lines, line);) {
        const std::string file = line.substr(0, line.rfind('\t')), rows = line.substr(line.rfind('\t') + 1);
        ASSERT_TRUE(written.count(file)) << line;
        const auto [format, records] = written[file];
        if (format->KeepsTablePositions || format->Format == OutputFormat::Xlsx) {
            EXPECT_LE(std::stoll(rows), records) << line;
        } else {
            EXPECT_EQ(rows, std::to_string(records)) << line;
        }
        written.erase(file);
    }
    EXPECT_TRUE(written.empty());
}

namespace {

// A cell as the list shows it; "#columns", "#warnings" and "#refused" stand for the listed
// column names, the warnings and the refusal of the whole table.
std::string Shown(const std::string& file, const std::string& record, const std::string& field) {
    try {
        OpenTable table = ReadTableFile((std::filesystem::path(QUILLET_CORPUS_DIR) / file).string());
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
    if (!std::filesystem::exists(QUILLET_CORPUS_DIR "/MANIFEST.tsv")) GTEST_SKIP() << "no corpus at " << QUILLET_CORPUS_DIR;
    int rows = 0;
    for (auto column : DataRows(QUILLET_TEST_DATA "/corpus_values.tsv")) {
        column.resize(4);
        SCOPED_TRACE(column[0] + " " + column[1]);
        ++rows;
        const std::string shown = Shown(column[0], column[1], column[2]);
        if (column[2] == "#refused" || column[2] == "#warnings") {
            EXPECT_NE(shown.find(column[3]), std::string::npos) << shown;
        } else {
            EXPECT_EQ(shown, column[3]);
        }
    }
    EXPECT_GT(rows, 30);
}

// Every readable corpus table in every format, each file opened by its consumer (read_back.py):
// it gives back one row per record (a worksheet or workbook at most that).

#include <gtest/gtest.h>

#include <map>

#include "support/exported_formats.h"

using namespace quillet;
using namespace quillet::testing;

class CorpusExports : public ::testing::TestWithParam<ExportedFormat> {
protected:
    // Read once for all formats.
    static void SetUpTestSuite() {
        const std::filesystem::path corpus = QUILLET_CORPUS_DIR;
        if (!std::filesystem::exists(corpus)) return;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(corpus)) {
            std::string extension = entry.path().extension().string();
            for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            if (extension != ".dbf") continue;
            try {
                tables_.push_back(OpenTableAt(entry.path()));
            } catch (const TableError&) {
            }
        }
    }
    static void TearDownTestSuite() { tables_.clear(); }
    static inline std::vector<OpenTable> tables_;
};

TEST_P(CorpusExports, EveryReadableTableOpensInItsConsumer) {
    const ExportedFormat& format = GetParam();
    if (tables_.empty()) GTEST_SKIP() << "no corpus at " << QUILLET_CORPUS_DIR;
    TempDir out;
    std::map<std::string, std::int64_t> written;  // file, records
    std::string files;
    for (const OpenTable& table : tables_) {
        SCOPED_TRACE(table.SourcePath);
        const std::filesystem::path folder = out / std::to_string(written.size() + files.size());
        std::filesystem::create_directory(folder);
        const ExportSettings settings = SettingsFor(WordsFor(format), folder);
        try {
            ExportTable(table, settings);
        } catch (const ExportError& e) {
            // A worksheet's size, a table without columns: refused with a message, no file left.
            EXPECT_GT(std::string(e.what()).size(), 20u) << e.what();
            EXPECT_TRUE(std::filesystem::is_empty(folder));
            continue;
        }
        const std::string path = OutputPath(table, settings, settings.OutputFormat);
        written[path] = table.RecordCount();
        files += ShellQuoted(path) + " ";
    }
    ASSERT_GT(written.size(), 40u);
    // One Python for all files of the format: starting one for each would take long.
    std::istringstream lines(Output("/usr/bin/python3 " + ShellQuoted(QUILLET_TEST_DATA "/../support/sheet_reader.py") +
                                    " count " + files));
    for (std::string line; std::getline(lines, line);) {
        const std::string file = line.substr(0, line.rfind('\t')), rows = line.substr(line.rfind('\t') + 1);
        ASSERT_TRUE(written.count(file)) << line;
        // A worksheet keeps table positions; a workbook's reader stops at the last row with a cell.
        if (format.KeepsTablePositions || format.Format == OutputFormat::Xlsx) {
            EXPECT_LE(std::stoll(rows), written[file]) << line;
        } else {
            EXPECT_EQ(rows, std::to_string(written[file])) << file;
        }
        written.erase(file);
    }
    EXPECT_TRUE(written.empty());
}

INSTANTIATE_TEST_SUITE_P(EveryFormat, CorpusExports, ::testing::ValuesIn(ExportedFormats()),
                         [](const auto& info) { return std::string(info.param.Word); });

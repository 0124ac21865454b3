// Every readable corpus table in every format, each file opened by its consumer: the rows it
// gives back are the table's records (a worksheet's rows at most them and its header).

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <string>

#include "support/exported_formats.h"
#include "support/opened_table.h"

using namespace quillet;
using namespace quillet::testing;

namespace {

std::int64_t CountOf(const std::string& text, std::string_view what) {
    std::int64_t count = 0;
    for (std::size_t at = 0; (at = text.find(what, at)) != std::string::npos; at += what.size()) ++count;
    return count;
}

}  // namespace

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
    int index = 0;
    for (const OpenTable& table : tables_) {
        SCOPED_TRACE(table.SourcePath);
        const std::filesystem::path folder = out / std::to_string(++index);
        std::filesystem::create_directory(folder);
        try {
            format.Export(table, SettingsInto(folder), {});
        } catch (const ExportError& e) {
            // A worksheet's size, a table without columns: refused with a message, no file left.
            EXPECT_GT(std::string(e.what()).size(), 20u) << e.what();
            EXPECT_TRUE(std::filesystem::is_empty(folder));
            continue;
        }
        written[OutputPath(table, SettingsInto(folder), format.Format)] = table.RecordCount();
    }
    ASSERT_GT(written.size(), 40u);
    if (format.OneThread && format.Format != OutputFormat::Sqlite) {
        // One reading program for all worksheets: starting Python for each would take long.
        std::string files;
        for (const auto& [file, records] : written) files += ShellQuoted(file) + " ";
        const ProgramRun run = RunSheetReader("count", files);
        ASSERT_EQ(run.ExitCode, 0) << run.Output;
        std::istringstream lines(run.Output);
        for (std::string line; std::getline(lines, line);) {
            const std::string file = line.substr(0, line.rfind(' '));
            const std::int64_t rows = std::stoll(line.substr(line.rfind(' ') + 1));
            EXPECT_LE(rows, written.at(file) + 1) << file;
            EXPECT_GE(rows, format.KeepsTablePositions ? 0 : written.at(file) + 1) << file;
            written.erase(file);
        }
        EXPECT_TRUE(written.empty());
        return;
    }
    if (format.Format == OutputFormat::XML) {
        // One parser run for all files; the records are then counted by their tags.
        std::string files;
        for (const auto& [file, records] : written) files += ShellQuoted(file) + " ";
        const ProgramRun run = RunProgram("xmllint --noout " + files);
        ASSERT_EQ(run.ExitCode, 0) << run.Output;
    }
    const bool database = format.Format == OutputFormat::SQL || format.Format == OutputFormat::Sqlite;
    for (const auto& [file, records] : written) {
        // Memo texts may hold the separators of sqlite3's row output: the database counts.
        const std::string source = format.Format == OutputFormat::SQL ? ":memory: " + ShellQuoted(".read '" + file + "'") : ShellQuoted(file);
        const std::string count = "select count(*) from \"" + std::filesystem::path(file).stem().string() + "\"";
        const std::int64_t rows = format.Format == OutputFormat::XML ? CountOf(ReadFileBytes(file), "<Record>\r\n")
                                  : database ? std::stoll("0" + RunProgram("sqlite3 -bail " + source + " " + ShellQuoted(count)).Output)
                                             : static_cast<std::int64_t>(format.Read(file).Rows.size());
        EXPECT_EQ(rows, records) << file;
    }
}

INSTANTIATE_TEST_SUITE_P(AllFormats, CorpusExports, ::testing::ValuesIn(ExportedFormats()),
                         [](const auto& info) { return std::string(info.param.Name); });

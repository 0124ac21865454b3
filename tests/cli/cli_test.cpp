// The command line's contract, checked by running the real quillet-cli in the C locale.

#include <gtest/gtest.h>

#include "cli/run_cli.h"
#include "support/exported_formats.h"

using namespace quillet;
using namespace quillet::testing;

namespace {

bool Mentions(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// Paths in the output name where the checkout lives; golden files hold a placeholder instead.
std::string WithPlaceholder(std::string text, const std::filesystem::path& folder, const std::string& placeholder) {
    const std::string path = std::filesystem::canonical(folder).string();
    for (std::size_t at; (at = text.find(path)) != std::string::npos;) text.replace(at, path.size(), placeholder);
    return text;
}

const std::string kData = QUILLET_TEST_DATA;

// Each line of tests/data/cli/NAME.tsv is one call in dir (TAB between arguments, TABLE for
// dir's people.dbf): what each says and its exit status (the manual once, in manual.txt), then
// every file dir holds but its tables, with its bytes.
std::string Transcript(const std::string& name, const TempDir& dir) {
    std::ifstream cases(kData + "/cli/" + name + ".tsv");
    std::string results, manual = ReadFileBytes(kData + "/cli/manual.txt");
    for (std::string line; std::getline(cases, line);) {
        std::vector<std::string> arguments;
        std::istringstream split(line);
        for (std::string a; std::getline(split, a, '\t');) arguments.push_back(a == "TABLE" ? (dir / "people.dbf").string() : a);
        CliRun run = RunCli(arguments, dir.Path());
        if (line == "--help") ExpectGolden(run.Out, "cli/manual.txt");
        results += "$ " + line + "\nexit " + std::to_string(run.Status) + "\n" + (run.Out == manual ? "(the manual)\n" : run.Out) + run.Err;
    }
    std::set<std::filesystem::path> files;  // in name order, whatever the file system's
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.Path())) {
        if (entry.is_regular_file() && entry.path().extension() != ".dbf") files.insert(std::filesystem::relative(entry.path(), dir.Path()));
    }
    for (const auto& file : files) {
        const std::string bytes = ReadFileBytes(dir / file);
        results += "== " + file.string() + "\n" + (Mentions(bytes, std::string(1, '\0')) ? std::to_string(bytes.size()) + " bytes, not text" : bytes) + "\n";
    }
    return WithPlaceholder(results, dir.Path(), "DIR");
}

}  // namespace

// Every golden case's options, given on the command line, write what the core writes for the
// same table and settings (without --out, beside the table).
TEST(Cli, EveryGoldenCaseWritesTheCoresBytes) {
    int count = 0;
    for (const auto& row : DataRows(kData + "/golden/cases.tsv")) {
        const std::string &table = row.at(0), &words = row.at(1);
        if (Mentions(words, "decimal=")) continue;
        SCOPED_TRACE(table + " " + words);
        TempDir core, cli;
        std::filesystem::copy_file(kData + "/" + table, cli / "t.dbf");
        OpenTable t = OpenTableAt(cli / "t.dbf");
        const ExportSettings settings = SettingsFor(words, core.Path(), &t);
        std::vector<std::string> arguments{"convert", "t.dbf"};
        std::istringstream in(words);
        for (std::string word; in >> word;) {
            arguments.push_back("--" + word.substr(0, word.find('=')));
            std::string value = word.substr(word.find('=') + 1);
            if (Mentions(word, "color=")) std::transform(value.begin(), value.end(), value.begin(), ::tolower), value.insert(0, "#");
            if (Mentions(word, "=")) arguments.push_back(value);
        }
        const CliRun run = RunCli(arguments, cli.Path());
        ASSERT_EQ(run.Status, 0) << run.Err;
        EXPECT_EQ(run.Out, OutputPath(t, SettingsFor(words, cli.Path()), settings.OutputFormat) + "\n");
        EXPECT_TRUE(ReadFileBytes(OutputPath(t, SettingsFor(words, cli.Path()), settings.OutputFormat)) == Exported(t, settings));
        ++count;
    }
    EXPECT_GT(count, 20);
}

// Numbers take the decimal separator of the locale's numbers, as in the desktop program.
TEST(Cli, DecimalSeparatorOfTheLocale) {
    TempDir dir;
    Output("localedef -i de_DE -f UTF-8 " + ShellQuoted((dir / "de").string()) + " 2>&1");
    if (!std::filesystem::exists(dir / "de" / "LC_NUMERIC")) GTEST_SKIP() << "no locale data (Debian's locales) to make de_DE";
    RunCli({"convert", kData + "/tables/escapes.dbf", "--to", "txt", "--no-quotes", "--out", dir.Path().string()}, ".",
           "export LC_ALL= LOCPATH=" + ShellQuoted(dir.Path().string()) + " LC_NUMERIC=de");
    EXPECT_TRUE(ReadFileBytes(dir / "escapes.txt") == ReadFileBytes(kData + "/golden/escapes-plain.txt"));
}

TEST(Cli, InfoPrintsTheInformationLinesAndTheFields) {
    const CliRun run = RunCli({"info", "tables/people.dbf", "tables/binary.dbf", "tables/names.dbf", "tables/varying.dbf", "tables/names_raw.dbf", "../../samples/empty.dbf"}, kData);
    EXPECT_EQ(run.Status, 0);
    ExpectGolden(WithPlaceholder(run.Out + run.Err, kData + "/../..", "SOURCE"), "cli/info.txt");

    // Every real table: its version, code page, fields and their types, or why it is refused.
    const std::filesystem::path corpus = QUILLET_CORPUS_DIR;
    if (!std::filesystem::exists(corpus / "MANIFEST.tsv")) GTEST_SKIP() << "no corpus at " << corpus;
    std::vector<std::string> arguments{"info"};
    for (const auto& columns : DataRows(corpus / "MANIFEST.tsv")) {
        const std::string extension = columns[0].substr(columns[0].size() - 4);
        if (extension == ".dbf" || extension == ".DBF" || extension == ".dbc") arguments.push_back(columns[0]);
    }
    const CliRun all = RunCli(arguments, corpus);
    ExpectGolden(WithPlaceholder(all.Out + all.Err, corpus, "CORPUS"), "cli/corpus_info.txt");
}

TEST(Cli, FailingTablesAreNamedWithTheReasonAndTheOthersStillWritten) {
    TempDir dir;
    for (const char* name : {"first", "last", "b/sales.csv", "a/sales", "b/sales", "b/sales.old"}) {
        std::filesystem::create_directories((dir / name).parent_path());
        std::filesystem::copy_file(kData + "/tables/people.dbf", dir / (std::string(name) + (Mentions(name, ".csv") ? "" : ".dbf")));
    }
    WriteFileBytes(dir / "notes.dbf", "#!not a table");
    ExpectGolden(Transcript("failures", dir), "cli/failures.txt");

#ifndef __SANITIZE_ADDRESS__  // the sanitizers reserve more address space than the limit below
    // A memo of 1 GiB (a sparse file), where the command may use 400 MB: that table is named.
    TableBuilder().Version(0xF5).Field("NOTE", 'M', 10).Record({"8"}).WriteTo(dir / "huge.dbf");
    WriteFileBytes(dir / "huge.fpt", std::string(7, '\0') + "\x40" + std::string(504, '\0') + std::string("\0\0\0\x01\x40\0\0\0", 8));
    std::filesystem::resize_file(dir / "huge.fpt", 520 + (1u << 30));
    const std::string path = dir.Path().string() + "/";
    const CliRun run = RunCli({"convert", path + "huge.dbf", path + "last.dbf", "--to", "csv"}, ".", "ulimit -v 400000");
    EXPECT_EQ(run.Err, "quillet-cli: \"" + path + "huge.dbf\": there is not enough memory for it.\n");
    EXPECT_EQ(run.Out, path + "last.csv\n");
#endif
}

// Tables converted at the same time print, write and fail exactly as one after another: the
// two calls of at_once.tsv say and write the same.
TEST(Cli, TablesAtOnceDoWhatTablesInTurnDo) {
    TempDir dir;
    for (int i = 0; i < 30; ++i) {
        const std::string name = (i % 10 == 9 ? "twin/" : "") + std::to_string(i % 10 == 9 ? 0 : i) + ".dbf";
        std::filesystem::create_directories((dir / name).parent_path());
        if (i % 7 == 3) {
            WriteFileBytes(dir / name, "not a table");
        } else if (!std::filesystem::exists(dir / name)) {
            std::filesystem::copy_file(kData + "/tables/people.dbf", dir / name);
        }
    }
    for (const char* out : {"out1", "out4"}) std::filesystem::create_directory(dir / out);
    ExpectGolden(Transcript("at_once", dir), "cli/at_once.txt");
}

TEST(Cli, UsageCasesSayWhatIsWrong) {
    TempDir dir;
    std::filesystem::copy_file(kData + "/tables/people.dbf", dir / "people.dbf");
    ExpectGolden(Transcript("usage", dir), "cli/usage.txt");
}

// A table of more than 2^31 bytes (a sparse file: only its ends are stored) is told and
// converted whole: its last record is found where it is.
TEST(Cli, TablesBeyondTwoGigabytes) {
    const TempDir dir;
    constexpr std::uint64_t kLength = 1 + 200 * 250, kRecords = (std::uint64_t{1} << 31) / kLength + 2;
    TableBuilder t;
    for (int f = 0; f < 200; ++f) t.Field("F" + std::to_string(f), 'C', 250);
    std::string head = t.RecordCount(kRecords).Bytes();
    head.pop_back();  // the end-of-file marker
    {
        std::ofstream out(dir / "big.dbf", std::ios::binary);
        out << head;
        out.seekp(static_cast<std::streamoff>(head.size() + (kRecords - 1) * kLength));
        out << "*LAST";
    }
    std::filesystem::resize_file(dir / "big.dbf", head.size() + kRecords * kLength);
    EXPECT_TRUE(Mentions(RunCli({"info", "big.dbf"}, dir.Path()).Out, "Total records: " + std::to_string(kRecords)));
    const CliRun run = RunCli({"convert", "big.dbf", "--to", "csv", "--records", "deleted", "--columns", "F0"}, dir.Path());
    ASSERT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(ReadFileBytes(dir / "big.csv"), "\"F0\",\r\n\"LAST\",\r\n");
}

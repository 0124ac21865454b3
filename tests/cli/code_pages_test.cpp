// Tables in many code pages, converted by quillet-cli and read back by real readers
// (tests/support/read_back.py: xmllint, SQLite, xlrd, Python's csv and HTML parser).

#include <gtest/gtest.h>

#include "cli/run_cli.h"
#include "support/exported_formats.h"

using namespace quillet::testing;

namespace {

const std::filesystem::path kData = std::filesystem::path(QUILLET_TEST_DATA) / "code_pages";

// Converts the one-record table into each format (a comma-separated list), expecting the readers
// to give back its record as name and city; returns what quillet-cli wrote on standard error.
std::string RoundTrip(const std::filesystem::path& table, const std::string& formats,
                      const std::vector<std::string>& options, const std::string& name, const std::string& city) {
    std::string errors;
    std::stringstream list(formats);
    for (std::string format; std::getline(list, format, ',');) {
        std::vector<std::string> arguments{"convert", table.string(), "--to", format, "--to-utf8", "--out",
                                           table.parent_path().string()};
        arguments.insert(arguments.end(), options.begin(), options.end());
        const CliRun run = RunCli(arguments);
        EXPECT_EQ(run.Status, 0) << table << " " << format << ": " << run.Err;
        errors += run.Err;
        const std::string rows = ReadBack(table.parent_path() / (table.stem().string() + "." + format), "to-utf8");
        EXPECT_EQ(rows.substr(rows.rfind('\n', rows.size() - 2) + 1), name + "\t" + city + "\n")
            << table << " " << format;
    }
    return errors;
}

}  // namespace

TEST(CodePages, TablesWrittenByPythonDbfComeBackFromEveryFormat) {
    TempDir dir;
    Output("/usr/bin/python3 " + ShellQuoted((kData / "write_tables.py").string()) + " " + ShellQuoted(dir.Path().string()));
    const std::string formats = "xml,sql,xls,htm,csv,rtf";
    for (const auto& row : DataRows(kData / "texts.tsv")) {
        const std::string& encoding = row[2];
        const std::vector<std::string> options =
            encoding.empty() ? std::vector<std::string>{} : std::vector<std::string>{"--encoding", encoding};
        EXPECT_EQ(RoundTrip(dir / (row[0] + ".dbf"), formats, options, row[3], row[4]), "") << row[0];
    }
}

TEST(CodePages, CutUndefinedAndLackingCharactersNeverBreakAReader) {
    TempDir dir;
    for (const auto& row : DataRows(kData / "built.tsv")) {
        const std::string name = HexBytes(row[3]), city = HexBytes(row[4]);
        TableBuilder table;
        table.LanguageDriver(static_cast<std::uint8_t>(std::stoi(row[1], nullptr, 16)));
        table.Field("NAME", 'C', static_cast<std::uint8_t>(name.size())).Field("CITY", 'C', static_cast<std::uint8_t>(city.size()));
        table.Record({name, city}).WriteTo(dir / (row[0] + ".dbf"));
        if (row[2] != "-") std::ofstream(dir / (row[0] + ".cpg")) << row[2];
        const std::string errors = RoundTrip(dir / (row[0] + ".dbf"), row[5], {}, row[6], row[7]);
        if (row[8] == "0") {
            EXPECT_EQ(errors, "") << row[0];
        } else {
            EXPECT_NE(errors.find(" " + row[8] + " of its characters have no place"), std::string::npos) << row[0] << ": " << errors;
        }
    }
}

// Tables in many code pages, converted by quillet-cli and read back by real readers
// (tests/data/code_pages/read_exports.py: xml.etree, SQLite, xlrd, the HTML's own charset,
// Python's csv, LibreOffice for RTF where it is installed).

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/run_cli.h"
#include "support/checks.h"
#include "support/table_builder.h"

using namespace quillet::testing;

namespace {

const std::filesystem::path kData = std::filesystem::path(QUILLET_TESTS_DIR) / "data" / "code_pages";

std::vector<std::vector<std::string>> TsvRows(const std::string& file) {
    std::vector<std::vector<std::string>> rows;
    std::ifstream in(kData / file);
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> cells;
        std::stringstream fields(line);
        for (std::string cell; std::getline(fields, cell, '\t');) cells.push_back(cell);
        rows.push_back(cells);
    }
    return rows;
}

std::vector<std::string> Split(const std::string& list) {
    std::vector<std::string> items;
    std::stringstream in(list);
    for (std::string item; std::getline(in, item, ',');) items.push_back(item);
    return items;
}

std::string Bytes(const std::string& hex) {
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return bytes;
}

bool HaveSoffice() { return std::system("command -v soffice >/dev/null 2>&1") == 0; }

// Converts the table into each format; returns what the readers give back, one line per format.
std::string RoundTrip(const std::filesystem::path& table, const std::vector<std::string>& formats,
                      const std::vector<std::string>& options, std::string& errors) {
    for (const std::string& format : formats) {
        std::vector<std::string> arguments{"convert", table.string(), "--to", format, "--to-utf8", "--out",
                                           table.parent_path().string()};
        arguments.insert(arguments.end(), options.begin(), options.end());
        const CliRun run = RunCli(arguments);
        EXPECT_EQ(run.Status, 0) << table << " " << format << ": " << run.Err;
        errors += run.Err;
    }
    return Output("/usr/bin/python3 " + ShellQuoted((kData / "read_exports.py").string()) + " " +
                  ShellQuoted(table.parent_path().string()) + " " + table.stem().string());
}

std::string Expected(const std::vector<std::string>& formats, const std::string& name, const std::string& city) {
    std::string lines;
    for (const std::string& format : formats) {
        if (format == "rtf" && !HaveSoffice()) continue;
        lines += format + "\t" + name + "\t" + city + "\n";
    }
    return lines;
}

}  // namespace

TEST(CodePages, TablesWrittenByPythonDbfComeBackFromEveryFormat) {
    if (!HaveSoffice()) std::cout << "RTF is not read back: LibreOffice (soffice) is not installed.\n";
    TempDir dir;
    Output("/usr/bin/python3 " + ShellQuoted((kData / "write_tables.py").string()) + " " + ShellQuoted(dir.Path().string()));
    const std::vector<std::string> formats{"xml", "sql", "xls", "htm", "csv", "rtf"};
    for (const auto& row : TsvRows("texts.tsv")) {
        const std::string& encoding = row[2];
        std::string errors;
        const std::vector<std::string> options =
            encoding.empty() ? std::vector<std::string>{} : std::vector<std::string>{"--encoding", encoding};
        EXPECT_EQ(RoundTrip(dir / (row[0] + ".dbf"), formats, options, errors), Expected(formats, row[3], row[4]))
            << row[0];
        EXPECT_EQ(errors, "") << row[0];
    }
}

TEST(CodePages, CutUndefinedAndLackingCharactersNeverBreakAReader) {
    TempDir dir;
    for (const auto& row : TsvRows("built.tsv")) {
        const std::string name = Bytes(row[3]), city = Bytes(row[4]);
        TableBuilder table;
        table.LanguageDriver(static_cast<std::uint8_t>(std::stoi(row[1], nullptr, 16)));
        table.Field("NAME", 'C', static_cast<std::uint8_t>(name.size())).Field("CITY", 'C', static_cast<std::uint8_t>(city.size()));
        table.Record({name, city}).WriteTo(dir / (row[0] + ".dbf"));
        if (row[2] != "-") std::ofstream(dir / (row[0] + ".cpg")) << row[2];
        std::string errors;
        const std::vector<std::string> formats = Split(row[5]);
        EXPECT_EQ(RoundTrip(dir / (row[0] + ".dbf"), formats, {}, errors), Expected(formats, row[6], row[7])) << row[0];
        if (row[8] == "0") {
            EXPECT_EQ(errors, "") << row[0];
        } else {
            EXPECT_NE(errors.find(" " + row[8] + " of its characters have no place"), std::string::npos) << row[0] << ": " << errors;
        }
    }
}

TEST(CodePages, InfoTellsThePageAndWhereItCameFrom) {
    TempDir dir;
    TableBuilder().LanguageDriver(0x26).Field("NAME", 'C', 4).WriteTo(dir / "dos.dbf");
    TableBuilder().Field("NAME", 'C', 4).WriteTo(dir / "plain.dbf");
    TableBuilder().LanguageDriver(0x26).Field("NAME", 'C', 4).WriteTo(dir / "big5.dbf");
    std::ofstream(dir / "big5.cpg") << "big5";
    const struct {
        const char* Table;
        std::vector<std::string> Encoding;
        const char* Line;
    } cases[] = {
        {"dos.dbf", {}, "Code page: 866 (IBM866), from the header byte 0x26"},
        {"plain.dbf", {}, "Code page: 1252 (windows-1252), the default"},
        {"big5.dbf", {}, "Code page: 950 (Big5), from the .cpg file"},
        {"big5.dbf", {"--encoding", "Windows-1251"}, "Code page: 1251 (windows-1251), chosen by the user"},
        {"dos.dbf", {"--encoding=UTF-8"}, "Code page: 65001 (UTF-8), chosen by the user"},
        {"dos.dbf", {"--encoding", "CP932"}, "Code page: 932 (Shift_JIS), chosen by the user"},
        {"plain.dbf", {"--encoding", "866"}, "Code page: 866 (IBM866), chosen by the user"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> arguments{"info", (dir / c.Table).string()};
        arguments.insert(arguments.end(), c.Encoding.begin(), c.Encoding.end());
        const CliRun run = RunCli(arguments);
        EXPECT_EQ(run.Status, 0) << run.Err;
        EXPECT_NE(run.Out.find(std::string("\n") + c.Line + "\n"), std::string::npos) << run.Out;
    }
}

TEST(CodePages, AnUnknownEncodingIsAUsageErrorListingTheNames) {
    for (const char* command : {"info", "convert"}) {
        const CliRun run = RunCli({command, "t.dbf", "--encoding", "klingon", "--to", "csv"});
        EXPECT_EQ(run.Status, 2);
        for (const char* name : {"\"klingon\"", "866", "1251", "cpN", "UTF-8", "Big5", "Shift_JIS", "KOI8-R"}) {
            EXPECT_NE(run.Err.find(name), std::string::npos) << run.Err;
        }
    }
}

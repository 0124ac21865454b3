#pragma once

// Reads an SQL script back the way a database sees it: sqlite3 runs it on an empty database,
// and the table named after the file gives back its column names and rows. A script that does
// not run silently fails the test.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "support/run_program.h"
#include "support/sheet.h"

namespace quillet::testing {

// sqlite3's ascii mode ends each field with 0x1F and each row with 0x1E.
inline std::vector<std::vector<std::string>> AsciiModeRows(std::string_view output) {
    std::vector<std::vector<std::string>> rows;
    for (std::size_t end; (end = output.find('\x1E')) != std::string_view::npos; output.remove_prefix(end + 1)) {
        std::vector<std::string>& row = rows.emplace_back();
        std::string_view fields = output.substr(0, end);
        for (std::size_t at; (at = fields.find('\x1F')) != std::string_view::npos; fields.remove_prefix(at + 1)) {
            row.emplace_back(fields.substr(0, at));
        }
        row.emplace_back(fields);
    }
    return rows;
}

// The text in the given quote character, that character doubled inside.
inline std::string SqlQuoted(std::string_view text, char quote) {
    std::string quoted(1, quote);
    for (char c : text) {
        quoted += c;
        if (c == quote) quoted += c;
    }
    return quoted + quote;
}

// Truth values come back as the 1 and 0 a database stores; they are compared as the texts a
// table shows for them.
inline Sheet ReadSql(const std::filesystem::path& script) {
    const std::string table = script.stem().string();
    const char* const kMark = "select char(29)";
    const ProgramRun run = RunProgram(
        "sqlite3 -bail -batch :memory: " + ShellQuoted(".mode ascii") + " " + ShellQuoted(kMark) + " " +
        ShellQuoted(".read '" + script.string() + "'") + " " + ShellQuoted(kMark) + " " +
        ShellQuoted("select name, type from pragma_table_info(" + SqlQuoted(table, '\'') + ")") + " " +
        ShellQuoted(kMark) + " " + ShellQuoted("select * from " + SqlQuoted(table, '"') + " order by rowid"));
    Sheet sheet;
    const std::string_view silentStart = "\x1D\x1E\x1D\x1E";
    if (run.ExitCode != 0 || !run.Output.starts_with(silentStart)) {
        ADD_FAILURE() << "sqlite3 did not run " << script << " silently: " << run.Output;
        return sheet;
    }
    std::vector<bool> truth;
    bool inRows = false;
    for (std::vector<std::string>& row : AsciiModeRows(std::string_view(run.Output).substr(silentStart.size()))) {
        if (row == std::vector<std::string>{"\x1D"}) {
            inRows = true;
        } else if (!inRows) {
            sheet.Names.push_back(row.at(0));
            truth.push_back(row.at(1) == "Boolean");
        } else {
            for (std::size_t c = 0; c < row.size() && c < truth.size(); ++c) {
                if (truth[c] && (row[c] == "1" || row[c] == "0")) row[c] = row[c] == "1" ? "True" : "False";
            }
            sheet.Rows.push_back(std::move(row));
        }
    }
    return sheet;
}

}  // namespace quillet::testing

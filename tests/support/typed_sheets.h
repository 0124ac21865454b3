#pragma once

// Reads the typed formats back with independent readers: the workbook through openpyxl
// (tests/support/sheet_reader.py), the database through the sqlite3 program. Cells come back as
// the texts a table shows (True/False, whole numbers without ".0").

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/run_program.h"
#include "support/sheet.h"
#include "support/sql_sheet.h"

namespace quillet::testing {

inline ProgramRun RunSheetReader(const std::string& mode, const std::string& files) {
    const std::filesystem::path script = std::filesystem::path(__FILE__).parent_path() / "sheet_reader.py";
    return RunProgram("/usr/bin/python3 " + ShellQuoted(script.string()) + " " + mode + " " + files);
}

inline Sheet ReadXlsx(const std::filesystem::path& file) {
    Sheet sheet;
    const ProgramRun run = RunSheetReader("rows", ShellQuoted(file.string()));
    if (run.ExitCode != 0) {
        ADD_FAILURE() << "openpyxl did not read " << file << ": " << run.Output;
        return sheet;
    }
    for (std::vector<std::string>& row : AsciiModeRows(run.Output)) {
        if (sheet.Names.empty()) {
            sheet.Names = std::move(row);
        } else {
            sheet.Rows.push_back(std::move(row));
        }
    }
    return sheet;
}

inline Sheet ReadSqlite(const std::filesystem::path& file) {
    const std::string table = SqlQuoted(file.stem().string(), '"');
    const ProgramRun run =
        RunProgram("sqlite3 -bail -readonly " + ShellQuoted(file.string()) + " " + ShellQuoted(".mode ascii") + " " +
                   ShellQuoted("select name, type = 'BOOLEAN' from pragma_table_info(" + SqlQuoted(file.stem().string(), '\'') + ")") +
                   " " + ShellQuoted("select char(29)") + " " + ShellQuoted("select * from " + table + " order by rowid"));
    Sheet sheet;
    if (run.ExitCode != 0) {
        ADD_FAILURE() << "sqlite3 did not read " << file << ": " << run.Output;
        return sheet;
    }
    std::vector<bool> truth;
    bool inRows = false;
    for (std::vector<std::string>& row : AsciiModeRows(run.Output)) {
        if (row == std::vector<std::string>{"\x1D"}) {
            inRows = true;
        } else if (!inRows) {
            sheet.Names.push_back(row.at(0));
            truth.push_back(row.at(1) == "1");
        } else {
            for (std::size_t c = 0; c < row.size() && c < truth.size(); ++c) {
                if (truth[c] && !row[c].empty()) row[c] = row[c] == "1" ? "True" : "False";
            }
            sheet.Rows.push_back(std::move(row));
        }
    }
    return sheet;
}

}  // namespace quillet::testing

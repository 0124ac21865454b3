#pragma once

// The formats table: the one place a new format is added. Every format here goes through the
// shared rules and failures, the golden cases name it by its word, and read_back.py reads its
// files back with the format's consumer. Export options are built here alone, from the words
// the golden cases and the command-line tests use.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "export/exporters.h"
#include "support/checks.h"
#include "support/opened_table.h"

namespace quillet::testing {

struct ExportedFormat {
    const char* Word;  // the command line's --to, and the file's extension
    OutputFormat Format;
    // Records and columns keep their table positions: left-out ones stay as empty rows and cells.
    bool KeepsTablePositions = false;
    // With no column selected the exporter writes nothing and throws this message.
    const char* RefusalWithoutColumns = nullptr;
};

inline const std::vector<ExportedFormat>& ExportedFormats() {
    static const std::vector<ExportedFormat> formats = {
        {"txt", OutputFormat::Text},
        {"csv", OutputFormat::CSV},
        {"htm", OutputFormat::HTML},
        {"rtf", OutputFormat::RTF},
        {"xml", OutputFormat::XML},
        {"xls", OutputFormat::Excel, true},
        {"sql", OutputFormat::SQL, false, "Select at least one column to export."},
        {"xlsx", OutputFormat::Xlsx, false, "Select at least one column to export."},
        {"sqlite", OutputFormat::Sqlite, false, "Select at least one column to export."},
    };
    return formats;
}

// Options as words: the command line's convert options without their dashes (to=csv
// records=live no-header ...), read by the command line's own parser, plus decimal=, for the
// separator the command line takes from the locale. Columns are chosen in table when one is given.
inline ExportSettings SettingsFor(const std::string& words, const std::filesystem::path& folder, OpenTable* table = nullptr) {
    std::vector<std::string> arguments{"convert", "table.dbf"};
    char decimal = '.';
    std::istringstream in(words);
    for (std::string word; in >> word;) {
        if (word.starts_with("decimal=")) {
            decimal = word.back();
        } else {
            arguments.push_back("--" + word);
        }
    }
    const cli::Invocation invocation = cli::ParseCommandLine(arguments);
    ExportSettings s = invocation.Settings;
    s.SaveFolder = folder.string();
    s.DecimalSeparator = decimal;
    for (std::size_t c = 0; table != nullptr && invocation.Columns && c < table->ColumnSelected.size(); ++c) {
        table->ColumnSelected[c] = std::ranges::count(*invocation.Columns, table->FieldNames[c]) > 0;
    }
    return s;
}

inline std::string WordsFor(const ExportedFormat& format, const std::string& more = "") {
    return std::string("to=") + format.Word + " " + more;
}

// Runs the export and returns its error message, or fails the test when it succeeded.
inline std::string FailureOf(const OpenTable& table, const ExportSettings& settings) {
    try {
        ExportTable(table, settings);
    } catch (const ExportError& e) {
        return e.what();
    }
    ADD_FAILURE() << OutputPath(table, settings, settings.OutputFormat) << " was written";
    return {};
}

// What the format's consumer sees in the file (see read_back.py).
inline std::string ReadBack(const std::filesystem::path& file, const std::string& words = "") {
    return Output("/usr/bin/python3 " + ShellQuoted(QUILLET_TEST_DATA "/../support/read_back.py") + " " +
                  ShellQuoted(file.string()) + " " + ShellQuoted(words));
}

}  // namespace quillet::testing

#pragma once

// The formats table: the one place a new format is added. Every format here goes through the
// shared rules and failures, the golden cases name it by its word, and read_back.py reads its
// files back with the format's consumer. Export options are built here alone, from the words
// the golden cases and the command-line tests use.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

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

// Options as words: to=FORMAT records=all|deleted|live columns=NAME,... delimiter=,|;|:|tab|space
// row-end=crlf|lf no-header no-quotes to-utf8 text-color=RRGGBB back-color=RRGGBB decimal=, (the CLI's
// options without their dashes). Columns are chosen in table when one is given.
inline ExportSettings SettingsFor(const std::string& words, const std::filesystem::path& folder, OpenTable* table = nullptr) {
    ExportSettings s;
    s.SaveFolder = folder.string();
    std::istringstream in(words);
    for (std::string word; in >> word;) {
        const std::size_t eq = word.find('=');
        const std::string key = word.substr(0, eq), value = eq == std::string::npos ? "" : word.substr(eq + 1);
        if (key == "to") {
            for (const ExportedFormat& f : ExportedFormats()) {
                if (value == f.Word) s.OutputFormat = f.Format;
            }
        } else if (key == "records") {
            s.RecordFilter = value == "deleted" ? RecordFilter::OnlyDeleted
                             : value == "live"  ? RecordFilter::SkipDeleted
                                                : RecordFilter::AllRecords;
        } else if (key == "columns") {
            for (std::size_t c = 0; table != nullptr && c < table->ColumnSelected.size(); ++c) {
                table->ColumnSelected[c] = ("," + value + ",").find("," + table->FieldNames[c] + ",") != std::string::npos;
            }
        } else if (key == "delimiter") {
            s.Delimited.Delimiter = value == "tab" ? "\t" : value == "space" ? " " : value;
        } else if (key == "row-end") {
            s.Delimited.RowEnd = value == "lf" ? LineEnd::LF : LineEnd::CRLF;
        } else if (key == "no-header") {
            s.Delimited.IncludeHeader = s.Html.IncludeHeader = s.Rtf.IncludeHeader = false;
        } else if (key == "to-utf8") {
            s.Delimited.ToUtf8 = true;
        } else if (key == "no-quotes") {
            s.Delimited.QuoteItems = false;
        } else if (key == "text-color") {
            s.Html.TextColor = value;
        } else if (key == "back-color") {
            s.Html.BackColor = value;
        } else if (key == "decimal") {
            s.DecimalSeparator = value.at(0);
        } else {
            ADD_FAILURE() << "unknown option word " << word;
        }
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

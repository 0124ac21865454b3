#pragma once

#include <string>

namespace quillet {

enum class OutputFormat { Text = 0, CSV = 1, HTML = 2, RTF = 3, XML = 4, Excel = 5, SQL = 6, Xlsx = 7, Sqlite = 8 };

enum class RecordFilter { AllRecords, OnlyDeleted, SkipDeleted };

// The extension, with its dot, of each format's file.
const char* ExtensionOf(OutputFormat format);

// The choices that steer one conversion. The per-format options start at the option
// dialogs' own defaults, so a conversion without a dialog (command line, tests) gets them too.
struct ExportSettings {
    std::string SaveFolder;
    quillet::OutputFormat OutputFormat = quillet::OutputFormat::CSV;
    std::string OutputExtension = ".csv";
    quillet::RecordFilter RecordFilter = quillet::RecordFilter::AllRecords;

    // Delimited text and CSV.
    std::string ItemsDelimiter = ",";
    std::string RowDelimiter = "CRLF";
    bool TextIncludeHeader = true;
    bool QuoteItems = true;

    // HTML: six upper-case hexadecimal digits, red, green, blue.
    std::string HtmlTextColor = "000000";
    std::string HtmlBackColor = "FFFFFF";
    bool HtmlIncludeHeader = true;

    bool RtfIncludeHeader = true;

    bool OptionsAccepted = true;

    // The user's decimal separator, used wherever a number is shown as CellText.
    char DecimalSeparator = '.';
};

}  // namespace quillet

#pragma once

#include <string>

namespace quillet {

class CommitQueue;

enum class OutputFormat { Text = 0, CSV = 1, HTML = 2, RTF = 3, XML = 4, Excel = 5, SQL = 6, Xlsx = 7, Sqlite = 8 };

enum class RecordFilter { AllRecords, OnlyDeleted, SkipDeleted };

enum class LineEnd { CRLF, LF };

// The extension, with its dot, of each format's file.
const char* ExtensionOf(OutputFormat format);

// The bytes that end a row.
const char* LineEndText(LineEnd end);

// The options of each format start at its dialog's own defaults, so a conversion without a
// dialog (command line, tests) gets them too.

// Delimited text and CSV.
struct DelimitedOptions {
    std::string Delimiter = ",";
    LineEnd RowEnd = LineEnd::CRLF;
    bool IncludeHeader = true;
    bool QuoteItems = true;
    // Texts converted from the table's code page to UTF-8; else the bytes as stored.
    bool ToUtf8 = false;
};

struct HtmlOptions {
    // Six upper-case hexadecimal digits: red, green, blue.
    std::string TextColor = "000000";
    std::string BackColor = "FFFFFF";
    bool IncludeHeader = true;
};

struct RtfOptions {
    bool IncludeHeader = true;
};

// The choices that steer one conversion.
struct ExportSettings {
    std::string SaveFolder;
    quillet::OutputFormat OutputFormat = quillet::OutputFormat::CSV;
    quillet::RecordFilter RecordFilter = quillet::RecordFilter::AllRecords;

    DelimitedOptions Delimited;
    HtmlOptions Html;
    RtfOptions Rtf;

    // The user's decimal separator, used wherever a number is shown as CellText.
    char DecimalSeparator = '.';

    // Whether a large table's records are formatted on two threads, where the machine has two
    // cores. A caller converting several tables at once keeps each to one; tests compare the two.
    bool TwoThreadFormatting = true;

    // Where a batch's finished files go to be synced and renamed together while the next table
    // is converted; without one, each exporter puts its file in place before it returns.
    CommitQueue* Committer = nullptr;
};

}  // namespace quillet

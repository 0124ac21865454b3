#include <string>
#include <string_view>
#include <vector>

#include "export/export_frame.h"
#include "export/exporters.h"
#include "export/output_file.h"
#include "export/quoted_text.h"

namespace quillet {

namespace {

// A quoted item doubles its quotes so that a reader gets the item back whole; an unquoted
// item stays as the user asked, raw.
void AppendItem(std::string& row, std::string_view text, bool quote) {
    if (quote) {
        AppendQuoted(row, text, '"');
    } else {
        row.append(text);
    }
}

void ExportDelimited(const OpenTable& table, const ExportSettings& settings, const ExportProgress& progress,
                     OutputFormat format) {
    OutputFile file(OutputPath(table, settings, format));
    const std::vector<int> columns = SelectedColumns(table);
    const std::string_view rowEnd = settings.RowDelimiter == "CRLF" ? std::string_view("\r\n") : std::string_view("\n");
    const std::string_view delimiter = settings.ItemsDelimiter;
    // The delimiter follows every column but the table's last listed one, selected or not.
    const int lastColumn = table.ColumnCount - 1;
    std::string row;
    std::string cell;

    auto appendColumn = [&](std::string_view text, int column) {
        AppendItem(row, text, settings.QuoteItems);
        if (column != lastColumn) row.append(delimiter);
    };

    if (settings.TextIncludeHeader) {
        for (int f : columns) appendColumn(table.FieldNames[static_cast<std::size_t>(f)], f);
        row.append(rowEnd);
        file.Write(row);
    }
    ForEachWrittenRecord(table, settings, progress, [&](std::int64_t record) {
        row.clear();
        for (int f : columns) {
            CleanCellText(cell, table, record, f, settings, CleanRule{.RemoveNul = true, .RemoveCr = true});
            appendColumn(cell, f);
        }
        row.append(rowEnd);
        file.Write(row);
    });
    file.Commit();
}

}  // namespace

void ExportText(const OpenTable& table, const ExportSettings& settings, const ExportProgress& progress) {
    ExportDelimited(table, settings, progress, OutputFormat::Text);
}

void ExportCsv(const OpenTable& table, const ExportSettings& settings, const ExportProgress& progress) {
    ExportDelimited(table, settings, progress, OutputFormat::CSV);
}

}  // namespace quillet

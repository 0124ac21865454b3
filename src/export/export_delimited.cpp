#include <string>
#include <string_view>
#include <vector>

#include "export/byte_scan.h"
#include "export/export_frame.h"
#include "export/exporters.h"
#include "export/output_file.h"
#include "export/quoted_text.h"

namespace quillet {

namespace {

// The delimiter follows every column but the table's last listed one, selected or not. A quoted
// item doubles its quotes so that a reader gets the item back whole, line breaks and all; an
// unquoted item stays as the user asked, raw, but for its line breaks, which become blanks so
// that a record stays one row.
struct ItemWriter {
    std::string_view Delimiter;
    int LastColumn;
    bool Quote;

    void Append(std::string& row, std::string_view text, int column) const {
        if (Quote) {
            AppendQuoted(row, text, '"');
        } else {
            AppendEscaped<'\n'>(row, text, [](char) { return std::string_view(" "); });
        }
        if (column != LastColumn) row.append(Delimiter);
    }
};

ExportResult ExportDelimited(const OpenTable& table, const ExportSettings& settings, const ExportProgress& progress,
                     OutputFormat format) {
    OutputFile file(OutputPath(table, settings, format), settings.Committer);
    const std::vector<int> columns = SelectedColumns(table);
    const std::string_view rowEnd = LineEndText(settings.Delimited.RowEnd);
    const ItemWriter items{settings.Delimited.Delimiter, ListedColumns(table) - 1, settings.Delimited.QuoteItems};
    const CodePage& page = *table.TableCodePage;
    const bool toUtf8 = settings.Delimited.ToUtf8;
    const auto written = [&page, toUtf8](std::string_view bytes, std::string& utf8) {
        return toUtf8 ? page.AsUtf8(bytes, utf8) : bytes;
    };

    if (settings.Delimited.IncludeHeader) {
        std::string header, utf8;
        for (int f : columns) items.Append(header, written(table.FieldNames[static_cast<std::size_t>(f)], utf8), f);
        header.append(rowEnd);
        file.Write(header);
    }
    WriteRecords(file, table, settings, progress, [&](const OpenTable& table) {
        return [&, scratch = std::string(), utf8 = std::string()](std::string& out, std::int64_t record) mutable {
            for (int f : columns) {
                const CleanRule rule{.RemoveNul = true, .RemoveCr = true};
                items.Append(out, written(CleanCellText(table, record, f, settings, rule, scratch), utf8), f);
            }
            out.append(rowEnd);
        };
    });
    file.Commit();
    return {};
}

}  // namespace

ExportResult ExportText(const OpenTable& table, const ExportSettings& settings, const ExportProgress& progress) {
    return ExportDelimited(table, settings, progress, OutputFormat::Text);
}

ExportResult ExportCsv(const OpenTable& table, const ExportSettings& settings, const ExportProgress& progress) {
    return ExportDelimited(table, settings, progress, OutputFormat::CSV);
}

}  // namespace quillet

#include <algorithm>
#include <string>

#include "export/excel_cell_rule.h"
#include "export/excel_file_v2.h"
#include "export/excel_text_encoding.h"
#include "export/export_frame.h"

namespace quillet {

namespace {

// A cell's text is trimmed and loses its NULs, which readers take as the text's end or as part of
// a number ("8116\0" is no number); whatever else it holds goes into the sheet.
constexpr CleanRule kSheetCleaning{.RemoveNul = true, .RemoveCr = false};

// The worksheet format's own size: 16384 rows, the header and records 1 to 16383 at their
// table positions, and 256 columns.
constexpr std::int64_t kMaxSheetRows = 16384;
constexpr std::int64_t kMaxRecords = kMaxSheetRows - 1;
constexpr int kMaxSheetColumns = 256;

// Refuses, before any byte is written, a table whose written cells would fall outside the sheet.
void CheckSheetSize(const OpenTable& table, const ExportSettings& settings, const std::vector<int>& columns,
                    const std::string& path) {
    if (!columns.empty() && columns.back() >= kMaxSheetColumns) {
        const int field = columns.back();
        throw ExportError("Cannot write \"" + path + "\": an Excel worksheet holds at most " +
                          std::to_string(kMaxSheetColumns) + " columns, and the selected column \"" +
                          table.TableCodePage->ToUtf8(table.FieldNames[static_cast<std::size_t>(field)]) + "\" is column " +
                          std::to_string(field + 1) + ". Leave out the columns beyond " +
                          std::to_string(kMaxSheetColumns) + ", or export the table as CSV.");
    }
    if (table.RecordCount() <= kMaxRecords) return;
    std::int64_t beyond = -1;  // the last record to be written that the sheet has no row for
    ForEachWindow(table, [&](std::int64_t first, std::int64_t last) {
        for (std::int64_t r = std::max(first, kMaxRecords); r < last; ++r) {
            if (RecordPasses(settings.RecordFilter, table.IsDeleted(r))) beyond = r;
        }
    });
    if (beyond < 0) return;
    throw ExportError("Cannot write \"" + path + "\": an Excel worksheet holds at most " +
                      std::to_string(kMaxSheetRows) + " rows, the header and records 1 to " +
                      std::to_string(kMaxRecords) + ", and record " + std::to_string(beyond + 1) +
                      " is to be written. Export the table as CSV instead.");
}

// A table in a code page readers do not know is re-encoded; its written texts choose the page.
ExcelTextEncoding SheetEncoding(const OpenTable& table, const ExportSettings& settings, const std::vector<int>& columns) {
    const CodePage& codePage = *table.TableCodePage;
    if (ExcelTextEncoding::ReadersKnow(codePage)) return ExcelTextEncoding(codePage);
    return ExcelTextEncoding(codePage, [&](auto&& count) {
        for (int field : columns) count(table.FieldNames[static_cast<std::size_t>(field)]);
        std::string scratch;
        ForEachWrittenRecord(table, settings, {}, [&](std::int64_t record) {
            for (int field : columns) count(CleanCellText(table, record, field, settings, kSheetCleaning, scratch));
        });
    });
}

}  // namespace

ExportResult ExportExcel(const OpenTable& table, const ExportSettings& settings, const ExportProgress& progress) {
    const std::string path = OutputPath(table, settings, OutputFormat::Excel);
    const std::vector<int> columns = SelectedColumns(table);
    CheckSheetSize(table, settings, columns, path);

    ExcelTextEncoding encoding = SheetEncoding(table, settings, columns);
    std::string scratch;
    std::int64_t cut = 0;
    ExcelFileV2 sheet;
    sheet.OpenFile(path, encoding.SheetCodePage(), settings.Committer);
    for (int field : columns) {
        sheet.EWriteString(1, field + 1, encoding.Encode(table.FieldNames[static_cast<std::size_t>(field)]));
    }
    ForEachWrittenRecord(table, settings, progress, [&](std::int64_t record) {
        const int row = static_cast<int>(record) + 2;
        for (int field : columns) {
            const std::string_view text = CleanCellText(table, record, field, settings, kSheetCleaning, scratch);
            const ExcelCell cell = ClassifyExcelCell(text, settings.DecimalSeparator);
            switch (cell.Kind) {
            case ExcelCellKind::Label: {
                const std::string_view bytes = encoding.Encode(text);
                if (bytes.size() > ExcelFileV2::kMaxTextLength) ++cut;
                sheet.EWriteString(row, field + 1, bytes);
                break;
            }
            case ExcelCellKind::Integer:
                sheet.EWriteInteger(row, field + 1, static_cast<std::uint16_t>(cell.Value));
                break;
            case ExcelCellKind::Number:
                sheet.EWriteDouble(row, field + 1, cell.Value);
                break;
            }
        }
    });
    sheet.CloseFile();
    ExportResult result = CutNote(path, cut, ExcelFileV2::kMaxTextLength);
    if (encoding.Unwritten() > 0) {
        result.Notes.push_back("\"" + path + "\" was written, but " + std::to_string(encoding.Unwritten()) +
                               " of its characters have no place in the worksheet's code page and were written \"?\". "
                               "CSV, XML or SQL keep every character.");
    }
    return result;
}

}  // namespace quillet

#include "export/export_frame.h"

#include "table/cell_text.h"

namespace quillet {

std::vector<int> SelectedColumns(const OpenTable& table) {
    std::vector<int> columns;
    for (int f = 0; f < table.ColumnCount; ++f) {
        if (static_cast<std::size_t>(f) < table.ColumnSelected.size() && table.ColumnSelected[static_cast<std::size_t>(f)]) {
            columns.push_back(f);
        }
    }
    return columns;
}

void AppendCleaned(std::string& out, std::string_view text, CleanRule rule) {
    // Trimming the text first gives the same result whenever no NUL or CR is to be removed:
    // what the trim cuts off is spaces only. Text fields are mostly padded with blanks, so this
    // usually leaves a short text to check and one append.
    const std::size_t first = text.find_first_not_of(' ');
    const std::string_view trimmed =
        first == std::string_view::npos ? std::string_view() : text.substr(first, text.find_last_not_of(' ') - first + 1);
    bool removes = false;
    for (const char c : trimmed) removes |= (c == '\0' && rule.RemoveNul) | (c == '\r' && rule.RemoveCr);
    if (!removes) {
        out.append(trimmed);
        return;
    }

    const std::size_t start = out.size();
    for (char c : text) {
        if ((c == '\0' && rule.RemoveNul) || (c == '\r' && rule.RemoveCr)) continue;
        out += c;
    }
    std::size_t end = out.size();
    while (end > start && out[end - 1] == ' ') --end;
    std::size_t kept = start;
    while (kept < end && out[kept] == ' ') ++kept;
    out.erase(end);
    out.erase(start, kept - start);
}

void CleanCellText(std::string& out, const OpenTable& table, std::int64_t record, int field,
                   const ExportSettings& settings, CleanRule rule) {
    out.clear();
    const CellValue cell = table.Cell(record, field);
    if (cell.Kind == CellKind::Text) {
        AppendCleaned(out, cell.Text, rule);
    } else {
        AppendCellText(out, cell, settings.DecimalSeparator);
    }
}

}  // namespace quillet

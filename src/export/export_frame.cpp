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
    const std::size_t start = out.size();
    if ((rule.RemoveNul && text.find('\0') != std::string_view::npos) ||
        (rule.RemoveCr && text.find('\r') != std::string_view::npos)) {
        for (char c : text) {
            if ((c == '\0' && rule.RemoveNul) || (c == '\r' && rule.RemoveCr)) continue;
            out += c;
        }
    } else {
        out.append(text);
    }
    std::size_t end = out.size();
    while (end > start && out[end - 1] == ' ') --end;
    std::size_t first = start;
    while (first < end && out[first] == ' ') ++first;
    out.erase(end);
    out.erase(start, first - start);
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

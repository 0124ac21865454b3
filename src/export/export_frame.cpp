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

namespace {

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
    const std::string_view kept = TrimSpaces(std::string_view(out).substr(start));
    const std::size_t first = static_cast<std::size_t>(kept.data() - out.data());
    out.erase(first + kept.size());
    out.erase(start, first - start);
}

}  // namespace

void CleanCellText(std::string& out, const CellValue& cell, char decimalSeparator, CleanRule rule) {
    out.clear();
    if (cell.Kind == CellKind::Text) {
        AppendCleaned(out, cell.Text, rule);
    } else {
        AppendCellText(out, cell, decimalSeparator);
    }
}

}  // namespace quillet

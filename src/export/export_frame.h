#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "export/exporters.h"

namespace quillet {

// What every exporter shares: which records and which columns it writes, and the cleaning
// of a cell's text.

inline bool RecordPasses(RecordFilter filter, bool deleted) {
    switch (filter) {
    case RecordFilter::AllRecords: return true;
    case RecordFilter::OnlyDeleted: return deleted;
    case RecordFilter::SkipDeleted: return !deleted;
    }
    return true;
}

// Field indexes (from 0) of the selected columns among the first ColumnCount, in order.
std::vector<int> SelectedColumns(const OpenTable& table);

// Calls visit(record) for every record the filter lets through, in file order, and reports
// progress every few thousand records.
template <typename Visit>
void ForEachWrittenRecord(const OpenTable& table, const ExportSettings& settings, const ExportProgress& progress,
                          Visit&& visit) {
    const std::int64_t count = table.RecordCount();
    constexpr std::int64_t kProgressStep = 1 << 14;
    for (std::int64_t r = 0; r < count; ++r) {
        if (RecordPasses(settings.RecordFilter, table.IsDeleted(r))) visit(r);
        if (progress && (r + 1) % kProgressStep == 0) progress(r + 1, count);
    }
    if (progress) progress(count, count);
}

struct CleanRule {
    bool RemoveNul;
    bool RemoveCr;
};

// The text without leading and trailing spaces; only the space character counts as a space.
inline std::string_view TrimSpaces(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return text.substr(text.size());
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The cell's CellText, with that decimal separator, in place of out's content; a text cell
// without NULs (if the rule says so), without CRs (likewise), then trimmed of spaces.
void CleanCellText(std::string& out, const CellValue& cell, char decimalSeparator, CleanRule rule);

// The same for a cell of the table, with the settings' decimal separator.
inline void CleanCellText(std::string& out, const OpenTable& table, std::int64_t record, int field,
                          const ExportSettings& settings, CleanRule rule) {
    CleanCellText(out, table.Cell(record, field), settings.DecimalSeparator, rule);
}

}  // namespace quillet

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

// Appends text without NULs (if the rule says so), without CRs (likewise), then without
// leading and trailing spaces. Only the space character counts as a space.
void AppendCleaned(std::string& out, std::string_view text, CleanRule rule);

// The cell's CellText (with the settings' decimal separator), cleaned, in place of out's content.
void CleanCellText(std::string& out, const OpenTable& table, std::int64_t record, int field,
                   const ExportSettings& settings, CleanRule rule);

}  // namespace quillet

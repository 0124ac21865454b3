#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "export/exporters.h"
#include "export/record_blocks.h"

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

// ColumnCount, but never more than the table has fields: a caller may have listed the columns of
// another table (ReadTable keeps the Open command's part).
int ListedColumns(const OpenTable& table);

// Field indexes (from 0) of the selected columns among the listed ones, in order.
std::vector<int> SelectedColumns(const OpenTable& table);

// Calls visit(record) for every record the filter lets through, in file order, and reports
// progress every few thousand records.
template <typename Visit>
void ForEachWrittenRecord(const OpenTable& table, const ExportSettings& settings, const ExportProgress& progress,
                          Visit&& visit) {
    const std::int64_t count = table.RecordCount();
    constexpr std::int64_t kProgressStep = 1 << 14;
    ForEachWindow(table, [&](std::int64_t first, std::int64_t last) {
        for (std::int64_t r = first; r < last; ++r) {
            if (RecordPasses(settings.RecordFilter, table.IsDeleted(r))) visit(r);
            if (progress && (r + 1) % kProgressStep == 0) progress(r + 1, count);
        }
    });
    if (progress) progress(count, count);
}

// Writes every record the filter lets through to file, in file order, formatted by
// format(out, record), which appends the record's bytes to out. makeFormatter(table) gives each
// formatting thread a formatter of its own (see WriteRecordBlocks): a lambda that reads the
// records from the table it is given (which may be the thread's own stream of the file),
// captures its scratch buffers by value and everything else by reference.
template <typename MakeFormatter>
void WriteRecords(OutputFile& file, const OpenTable& table, const ExportSettings& settings,
                  const ExportProgress& progress, MakeFormatter&& makeFormatter) {
    const RecordFilter filter = settings.RecordFilter;
    WriteRecordBlocks(file, table, settings.TwoThreadFormatting, progress, [&](const OpenTable& part) -> FormatBlock {
        return [&table = part, filter, format = makeFormatter(part)](std::string& out, std::int64_t first,
                                                                     std::int64_t last) mutable {
            for (std::int64_t r = first; r < last; ++r) {
                if (RecordPasses(filter, table.IsDeleted(r))) format(out, r);
            }
        };
    });
}

// The note of an export whose format cut count texts to limit characters; no note for none.
ExportResult CutNote(const std::string& path, std::int64_t count, std::size_t limit);

struct CleanRule {
    bool RemoveNul;
    bool RemoveCr;
};

// Only trimmed: for formats that carry every other byte.
inline constexpr CleanRule kTrimOnly{false, false};

// The text without leading and trailing spaces; only the space character counts as a space.
std::string_view TrimSpaces(std::string_view text);

// The cell's CellText, with that decimal separator; a text cell without NULs (if the rule
// says so), without CRs (likewise), then trimmed of spaces. The result views the table's own
// bytes where only trimming was needed, else scratch, which it overwrites: no copy for most
// cells.
std::string_view CleanCellText(const CellValue& cell, char decimalSeparator, CleanRule rule, std::string& scratch);

// A cell of the table as every export writes it: without the remains of a character that
// the end of its field cut.
inline CellValue WrittenCell(const OpenTable& table, std::int64_t record, int field) {
    CellValue cell = table.Cell(record, field);
    cell.Text = cell.Text.substr(0, table.TableCodePage->WholeLength(cell.Text));
    return cell;
}

// The same for a cell of the table, with the settings' decimal separator.
inline std::string_view CleanCellText(const OpenTable& table, std::int64_t record, int field,
                                      const ExportSettings& settings, CleanRule rule, std::string& scratch) {
    return CleanCellText(WrittenCell(table, record, field), settings.DecimalSeparator, rule, scratch);
}

}  // namespace quillet

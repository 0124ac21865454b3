#pragma once

#include <QLocale>
#include <cstdint>
#include <optional>
#include <vector>

#include "table/open_table.h"
#include "ui/two_halves.h"

namespace quillet {

// The table's records ordered by one field: numbers as numbers, false before true, dates and
// date-times by their stored digits (year first), other text decoded with the table's code page
// and compared by the locale's collation. Empty cells come last either way, equal values keep
// file order. Nothing when steps asked to stop or the helper thread ran out of memory.
std::optional<std::vector<std::int32_t>> SortRecords(const OpenTable& table, int field, bool descending,
                                                     const QLocale& locale, const JobSteps& steps);

}  // namespace quillet

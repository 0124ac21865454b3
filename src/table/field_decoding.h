#pragma once

#include <vector>

#include "table/open_table.h"

namespace quillet {

// Decides, per field type, how the field's cells are kept, and sizes the arrays of the
// numeric, logical and date-time fields for records records.
std::vector<FieldCells> PrepareFields(const OpenTable& table, std::size_t records);

// Decodes the held records [begin, end) (counted from the first held one) into fields (from
// PrepareFields). The reader calls it on each piece of the file as soon as it has been read,
// while it is still in the cache. Only the first bytesFromFile bytes of RecordBytes came from the
// file; binary fields read the blanks standing in for the rest as absent bytes.
void DecodeRecords(const OpenTable& table, std::vector<FieldCells>& fields, std::size_t begin, std::size_t end,
                   std::uint64_t bytesFromFile);

// "YYYY-MM-DD hh:mm:ss" from a Julian day number and milliseconds after midnight;
// empty when both are 0 or either is out of range.
std::string DateTimeText(std::int32_t julianDay, std::int32_t milliseconds);

}  // namespace quillet

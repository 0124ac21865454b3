#pragma once

#include <vector>

#include "table/open_table.h"

namespace quillet {

// Decides, per field type, how the field's cells are kept, and decodes the numeric,
// logical and date-time fields of every record once. Only the first bytesFromFile bytes of
// RecordBytes came from the file; binary fields read the filler after them as absent.
std::vector<FieldCells> DecodeFields(const OpenTable& table, std::uint64_t bytesFromFile);

// "YYYY-MM-DD hh:mm:ss" from a Julian day number and milliseconds after midnight;
// empty when both are 0 or either is out of range.
std::string DateTimeText(std::int32_t julianDay, std::int32_t milliseconds);

}  // namespace quillet

#pragma once

#include <string>

#include "table/cell_value.h"

namespace quillet {

// Room for the longest number text CellText writes ("-1.23456789012345e-308").
inline constexpr std::size_t kNumberTextCapacity = 32;

// Writes a number as its shortest form of at most 15 significant digits (C++ general format),
// with decimalSeparator in place of ".". Returns the end of what was written.
char* FormatNumber(char* out, double value, char decimalSeparator);

// Appends the one text form of a cell: text unchanged, numbers as FormatNumber,
// truth values "True"/"False", empty cells nothing.
void AppendCellText(std::string& out, const CellValue& cell, char decimalSeparator);

std::string CellText(const CellValue& cell, char decimalSeparator);

}  // namespace quillet

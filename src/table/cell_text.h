#pragma once

#include <string>
#include <string_view>

#include "table/cell_value.h"

namespace quillet {

// Room for the longest number text CellText writes ("-1.23456789012345e-308").
inline constexpr std::size_t kNumberTextCapacity = 32;

// Writes a number as its shortest form of at most 15 significant digits (C++ general format),
// with decimalSeparator in place of ".". Returns the end of what was written.
char* FormatNumber(char* out, double value, char decimalSeparator);

// FormatNumber's quick path. Numbers read from a table are mostly short decimals (12.5, 100,
// -0.25). When the value is the double nearest to m / 10^d for a whole m of at most 15 digits,
// its 15-digit general form is m with d decimals: the double lies within half a unit in the
// last place of that decimal, far closer than half a step of the 15-digit grid, and
// 0.0001 <= |value| < 10^15 keeps the form fixed rather than exponential. Writing m is much
// quicker than the general conversion, and the text reads back as the same double. Returns
// the end of what was written, or nullptr (having written nothing useful) for any other value.
char* FormatShortDecimal(char* out, double value, char decimalSeparator);

// FormatNumber's text for the number a numeric field's stored decimal text reads as, made from the
// text itself: blanks, an optional sign, at most 15 digits with at most one point and at most 9
// after it, blanks. The text read is then the double nearest to that decimal, and no other decimal
// of 15 digits or fewer has the same nearest double, so FormatNumber's shortest form is the
// decimal without leading zeros and trailing decimal zeros. That text is most often the stored
// bytes themselves without their blanks, and then the result views them; else it is written to
// buffer (kNumberTextCapacity bytes). A null view for any other text, and for a value below
// 0.0001, which FormatNumber writes with an exponent.
std::string_view StoredDecimalText(std::string_view stored, char decimalSeparator, char* buffer);

// Appends the one text form of a cell: text unchanged, numbers as FormatNumber,
// truth values "True"/"False", empty and binary cells nothing (exports leave binary memos empty).
void AppendCellText(std::string& out, const CellValue& cell, char decimalSeparator);

std::string CellText(const CellValue& cell, char decimalSeparator);

// What the list shows for a binary cell: "(binary, 2,048 bytes)".
std::string BinaryCellText(std::uint64_t size);

}  // namespace quillet

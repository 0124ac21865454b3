#pragma once

#include <cstdint>
#include <string_view>

namespace quillet {

// Which worksheet record a trimmed cell text becomes.
enum class ExcelCellKind : std::uint8_t { Label, Integer, Number };

struct ExcelCell {
    ExcelCellKind Kind = ExcelCellKind::Label;
    double Value = 0;  // for Integer (a whole number 0..32766) and Number
};

// A text that reads as a whole as a decimal number (sign, digits with at most one decimal point,
// exponent) is a number; its decimal point is "." or decimalSeparator. Fractional texts become
// NUMBER cells; whole ones from 0 to 32766 INTEGER cells; whole ones from 32767 up stay text,
// digits and leading zeros kept; negative ones become NUMBER cells. Everything else is text.
ExcelCell ClassifyExcelCell(std::string_view text, char decimalSeparator);

}  // namespace quillet

#include "table/cell_text.h"

#include <charconv>

namespace quillet {

char* FormatNumber(char* out, double value, char decimalSeparator) {
    if (value == 0) value = 0;  // no "-0"
    char* end = std::to_chars(out, out + kNumberTextCapacity, value, std::chars_format::general, 15).ptr;
    if (decimalSeparator != '.') {
        for (char* p = out; p != end; ++p) {
            if (*p == '.') {
                *p = decimalSeparator;
                break;
            }
        }
    }
    return end;
}

void AppendCellText(std::string& out, const CellValue& cell, char decimalSeparator) {
    switch (cell.Kind) {
    case CellKind::Empty:
        return;
    case CellKind::Text:
        out.append(cell.Text);
        return;
    case CellKind::Number: {
        char buffer[kNumberTextCapacity];
        out.append(buffer, FormatNumber(buffer, cell.Number, decimalSeparator));
        return;
    }
    case CellKind::Truth:
        out.append(cell.Truth ? "True" : "False");
        return;
    }
}

std::string CellText(const CellValue& cell, char decimalSeparator) {
    std::string text;
    AppendCellText(text, cell, decimalSeparator);
    return text;
}

}  // namespace quillet

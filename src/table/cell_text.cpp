#include "table/cell_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <iterator>

namespace quillet {

namespace {

// Numbers read from a table are mostly short decimals (12.5, 100, -0.25). When the value is the
// double nearest to m / 10^d for a whole m of at most 15 digits, its 15-digit general form is m
// with d decimals: the double lies within half a unit in the last place of that decimal, far
// closer than half a step of the 15-digit grid, and 0.0001 <= |value| < 10^15 keeps the form
// fixed rather than exponential. Writing m is much quicker than the general conversion.
// Returns nullptr for any other value.
char* FormatShortDecimal(char* out, double value, char decimalSeparator) {
    static constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
    const double magnitude = std::fabs(value);
    if (!(magnitude >= 1e-4 && magnitude < 1e15)) return nullptr;
    for (int decimals = 0; decimals < static_cast<int>(std::size(kPowersOfTen)); ++decimals) {
        const double scaled = magnitude * kPowersOfTen[decimals];
        if (scaled >= 1e15) return nullptr;
        const double whole = std::nearbyint(scaled);
        if (whole / kPowersOfTen[decimals] != magnitude) continue;

        char digits[24];
        const auto length = static_cast<int>(std::to_chars(digits, digits + sizeof digits, static_cast<std::uint64_t>(whole)).ptr - digits);
        char* p = out;
        if (value < 0) *p++ = '-';
        if (decimals == 0) return std::copy(digits, digits + length, p);
        const int integerDigits = length - decimals;
        if (integerDigits > 0) {
            p = std::copy(digits, digits + integerDigits, p);
        } else {
            *p++ = '0';
        }
        *p++ = decimalSeparator;
        for (int i = integerDigits; i < 0; ++i) *p++ = '0';
        const int fractionStart = std::max(integerDigits, 0);
        int fractionEnd = length;
        while (fractionEnd > fractionStart && digits[fractionEnd - 1] == '0') --fractionEnd;
        return std::copy(digits + fractionStart, digits + fractionEnd, p);
    }
    return nullptr;
}

}  // namespace

char* FormatNumber(char* out, double value, char decimalSeparator) {
    if (value == 0) value = 0;  // no "-0"
    if (char* end = FormatShortDecimal(out, value, decimalSeparator)) return end;
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

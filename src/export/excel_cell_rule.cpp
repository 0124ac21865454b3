#include "export/excel_cell_rule.h"

#include <charconv>
#include <cmath>

namespace quillet {

namespace {

constexpr double kIntegerBound = 32767;
// Longer texts are never numbers a table stores; they stay text.
constexpr std::size_t kMaxNumberLength = 64;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Copies text into out in the form from_chars reads ("." as the point, no "+"), or returns
// false when text is not a plain decimal number. fractional tells whether it has a point.
bool NormaliseNumber(std::string_view text, char decimalSeparator, char* out, std::size_t& length, bool& fractional) {
    if (text.empty() || text.size() > kMaxNumberLength) return false;
    std::size_t i = 0;
    length = 0;
    if (text[i] == '+' || text[i] == '-') {
        if (text[i] == '-') out[length++] = '-';
        ++i;
    }
    std::size_t digits = 0;
    fractional = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (IsDigit(c)) {
            ++digits;
            out[length++] = c;
        } else if ((c == '.' || c == decimalSeparator) && !fractional) {
            fractional = true;
            out[length++] = '.';
        } else {
            break;
        }
    }
    if (digits == 0) return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        out[length++] = 'e';
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) out[length++] = text[i++];
        std::size_t exponentDigits = 0;
        for (; i < text.size() && IsDigit(text[i]); ++i, ++exponentDigits) out[length++] = text[i];
        if (exponentDigits == 0) return false;
    }
    return i == text.size();
}

}  // namespace

ExcelCell ClassifyExcelCell(std::string_view text, char decimalSeparator) {
    char number[kMaxNumberLength];
    std::size_t length = 0;
    bool fractional = false;
    if (!NormaliseNumber(text, decimalSeparator, number, length, fractional)) return {};
    double value = 0;
    const auto [end, error] = std::from_chars(number, number + length, value);
    if (error != std::errc() || end != number + length || !std::isfinite(value)) return {};
    if (value == 0) value = 0;  // "-0" is the integer 0

    // An exponent can make a text without a point fractional ("1e-3"): never cut it to an integer.
    if (fractional || value < 0 || value != std::floor(value)) return {ExcelCellKind::Number, value};
    if (value >= kIntegerBound) return {};
    return {ExcelCellKind::Integer, value};
}

}  // namespace quillet

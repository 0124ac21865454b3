#include "table/cell_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <iterator>

namespace quillet {

char* FormatShortDecimal(char* out, double value, char decimalSeparator) {
    static constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
    const double magnitude = std::fabs(value);
    if (!(magnitude >= 1e-4 && magnitude < 1e15)) return nullptr;
    for (int decimals = 0; decimals < static_cast<int>(std::size(kPowersOfTen)); ++decimals) {
        const double scaled = magnitude * kPowersOfTen[decimals];
        if (scaled >= 1e15) return nullptr;
        // The nearest whole number (by conversion: the library's rounding is a call).
        const auto m = static_cast<std::uint64_t>(scaled + 0.5);
        const auto whole = static_cast<double>(m);
        // When whole / 10^d is magnitude, scaled lies within a few units in the last place of
        // whole: anything farther off is passed over without the slow division.
        if (std::fabs(scaled - whole) > scaled * 1e-12 || whole / kPowersOfTen[decimals] != magnitude) continue;

        // Written from the last digit: the fraction without its trailing zeros, then the whole part.
        char text[32];
        char* p = std::end(text);
        std::uint64_t rest = m;
        if (decimals > 0) {
            int fraction = decimals;
            for (; fraction > 0 && rest % 10 == 0; --fraction) rest /= 10;
            for (; fraction > 0; --fraction, rest /= 10) *--p = static_cast<char>('0' + rest % 10);
            *--p = decimalSeparator;
        }
        do {
            *--p = static_cast<char>('0' + rest % 10);
            rest /= 10;
        } while (rest != 0);
        if (value < 0) *--p = '-';
        return std::copy(p, std::end(text), out);
    }
    return nullptr;
}

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

std::string_view StoredDecimalText(std::string_view stored, char decimalSeparator, char* buffer) {
    // One pass over a few bytes: the cells of a numeric column go through here one after another.
    const char* p = stored.data();
    const char* end = p + stored.size();
    while (p != end && *p == ' ') ++p;
    while (end != p && end[-1] == ' ') --end;
    if (p == end) return {};
    const char* sign = p;
    const bool negative = *p == '-';
    if (negative || *p == '+') ++p;
    const char* point = end;
    for (const char* c = p; c != end; ++c) {
        if (*c == '.' && point == end) {
            point = c;
        } else if (*c < '0' || *c > '9') {
            return {};
        }
    }
    const auto decimals = point == end ? 0 : end - point - 1;
    const auto digits = (point - p) + decimals;
    if (digits == 0 || digits > 15 || decimals > 9) return {};

    const char* whole = p;
    while (p != point && *p == '0') ++p;
    const char* fraction = point == end ? end : point + 1;
    while (end != fraction && end[-1] == '0') --end;
    if (p == point && fraction == end) return "0";
    if (p == point) {
        const char* significant = fraction;
        while (*significant == '0') ++significant;
        if (significant - fraction > 3) return {};
    }

    // The stored bytes as they are, where they hold no '+', no zero before the whole part's
    // first digit (but the one "0" of a value below 1) and no other separator.
    const char* first = p != point ? p : point != whole ? point - 1 : nullptr;
    const bool wholeAsStored = first != nullptr && (negative ? first == whole : *sign != '+');
    if (wholeAsStored && (fraction == end || decimalSeparator == '.')) {
        const char* start = negative ? sign : first;
        return {start, static_cast<std::size_t>((fraction == end ? point : end) - start)};
    }

    char* out = buffer;
    if (negative) *out++ = '-';
    if (p == point) {
        *out++ = '0';
    } else {
        out = std::copy(p, point, out);
    }
    if (fraction != end) {
        *out++ = decimalSeparator;
        out = std::copy(fraction, end, out);
    }
    return {buffer, static_cast<std::size_t>(out - buffer)};
}

void AppendCellText(std::string& out, const CellValue& cell, char decimalSeparator) {
    switch (cell.Kind) {
    case CellKind::Empty:
    case CellKind::Binary:
        return;
    case CellKind::Text:
        out.append(cell.Text);
        return;
    case CellKind::Number: {
        char buffer[kNumberTextCapacity];
        const std::string_view text = cell.Text.empty() ? std::string_view() : StoredDecimalText(cell.Text, decimalSeparator, buffer);
        if (text.data() != nullptr) {
            out.append(text);
        } else {
            out.append(buffer, FormatNumber(buffer, cell.Number(), decimalSeparator));
        }
        return;
    }
    case CellKind::Truth:
        out.append(cell.Truth ? "True" : "False");
        return;
    }
}

std::string BinaryCellText(std::uint64_t size) {
    const std::string digits = std::to_string(size);
    std::string text = "(binary, ";
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) text += ',';
        text += digits[i];
    }
    return text + (size == 1 ? " byte)" : " bytes)");
}

std::string CellText(const CellValue& cell, char decimalSeparator) {
    std::string text;
    AppendCellText(text, cell, decimalSeparator);
    return text;
}

}  // namespace quillet

#include "export/typed_cell.h"

#include <charconv>
#include <cmath>
#include <optional>

#include "export/export_frame.h"

namespace quillet {

namespace {

std::optional<int> NumberOf(std::string_view digits) {
    int value = 0;
    if (digits.empty() || digits.front() < '0' || digits.front() > '9') return std::nullopt;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    return value;
}

bool IsRealDate(int year, int month, int day) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1 || month < 1 || month > 12 || day < 1) return false;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

// A date field's YYYYMMDD; blanks, zeros and impossible dates give nothing.
std::optional<CivilTime> DateOf(std::string_view stored) {
    if (stored.size() != 8) return std::nullopt;
    const auto year = NumberOf(stored.substr(0, 4)), month = NumberOf(stored.substr(4, 2)), day = NumberOf(stored.substr(6, 2));
    if (!year || !month || !day || !IsRealDate(*year, *month, *day)) return std::nullopt;
    return CivilTime{*year, *month, *day, 0, 0, 0};
}

// The reader's "YYYY-MM-DD hh:mm:ss".
std::optional<CivilTime> DateTimeOf(std::string_view text) {
    if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != ' ' || text[13] != ':' || text[16] != ':') {
        return std::nullopt;
    }
    int parts[6];
    static constexpr std::size_t kAt[] = {0, 5, 8, 11, 14, 17};
    for (int i = 0; i < 6; ++i) {
        const auto part = NumberOf(text.substr(kAt[i], i == 0 ? 4 : 2));
        if (!part) return std::nullopt;
        parts[i] = *part;
    }
    if (!IsRealDate(parts[0], parts[1], parts[2]) || parts[3] > 23 || parts[4] > 59 || parts[5] > 59) return std::nullopt;
    return CivilTime{parts[0], parts[1], parts[2], parts[3], parts[4], parts[5]};
}

TypedCell NumberCell(const OpenTable& table, std::int64_t record, const FieldDescriptor& d, double number) {
    TypedCell typed;
    if (!std::isfinite(number)) return typed;
    typed.Kind = TypedKind::Real;
    typed.Real = number;
    if (d.Type == 'N' || d.Type == 'F') {
        typed.Text = TrimSpaces(table.RecordText(record).substr(d.Offset, d.StoredLength));
        // The reader takes blanks for 0; they are no number at all.
        if (typed.Text.empty()) return {};
        const char* end = typed.Text.data() + typed.Text.size();
        const auto [stop, error] = std::from_chars(typed.Text.data(), end, typed.Integer);
        if (error == std::errc() && stop == end) typed.Kind = TypedKind::Integer;
    } else if ((d.Type == 'I' || d.Type == '+') && number == std::trunc(number) && std::fabs(number) < 0x1p63) {
        typed.Kind = TypedKind::Integer;
        typed.Integer = static_cast<std::int64_t>(number);
    }
    return typed;
}

}  // namespace

TypedCell TypedCellOf(const OpenTable& table, std::int64_t record, int field, std::string& scratch) {
    const CellValue cell = table.Cell(record, field);
    const FieldDescriptor& d = table.FieldDescriptors[static_cast<std::size_t>(field)];
    TypedCell typed;
    if (cell.Kind == CellKind::Number) return NumberCell(table, record, d, cell.Number());
    if (cell.Kind == CellKind::Truth) {
        typed.Kind = TypedKind::Truth;
        typed.Truth = cell.Truth;
    } else if (cell.Kind == CellKind::Text) {
        if (d.Type == 'D' || d.Type == 'T' || d.Type == '@') {
            const auto when = d.Type == 'D' ? DateOf(TrimSpaces(cell.Text)) : DateTimeOf(TrimSpaces(cell.Text));
            if (when) {
                typed.Kind = d.Type == 'D' ? TypedKind::Date : TypedKind::DateTime;
                typed.When = *when;
            }
        } else {
            typed.Kind = TypedKind::Text;
            typed.Text = CleanCellText(cell, '.', CleanRule{.RemoveNul = true, .RemoveCr = true}, scratch);
        }
    }
    return typed;
}

int SignificantDigits(std::string_view number) {
    int digits = 0, zerosAfter = 0;
    for (char c : number) {
        if (c == 'e' || c == 'E') break;
        if (c < '0' || c > '9') continue;
        if (c == '0') {
            if (digits > 0) ++zerosAfter;
            continue;
        }
        digits += zerosAfter + 1;
        zerosAfter = 0;
    }
    return digits;
}

std::string IsoText(const CivilTime& when, bool withTime) {
    char text[32];
    const int n = withTime ? std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", when.Year, when.Month,
                                           when.Day, when.Hour, when.Minute, when.Second)
                           : std::snprintf(text, sizeof text, "%04d-%02d-%02d", when.Year, when.Month, when.Day);
    return std::string(text, static_cast<std::size_t>(n));
}

}  // namespace quillet

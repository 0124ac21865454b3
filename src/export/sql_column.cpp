#include "export/sql_column.h"

#include <algorithm>
#include <cmath>
#include <future>
#include <optional>
#include <system_error>
#include <unordered_set>

#include "export/export_frame.h"
#include "export/sql_text.h"
#include "table/table_stream.h"

namespace quillet {

namespace {

// A bounded numeric type: Integer, or Numeric(Precision, Scale).
struct NumericBounds {
    bool Integer = false;
    int Precision = 0;
    int Scale = 0;

    bool Holds(double value) const {
        if (Integer) return value == std::trunc(value) && value >= -2147483648.0 && value <= 2147483647.0;
        if (SurelyHolds(value)) return true;
        char text[kSqlNumberCapacity];
        const DecimalShape shape = ShapeOf(std::string_view(text, FormatSqlNumber(text, value) - text));
        return shape.FractionDigits <= Scale && shape.IntegerDigits <= Precision - Scale;
    }

    // The quick answer for most values, without writing them. When the value is the double
    // nearest to k / 10^Scale (1e-4 <= |value|, k < 10^15, Scale <= 9), FormatSqlNumber writes
    // it as a short decimal of at most Scale decimals; and that decimal, rounding to a double
    // below 10^(Precision - Scale), is itself below it. The written text decides the rest.
    bool SurelyHolds(double value) const {
        static constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                  1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
        const int integerDigits = Precision - Scale;
        if (Scale > 9 || integerDigits < 0) return false;
        const double magnitude = std::fabs(value);
        const double scaled = magnitude * kPowersOfTen[Scale];
        if (!(magnitude >= 1e-4 && scaled < 1e15)) return false;
        // Below 10^15 anyway when the type allows more integer digits.
        if (integerDigits <= 15 && !(magnitude < kPowersOfTen[integerDigits])) return false;
        return static_cast<double>(static_cast<std::uint64_t>(scaled + 0.5)) / kPowersOfTen[Scale] == magnitude;
    }
};

struct TypeRule {
    SqlValueKind Kind;
    std::string TypeText;
    std::optional<NumericBounds> Bounds;
    bool ZeroIsNull = false;
};

TypeRule RuleFor(const FieldDescriptor& d) {
    const int length = d.Length;
    switch (d.Type) {
    case 'C':
    case 'D': return {SqlValueKind::Text, "Char(" + std::to_string(std::max(length, 1)) + ")", {}, false};
    case 'N':
    case 'F': {
        const int decimals = static_cast<unsigned char>(d.Decimals);
        if (decimals == 0 && length <= 9) return {SqlValueKind::Number, "Integer", NumericBounds{true, 0, 0}, true};
        if (length == 0) return {SqlValueKind::Number, "Numeric", {}, true};
        return {SqlValueKind::Number, "Numeric(" + std::to_string(length) + "," + std::to_string(decimals) + ")",
                NumericBounds{false, length, decimals}, true};
    }
    case 'I': return {SqlValueKind::Number, "Integer", NumericBounds{true, 0, 0}, false};
    case 'Y': return {SqlValueKind::Number, "Numeric(19,4)", NumericBounds{false, 19, 4}, false};
    case 'B': return {SqlValueKind::Number, "Double precision", {}, false};
    case 'L': return {SqlValueKind::Truth, "Boolean", {}, false};
    case 'T': return {SqlValueKind::Timestamp, "Timestamp", {}, false};
    default: return {SqlValueKind::Text, "Text", {}, false};
    }
}

// A bounded numeric type falls back to plain Numeric when a written value would not fit it; all
// the columns are checked in one pass over the records.
void WidenWhereValuesDoNotFit(const OpenTable& table, const ExportSettings& settings, const std::vector<int>& fields,
                              std::vector<TypeRule>& rules) {
    std::vector<std::size_t> bounded;
    for (std::size_t i = 0; i < rules.size(); ++i) {
        if (rules[i].Bounds) bounded.push_back(i);
    }
    if (bounded.empty()) return;
    const auto check = [&](const OpenTable& part, std::int64_t begin, std::int64_t end, std::vector<std::uint8_t>& fits) {
        ForEachWindowIn(part, begin, end, [&](std::int64_t first, std::int64_t last) {
            for (std::int64_t r = first; r < last; ++r) {
                if (!RecordPasses(settings.RecordFilter, part.IsDeleted(r))) continue;
                for (std::size_t i : bounded) {
                    const CellValue cell = part.Cell(r, fields[i]);
                    if (cell.Kind != CellKind::Number) continue;
                    const double number = cell.Number();
                    if (!std::isfinite(number) || (rules[i].ZeroIsNull && number == 0)) continue;
                    if (!rules[i].Bounds->Holds(number)) fits[i] = 0;
                }
            }
        });
    };
    // The two halves of the table at once, the second read by a thread of its own: the check
    // reads the whole table before a byte is written, and took a third of the script's time.
    // The halves meet where a window ends: this thread holds the windows the export holds next,
    // whose memos the table counts once each.
    std::vector<std::uint8_t> fits(rules.size(), 1), secondFits(rules.size(), 1);
    const std::int64_t count = table.RecordCount();
    const std::int64_t step = table.Windows != nullptr ? std::max<std::int64_t>(1, table.Windows->WindowRecords()) : 1;
    const std::int64_t half = count / 2 / step * step;
    const TableForThread second(table);
    std::future<void> secondHalf;
    try {
        secondHalf = std::async(std::launch::async, [&] { check(second.Table(), half, count, secondFits); });
    } catch (const std::system_error&) {
        // No thread to be had: this one checks both halves.
        check(table, half, count, secondFits);
    }
    check(table, 0, half, fits);
    if (secondHalf.valid()) secondHalf.get();
    for (std::size_t i : bounded) {
        if (!fits[i] || !secondFits[i]) rules[i].TypeText = "Numeric";
    }
}

std::string AsciiLower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

}  // namespace

std::vector<std::string> SqlColumnNames(const OpenTable& table, const std::vector<int>& fields) {
    std::vector<std::string> names;
    std::unordered_set<std::string> taken;
    for (int f : fields) {
        const std::string base = table.TableCodePage->ToUtf8(table.FieldNames[static_cast<std::size_t>(f)]);
        std::string name = base;
        for (int n = 2; !taken.insert(AsciiLower(name)).second; ++n) name = base + "_" + std::to_string(n);
        AppendSqlName(names.emplace_back(), name);
    }
    return names;
}

std::vector<SqlColumn> PlanSqlColumns(const OpenTable& table, const ExportSettings& settings,
                                      const std::vector<int>& fields) {
    std::vector<SqlColumn> columns;
    columns.reserve(fields.size());
    std::vector<std::string> names = SqlColumnNames(table, fields);
    std::vector<TypeRule> rules;
    for (int f : fields) rules.push_back(RuleFor(table.FieldDescriptors[static_cast<std::size_t>(f)]));
    WidenWhereValuesDoNotFit(table, settings, fields, rules);
    for (std::size_t i = 0; i < fields.size(); ++i) {
        TypeRule& rule = rules[i];
        SqlColumn column;
        column.Field = fields[i];
        column.Name = std::move(names[i]);
        column.TypeText = std::move(rule.TypeText);
        column.Kind = rule.Kind;
        column.ZeroIsNull = rule.ZeroIsNull;
        columns.push_back(std::move(column));
    }
    return columns;
}

}  // namespace quillet

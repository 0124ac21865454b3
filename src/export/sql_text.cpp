#include "export/sql_text.h"

#include <algorithm>
#include <array>
#include <charconv>

#include "export/quoted_text.h"
#include "table/cell_text.h"

namespace quillet {

namespace {

// The keywords of SQLite 3 and the reserved keywords of PostgreSQL 15 (including those that
// may only name functions or types), upper case, sorted.
constexpr std::array<std::string_view, 182> kReservedWords = {
    "ABORT", "ACTION", "ADD", "AFTER", "ALL", "ALTER", "ALWAYS", "ANALYSE", "ANALYZE", "AND", "ANY", "ARRAY",
    "AS", "ASC", "ASYMMETRIC", "ATTACH", "AUTHORIZATION", "AUTOINCREMENT", "BEFORE", "BEGIN", "BETWEEN",
    "BINARY", "BOTH", "BY", "CASCADE", "CASE", "CAST", "CHECK", "COLLATE", "COLLATION", "COLUMN", "COMMIT",
    "CONCURRENTLY", "CONFLICT", "CONSTRAINT", "CREATE", "CROSS", "CURRENT", "CURRENT_CATALOG", "CURRENT_DATE",
    "CURRENT_ROLE", "CURRENT_SCHEMA", "CURRENT_TIME", "CURRENT_TIMESTAMP", "CURRENT_USER", "DATABASE", "DEFAULT",
    "DEFERRABLE", "DEFERRED", "DELETE", "DESC", "DETACH", "DISTINCT", "DO", "DROP", "EACH", "ELSE", "END",
    "ESCAPE", "EXCEPT", "EXCLUDE", "EXCLUSIVE", "EXISTS", "EXPLAIN", "FAIL", "FALSE", "FETCH", "FILTER", "FIRST",
    "FOLLOWING", "FOR", "FOREIGN", "FREEZE", "FROM", "FULL", "GENERATED", "GLOB", "GRANT", "GROUP", "GROUPS",
    "HAVING", "IF", "IGNORE", "ILIKE", "IMMEDIATE", "IN", "INDEX", "INDEXED", "INITIALLY", "INNER", "INSERT",
    "INSTEAD", "INTERSECT", "INTO", "IS", "ISNULL", "JOIN", "KEY", "LAST", "LATERAL", "LEADING", "LEFT", "LIKE",
    "LIMIT", "LOCALTIME", "LOCALTIMESTAMP", "MATCH", "MATERIALIZED", "NATURAL", "NO", "NOT", "NOTHING",
    "NOTNULL", "NULL", "NULLS", "OF", "OFFSET", "ON", "ONLY", "OR", "ORDER", "OTHERS", "OUTER", "OVER",
    "OVERLAPS", "PARTITION", "PLACING", "PLAN", "PRAGMA", "PRECEDING", "PRIMARY", "QUERY", "RAISE", "RANGE",
    "RECURSIVE", "REFERENCES", "REGEXP", "REINDEX", "RELEASE", "RENAME", "REPLACE", "RESTRICT", "RETURNING",
    "RIGHT", "ROLLBACK", "ROW", "ROWS", "SAVEPOINT", "SELECT", "SESSION_USER", "SET", "SIMILAR", "SOME",
    "SYMMETRIC", "TABLE", "TABLESAMPLE", "TEMP", "TEMPORARY", "THEN", "TIES", "TO", "TRAILING", "TRANSACTION",
    "TRIGGER", "TRUE", "UNBOUNDED", "UNION", "UNIQUE", "UPDATE", "USER", "USING", "VACUUM", "VALUES", "VARIADIC",
    "VERBOSE", "VIEW", "VIRTUAL", "WHEN", "WHERE", "WINDOW", "WITH", "WITHOUT",
};

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsPlainIdentifier(std::string_view name) {
    if (name.empty() || IsDigit(name.front())) return false;
    return std::all_of(name.begin(), name.end(), [](char c) { return IsAsciiLetter(c) || IsDigit(c) || c == '_'; });
}

}  // namespace

bool IsSqlReservedWord(std::string_view word) {
    constexpr std::size_t kLongest = 17;
    if (word.size() > kLongest) return false;
    char upper[kLongest];
    for (std::size_t i = 0; i < word.size(); ++i) {
        const char c = word[i];
        upper[i] = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return std::binary_search(kReservedWords.begin(), kReservedWords.end(), std::string_view(upper, word.size()));
}

void AppendSqlName(std::string& out, std::string_view name) {
    if (IsPlainIdentifier(name) && !IsSqlReservedWord(name)) {
        out.append(name);
    } else {
        AppendQuoted(out, name, '"');
    }
}

void AppendSqlString(std::string& out, std::string_view text) { AppendQuoted(out, text, '\''); }

char* FormatSqlNumber(char* out, double value) {
    static_assert(kSqlNumberCapacity >= kNumberTextCapacity);
    char* end = FormatNumber(out, value, '.');
    for (int precision = 16; precision <= 17; ++precision) {
        double back = 0;
        std::from_chars(out, end, back);
        if (back == value) break;
        end = std::to_chars(out, out + kSqlNumberCapacity, value, std::chars_format::general, precision).ptr;
    }
    return end;
}

DecimalShape ShapeOf(std::string_view text) {
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) text.remove_prefix(1);
    const std::size_t e = text.find_first_of("eE");
    const std::string_view mantissa = text.substr(0, e);
    int exponent = 0;
    if (e != std::string_view::npos) {
        std::string_view power = text.substr(e + 1);
        if (!power.empty() && power.front() == '+') power.remove_prefix(1);
        std::from_chars(power.data(), power.data() + power.size(), exponent);
    }
    const std::size_t point = mantissa.find('.');
    int pointAt = static_cast<int>(point == std::string_view::npos ? mantissa.size() : point);
    std::size_t first = 0;
    std::size_t significant = 0;  // digits from the first non-zero one to the last non-zero one
    bool seenNonZero = false;
    std::size_t digitsSeen = 0;
    for (char c : mantissa) {
        if (!IsDigit(c)) continue;
        ++digitsSeen;
        if (c != '0') {
            if (!seenNonZero) first = digitsSeen - 1;
            seenNonZero = true;
            significant = digitsSeen - first;
        }
    }
    if (!seenNonZero) return {};
    pointAt -= static_cast<int>(first);
    const int decimalPoint = pointAt + exponent;  // of the value 0.<significant digits> x 10^decimalPoint
    DecimalShape shape;
    shape.IntegerDigits = std::max(0, decimalPoint);
    shape.FractionDigits = std::max(0, static_cast<int>(significant) - decimalPoint);
    return shape;
}

}  // namespace quillet

#pragma once

#include <string>
#include <string_view>

namespace quillet {

// Whether SQLite or PostgreSQL reserves the word, in any case, so that it cannot stand bare
// as a table or column name.
bool IsSqlReservedWord(std::string_view word);

// Appends a table or column name (UTF-8): bare when it is a plain identifier (ASCII letters,
// digits and "_", not starting with a digit) and no reserved word, else in double quotes
// with inner double quotes doubled.
void AppendSqlName(std::string& out, std::string_view name);

// Appends UTF-8 text as a string literal, apostrophes doubled.
void AppendSqlString(std::string& out, std::string_view text);

// Room for the longest text FormatSqlNumber writes.
inline constexpr std::size_t kSqlNumberCapacity = 32;

// Writes a finite number with "." as its decimal point: the CellText form when that reads back
// as the same double, else the shortest form that does (up to 17 digits). Returns the end.
char* FormatSqlNumber(char* out, double value);

// Digits before and after the decimal point of a number as FormatSqlNumber writes it,
// leading and trailing zeros not counted (exponents resolved: 1.5e-05 has 0 and 6).
struct DecimalShape {
    int IntegerDigits = 0;
    int FractionDigits = 0;
};
DecimalShape ShapeOf(std::string_view numberText);

}  // namespace quillet

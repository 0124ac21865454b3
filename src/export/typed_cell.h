#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "table/open_table.h"

namespace quillet {

// A cell as a typed store takes it (a workbook cell, a database value): its type comes from the
// field's type, never from guessing at the text.
enum class TypedKind { Empty, Text, Integer, Real, Truth, Date, DateTime };

struct CivilTime {
    int Year = 0, Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0;
};

struct TypedCell {
    TypedKind Kind = TypedKind::Empty;
    // Text: the cell's text in the table's code page, without NULs and CRs, trimmed. Integer and
    // Real: the digits the table stores for the number, where it stores digits (N, F), else empty.
    std::string_view Text;
    std::int64_t Integer = 0;
    double Real = 0;  // also set for Integer
    bool Truth = false;
    CivilTime When;  // Date, DateTime
};

// The cell of a record and field; scratch holds the text where cleaning changed it.
TypedCell TypedCellOf(const OpenTable& table, std::int64_t record, int field, std::string& scratch);

// Digits from the first nonzero one to the last nonzero one of a number's text: more than 15 and
// a double cannot hold the number exactly.
int SignificantDigits(std::string_view number);

// "YYYY-MM-DD" or "YYYY-MM-DD hh:mm:ss".
std::string IsoText(const CivilTime& when, bool withTime);

}  // namespace quillet

#pragma once

#include "support/table_builder.h"

namespace quillet::testing {

// A small table with what the formats treat differently: a deleted record, Windows-1252
// letters, a comma, double quotes, blank and negative numbers, every kind of truth value.
inline TableBuilder SalesTable() {
    TableBuilder t;
    t.Date(124, 5, 1)
        .LanguageDriver(0x03)
        .Field("NAME", 'C', 14)
        .Field("CITY", 'C', 10)
        .Field("AMOUNT", 'N', 10, 2)
        .Field("PAID", 'L', 1)
        .Record({"Ana", "Z\xFCrich", "12.50", "T"})
        .Deleted({"Bob, Jr.", "K\xF6ln", "-3", "F"})
        .Record({"Say \"hi\"", "", "", "?"})
        .Record({"  padded  ", "Oslo", "1000000", "Y"});
    return t;
}

}  // namespace quillet::testing

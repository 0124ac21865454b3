#pragma once

#include <cstdint>
#include <string_view>

#include "table/numeric_reading.h"

namespace quillet {

// Binary: a memo that is not text (pictures, OLE objects, blobs); only its size is kept.
enum class CellKind : std::uint8_t { Empty, Text, Number, Truth, Binary };

// One cell of the table. Text is a view into the table's own bytes (or its decoded side buffer),
// valid as long as the OpenTable it came from; a number's Text, when it has one, is the decimal
// text the field stores for it.
struct CellValue {
    CellKind Kind = CellKind::Empty;
    std::string_view Text;
    double Value = 0;  // a number's value, when it has no Text
    bool Truth = false;
    std::uint64_t ByteSize = 0;  // of a Binary cell

    // A number stored as decimal text is read only when its value is asked for: most exports
    // write the stored digits, and reading them all would cost a tenth of a CSV export.
    double Number() const { return Text.empty() ? Value : NumericReading(Text); }

    static CellValue Empty() { return {}; }
    static CellValue OfText(std::string_view text) { return {CellKind::Text, text, 0, false, 0}; }
    static CellValue OfNumber(double number) { return {CellKind::Number, {}, number, false, 0}; }
    static CellValue OfTruth(bool truth) { return {CellKind::Truth, {}, 0, truth, 0}; }
    static CellValue OfBinary(std::uint64_t size) { return {CellKind::Binary, {}, 0, false, size}; }
};

}  // namespace quillet

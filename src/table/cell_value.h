#pragma once

#include <cstdint>
#include <string_view>

namespace quillet {

enum class CellKind : std::uint8_t { Empty, Text, Number, Truth };

// One cell of the table. Text is a view into the table's own bytes (or its decoded side buffer),
// valid as long as the OpenTable it came from.
struct CellValue {
    CellKind Kind = CellKind::Empty;
    std::string_view Text;
    double Number = 0;
    bool Truth = false;

    static CellValue Empty() { return {}; }
    static CellValue OfText(std::string_view text) { return {CellKind::Text, text, 0, false}; }
    static CellValue OfNumber(double number) { return {CellKind::Number, {}, number, false}; }
    static CellValue OfTruth(bool truth) { return {CellKind::Truth, {}, 0, truth}; }
};

}  // namespace quillet

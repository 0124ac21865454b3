#include "export/plain_cells.h"

#include <algorithm>

#include "table/code_page.h"

namespace quillet {

PlainCells::PlainCells(const OpenTable& table, const std::vector<int>& columns, char decimalSeparator, bool numbers)
    : table_(table), decimalSeparator_(decimalSeparator) {
    // A multi-byte page's field may end in part of a character, which outputs leave out.
    const bool wholeBytes = table.TableCodePage->IsSingleByte();
    for (int f : columns) {
        const FieldCells& cells = table.Fields[static_cast<std::size_t>(f)];
        Way way = Way::General;
        if (cells.Storage == FieldStorage::Bytes && wholeBytes) way = Way::StoredText;
        if (cells.Storage == FieldStorage::Number && cells.DecimalText && numbers) way = Way::StoredDecimal;
        if (cells.Storage == FieldStorage::Truth) way = Way::Truth;
        const FieldDescriptor& d = table.FieldDescriptors[static_cast<std::size_t>(f)];
        columns_.push_back({f, way, d.Offset, d.StoredLength});
    }
}

std::size_t PlainCells::Longest(std::size_t i) const {
    return std::max<std::size_t>(columns_[i].Length, kNumberTextCapacity);
}

}  // namespace quillet

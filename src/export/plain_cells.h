#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "export/export_frame.h"
#include "table/cell_text.h"
#include "table/open_table.h"

namespace quillet {

// The cells most tables are made of, read straight from a record's bytes instead of as a
// CellValue that is then cleaned, converted and escaped: texts and dates of a single-byte code
// page, trimmed; numbers stored as decimal text, as StoredDecimalText writes them; logicals,
// "True" or "False". A format writes such a cell's text as it is when it holds none of the bytes
// the format would change; every other cell goes the format's general way, to the same bytes.
// Reading, cleaning and escaping each cell the general way took two thirds of a CSV export.
class PlainCells {
public:
    // columns: field indexes, as Text's i counts them. numbers: whether numbers are read here; a
    // format leaves them out when its decimal separator is a byte the format changes.
    PlainCells(const OpenTable& table, const std::vector<int>& columns, char decimalSeparator, bool numbers);

    // Makes record the one Text reads from.
    void Begin(std::int64_t record) {
        bytes_ = table_.RecordText(record);
        held_ = static_cast<std::size_t>(record - table_.FirstHeld);
    }

    // The text of the record's cell in columns[i] where it is read here, its text unless
    // isPlain(text) refuses it; else a null view (an empty text is a view into the record).
    // Inlined by force: a call for each cell cost a tenth of a row's instructions.
    template <typename IsPlain>
    [[gnu::always_inline]] std::string_view Text(std::size_t i, IsPlain&& isPlain) {
        const Column& column = columns_[i];
        const FieldCells& cells = table_.Fields[static_cast<std::size_t>(column.Field)];
        if (!cells.Nulls.empty() && cells.Nulls[held_] != 0) return {};
        switch (column.Kind) {
        case Way::StoredText: {
            const std::string_view text = TrimSpaces(bytes_.substr(column.Offset, column.Length));
            return isPlain(text) ? text : std::string_view();
        }
        case Way::StoredDecimal:
            return StoredDecimalText(bytes_.substr(column.Offset, column.Length), decimalSeparator_, number_);
        case Way::Truth:
            return cells.Truths[held_] != 0 ? "True" : "False";
        case Way::General:
            break;
        }
        return {};
    }

    // The most bytes a cell of columns[i] read here takes.
    std::size_t Longest(std::size_t i) const;

private:
    enum class Way : std::uint8_t { StoredText, StoredDecimal, Truth, General };
    struct Column {
        int Field;
        Way Kind;
        std::uint32_t Offset;  // of its bytes in the record
        std::uint32_t Length;
    };

    const OpenTable& table_;
    char decimalSeparator_;
    std::vector<Column> columns_;
    std::string_view bytes_;
    std::size_t held_ = 0;
    char number_[kNumberTextCapacity];
};

}  // namespace quillet

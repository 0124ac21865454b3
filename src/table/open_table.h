#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "table/cell_value.h"
#include "table/code_page.h"
#include "table/fill_later_allocator.h"
#include "table/table_code_page.h"
#include "table/table_header.h"

namespace quillet {

// How the reader keeps one field's cells.
enum class FieldStorage : std::uint8_t {
    None,     // system and unknown types: every cell empty
    Bytes,    // C, D: views into the record bytes
    Number,   // N, F, I, Y, B, O, +: decoded once into Numbers, but for decimal texts
    Truth,    // L: decoded once into Truths
    Derived,  // T, @: text built once into DerivedText, DerivedWidth bytes per record
    Varying,  // V (text), Q (binary): the first Lengths[r] bytes of the field
    Memo,     // M, G, P, W, B: what the memo file holds, in Memos
};

// One memo cell: Size bytes of DerivedText from Offset (text), or a binary memo of Size bytes.
struct MemoCell {
    std::uint64_t Offset = 0;
    std::uint64_t Size = 0;
    CellKind Kind = CellKind::Empty;
};

struct FieldCells {
    FieldStorage Storage = FieldStorage::None;
    FillLaterVector<double> Numbers;
    FillLaterVector<std::uint8_t> Truths;
    std::string DerivedText;
    std::uint32_t DerivedWidth = 0;
    FillLaterVector<std::uint16_t> Lengths;
    bool BinaryBytes = false;  // Varying: Q
    std::vector<MemoCell> Memos;
    // Visual FoxPro fields that may hold null: 1 where the record's cell is null.
    FillLaterVector<std::uint8_t> Nulls;
    // Number: the numbers are the decimal texts the field stores (N and F without a scale). Their
    // cells view those bytes, read only when a number is asked for (Numbers stays empty), so that
    // the text they are written as is made from the stored digits.
    bool DecimalText = false;
};

struct OpenTable;

// Brings a run of a table's records into memory in place of the ones held before, for a table
// read a window at a time (see TableStream). The table's header and fields stay as they are.
class RecordWindows {
public:
    virtual ~RecordWindows() = default;
    // How many records one window holds at most.
    virtual std::int64_t WindowRecords() const = 0;
    // Holds records [first, last) of the table; throws TableError when the file fails.
    virtual void Hold(std::int64_t first, std::int64_t last) = 0;
};

// The one opened table. Record and field indexes are counted from 0 in code
// (record r of the file is r - 1 here).
struct OpenTable {
    // Filled by ReadTable.
    TableHeader Header;           // RecordCount is the number of records actually held
    std::int64_t RecordsPromised = 0;  // the count the file's header gave
    std::string VersionText;
    LastUpdateDate LastUpdate;
    int FieldCount = 0;
    std::vector<FieldDescriptor> FieldDescriptors;
    std::vector<std::string> FieldNames;
    FillLaterVector<std::uint8_t> DeletedFlags;
    const CodePage* TableCodePage = &CodePage::Default();
    // The memo file read for the table's memo fields; empty when it has none or it is missing.
    std::string MemoPath;
    // What the reader could not read although the table opened (a missing memo file, memos
    // that could not be read), each ready to show after opening.
    std::vector<std::string> Warnings;
    CodePageSource TableCodePageSource = CodePageSource::Default;

    // Filled by the Open command.
    int ColumnCount = 0;
    std::vector<std::uint8_t> ColumnSelected;
    std::string TableBaseName;
    std::string SourcePath;

    // The records in memory, from record FirstHeld on: their bytes as the file holds them, of
    // RecordLength bytes each, and their decoded cells. A table read whole holds every record;
    // one read a window at a time holds a window, and Windows brings in the others.
    FillLaterVector<char> RecordBytes;
    std::vector<FieldCells> Fields;
    std::int64_t FirstHeld = 0;
    RecordWindows* Windows = nullptr;

    std::int64_t RecordCount() const { return Header.RecordCount; }
    bool IsDeleted(std::int64_t record) const { return DeletedFlags[static_cast<std::size_t>(record - FirstHeld)] != 0; }
    std::string_view RecordText(std::int64_t record) const;
    // Inline: exporters call it for every cell.
    CellValue Cell(std::int64_t record, int field) const;

    // The Open command's part: columns up to the first empty name or system field, all selected,
    // and the base name and source path of the file.
    void ListColumns();
    void SetSource(const std::string& path);
};

inline std::string_view OpenTable::RecordText(std::int64_t record) const {
    const auto length = static_cast<std::size_t>(Header.RecordLength);
    return {RecordBytes.data() + static_cast<std::size_t>(record - FirstHeld) * length, length};
}

inline CellValue OpenTable::Cell(std::int64_t record, int field) const {
    const FieldCells& cells = Fields[static_cast<std::size_t>(field)];
    const auto r = static_cast<std::size_t>(record - FirstHeld);
    if (!cells.Nulls.empty() && cells.Nulls[r] != 0) return CellValue::Empty();
    switch (cells.Storage) {
    case FieldStorage::None:
        return CellValue::Empty();
    case FieldStorage::Bytes: {
        const FieldDescriptor& d = FieldDescriptors[static_cast<std::size_t>(field)];
        return CellValue::OfText(RecordText(record).substr(d.Offset, d.StoredLength));
    }
    case FieldStorage::Number: {
        if (!cells.DecimalText) return CellValue::OfNumber(cells.Numbers[r]);
        const FieldDescriptor& d = FieldDescriptors[static_cast<std::size_t>(field)];
        CellValue cell = CellValue::OfNumber(0);
        cell.Text = RecordText(record).substr(d.Offset, d.StoredLength);
        return cell;
    }
    case FieldStorage::Truth:
        return CellValue::OfTruth(cells.Truths[r] != 0);
    case FieldStorage::Derived: {
        std::string_view text(cells.DerivedText.data() + r * cells.DerivedWidth, cells.DerivedWidth);
        if (!text.empty() && text.front() == '\0') text = {};
        return CellValue::OfText(text);
    }
    case FieldStorage::Varying: {
        const FieldDescriptor& d = FieldDescriptors[static_cast<std::size_t>(field)];
        const std::size_t length = std::min<std::size_t>(cells.Lengths[r], d.StoredLength);
        if (cells.BinaryBytes) return CellValue::OfBinary(length);
        return CellValue::OfText(RecordText(record).substr(d.Offset, length));
    }
    case FieldStorage::Memo: {
        const MemoCell& memo = cells.Memos[r];
        if (memo.Kind == CellKind::Text) return CellValue::OfText(std::string_view(cells.DerivedText).substr(memo.Offset, memo.Size));
        if (memo.Kind == CellKind::Binary) return CellValue::OfBinary(memo.Size);
        return CellValue::Empty();
    }
    }
    return CellValue::Empty();
}

// Makes sure record is held. A table read a window at a time that does not hold it takes in a
// window reaching a little behind it in the direction it was met from, so that rows read one
// after another in either direction, or a page of the list, cost one read. Throws TableError
// when the file fails.
void HoldRecord(const OpenTable& table, std::int64_t record);

// Calls visit(first, last) on runs of records that together are records [begin, end) of the
// table, in order, each held in memory while visit runs: all at once when the table is held
// whole, else one window after another.
template <typename Visit>
void ForEachWindowIn(const OpenTable& table, std::int64_t begin, std::int64_t end, Visit&& visit) {
    if (table.Windows == nullptr || end <= begin) return visit(begin, end);
    const std::int64_t step = std::max<std::int64_t>(1, table.Windows->WindowRecords());
    for (std::int64_t first = begin; first < end; first += step) {
        const std::int64_t last = std::min(end, first + step);
        table.Windows->Hold(first, last);
        visit(first, last);
    }
}

// The same over the whole table.
template <typename Visit>
void ForEachWindow(const OpenTable& table, Visit&& visit) {
    ForEachWindowIn(table, 0, table.RecordCount(), std::forward<Visit>(visit));
}

// The file's name without folder, up to its first "." (the whole name when it has none);
// "table" when that leaves nothing.
std::string BaseNameOf(std::string_view path);

}  // namespace quillet

#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "table/cell_value.h"
#include "table/code_page.h"
#include "table/fill_later_allocator.h"
#include "table/table_header.h"

namespace quillet {

// How the reader keeps one field's cells.
enum class FieldStorage : std::uint8_t {
    None,     // memo, general and unknown types: every cell empty
    Bytes,    // C, D: views into the record bytes
    Number,   // N, F, I, Y, B: decoded once into Numbers
    Truth,    // L: decoded once into Truths
    Derived,  // T: text built once into DerivedText, DerivedWidth bytes per record
};

struct FieldCells {
    FieldStorage Storage = FieldStorage::None;
    FillLaterVector<double> Numbers;
    FillLaterVector<std::uint8_t> Truths;
    std::string DerivedText;
    std::uint32_t DerivedWidth = 0;
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

    // Filled by the Open command.
    int ColumnCount = 0;
    std::vector<std::uint8_t> ColumnSelected;
    std::string TableBaseName;
    std::string SourcePath;

    // The file's bytes from HeaderLength on: RecordCount records of RecordLength bytes each.
    FillLaterVector<char> RecordBytes;
    std::vector<FieldCells> Fields;

    std::int64_t RecordCount() const { return Header.RecordCount; }
    bool IsDeleted(std::int64_t record) const { return DeletedFlags[static_cast<std::size_t>(record)] != 0; }
    std::string_view RecordText(std::int64_t record) const;
    // Inline: exporters call it for every cell.
    CellValue Cell(std::int64_t record, int field) const;

    // The Open command's part: columns up to the first empty name, all selected,
    // and the base name and source path of the file.
    void ListColumns();
    void SetSource(const std::string& path);
};

inline std::string_view OpenTable::RecordText(std::int64_t record) const {
    const auto length = static_cast<std::size_t>(Header.RecordLength);
    return {RecordBytes.data() + static_cast<std::size_t>(record) * length, length};
}

inline CellValue OpenTable::Cell(std::int64_t record, int field) const {
    const FieldCells& cells = Fields[static_cast<std::size_t>(field)];
    const auto r = static_cast<std::size_t>(record);
    switch (cells.Storage) {
    case FieldStorage::None:
        return CellValue::Empty();
    case FieldStorage::Bytes: {
        const FieldDescriptor& d = FieldDescriptors[static_cast<std::size_t>(field)];
        return CellValue::OfText(RecordText(record).substr(d.Offset, d.StoredLength));
    }
    case FieldStorage::Number:
        return CellValue::OfNumber(cells.Numbers[r]);
    case FieldStorage::Truth:
        return CellValue::OfTruth(cells.Truths[r] != 0);
    case FieldStorage::Derived: {
        std::string_view text(cells.DerivedText.data() + r * cells.DerivedWidth, cells.DerivedWidth);
        if (!text.empty() && text.front() == '\0') text = {};
        return CellValue::OfText(text);
    }
    }
    return CellValue::Empty();
}

// The file's name without folder, up to its first "." (the whole name when it has none);
// "table" when that leaves nothing.
std::string BaseNameOf(std::string_view path);

}  // namespace quillet

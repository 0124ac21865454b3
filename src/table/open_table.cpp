#include "table/open_table.h"

namespace quillet {

std::string_view OpenTable::RecordText(std::int64_t record) const {
    const auto length = static_cast<std::size_t>(Header.RecordLength);
    return {RecordBytes.data() + static_cast<std::size_t>(record) * length, length};
}

CellValue OpenTable::Cell(std::int64_t record, int field) const {
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

void OpenTable::ListColumns() {
    ColumnCount = 0;
    while (ColumnCount < FieldCount && !FieldNames[static_cast<std::size_t>(ColumnCount)].empty()) ++ColumnCount;
    ColumnSelected.assign(static_cast<std::size_t>(ColumnCount), 1);
}

void OpenTable::SetSource(const std::string& path) {
    SourcePath = path;
    TableBaseName = BaseNameOf(path);
}

std::string BaseNameOf(std::string_view path) {
    const auto slash = path.find_last_of('/');
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const auto dot = name.find('.');
    return std::string(dot == std::string_view::npos ? name : name.substr(0, dot));
}

}  // namespace quillet

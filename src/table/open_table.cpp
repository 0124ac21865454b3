#include "table/open_table.h"

namespace quillet {

void OpenTable::ListColumns() {
    ColumnCount = 0;
    // Visual FoxPro's system fields (_NullFlags) come after the user's fields.
    const auto listed = [&](int f) {
        const FieldDescriptor& d = FieldDescriptors[static_cast<std::size_t>(f)];
        return !FieldNames[static_cast<std::size_t>(f)].empty() && d.Type != '0' && (d.Flags & 0x01) == 0;
    };
    while (ColumnCount < FieldCount && listed(ColumnCount)) ++ColumnCount;
    ColumnSelected.assign(static_cast<std::size_t>(ColumnCount), 1);
}

void OpenTable::SetSource(const std::string& path) {
    SourcePath = path;
    TableBaseName = BaseNameOf(path);
}

void HoldRecord(const OpenTable& table, std::int64_t record) {
    const auto held = static_cast<std::int64_t>(table.DeletedFlags.size());
    if (table.Windows == nullptr || (record >= table.FirstHeld && record < table.FirstHeld + held)) return;
    const std::int64_t count = table.RecordCount();
    const std::int64_t size = std::min(count, std::max<std::int64_t>(1, table.Windows->WindowRecords()));
    const std::int64_t behind = size / 4;
    // Just after the window held: a run through the records, which reads the next window ahead.
    const std::int64_t first = record == table.FirstHeld + held ? record
                               : record > table.FirstHeld + held ? record - behind
                                                                 : record + behind + 1 - size;
    const std::int64_t clamped = std::clamp<std::int64_t>(first, 0, count - size);
    table.Windows->Hold(clamped, clamped + size);
}

std::string BaseNameOf(std::string_view path) {
    const auto slash = path.find_last_of('/');
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const auto dot = name.find('.');
    // A file named ".dbf" would give hidden outputs (".csv") and an SQL table without a name.
    if (dot == 0 || name.empty()) return "table";
    return std::string(dot == std::string_view::npos ? name : name.substr(0, dot));
}

}  // namespace quillet

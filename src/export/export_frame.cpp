#include "export/export_frame.h"

#include <algorithm>
#include <bit>
#include <cstdint>

#include "export/byte_scan.h"
#include "table/cell_text.h"

namespace quillet {

int ListedColumns(const OpenTable& table) {
    const std::size_t fields = std::min({table.FieldNames.size(), table.FieldDescriptors.size(), table.Fields.size()});
    return static_cast<int>(std::clamp<std::int64_t>(table.ColumnCount, 0, static_cast<std::int64_t>(fields)));
}

std::vector<int> SelectedColumns(const OpenTable& table) {
    std::vector<int> columns;
    const int listed = ListedColumns(table);
    for (int f = 0; f < listed; ++f) {
        if (static_cast<std::size_t>(f) < table.ColumnSelected.size() && table.ColumnSelected[static_cast<std::size_t>(f)]) {
            columns.push_back(f);
        }
    }
    return columns;
}

ExportResult CutNote(const std::string& path, std::int64_t count, std::size_t limit) {
    if (count == 0) return {};
    return {{"\"" + path + "\" was written, but " + std::to_string(count) + " of its cells held more than " +
             std::to_string(limit) + " characters, the most this format keeps in a cell; the rest was cut off."}};
}

namespace {

// Whether text holds a byte the rule removes: cells are checked far more often than they hold one.
bool HoldsRemoved(std::string_view text, CleanRule rule) {
    if (rule.RemoveNul && rule.RemoveCr) return FindAny<'\0', '\r'>(text) != text.size();
    if (rule.RemoveNul) return FindAny<'\0'>(text) != text.size();
    if (rule.RemoveCr) return FindAny<'\r'>(text) != text.size();
    return false;
}

std::string_view Cleaned(std::string_view text, CleanRule rule, std::string& scratch) {
    // Trimming the text first gives the same result whenever no NUL or CR is to be removed:
    // what the trim cuts off is spaces only. Cells seldom hold either.
    const std::string_view trimmed = TrimSpaces(text);
    if (!HoldsRemoved(trimmed, rule)) return trimmed;

    scratch.clear();
    for (char c : text) {
        if ((c == '\0' && rule.RemoveNul) || (c == '\r' && rule.RemoveCr)) continue;
        scratch += c;
    }
    return TrimSpaces(scratch);
}

}  // namespace

std::string_view TrimSpaces(std::string_view text) {
    // Eight bytes at a time over the padding that text fields mostly end in; in the last word
    // that holds something else, the spaces at its end are counted at once.
    std::size_t end = text.size();
    while (end >= 8) {
        const std::uint64_t notSpace = Load8(text.data() + end - 8) ^ (kEveryByte * ' ');
        if (notSpace != 0) {
            // The bytes at the end of the text are the word's high bytes on a little-endian machine.
            const int spaceBits =
                std::endian::native == std::endian::little ? std::countl_zero(notSpace) : std::countr_zero(notSpace);
            end -= static_cast<std::size_t>(spaceBits / 8);
            break;
        }
        end -= 8;
    }
    while (end > 0 && text[end - 1] == ' ') --end;
    std::size_t first = 0;
    while (first < end && text[first] == ' ') ++first;
    return text.substr(first, end - first);
}

std::string_view CleanCellText(const CellValue& cell, char decimalSeparator, CleanRule rule, std::string& scratch) {
    if (cell.Kind == CellKind::Text) return Cleaned(cell.Text, rule, scratch);
    scratch.clear();
    AppendCellText(scratch, cell, decimalSeparator);
    return scratch;
}

}  // namespace quillet
